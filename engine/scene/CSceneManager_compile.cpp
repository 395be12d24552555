// Batch compilation: the nodes under the start nodes register and render as in a frame, but into
// the batch driver, whose captured segments and batches the default callbacks turn into the batch
// node's mesh.

#include "engine/scene/BatchCompileCallbacks.h"
#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/scene/CBatchSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CBatchDriver.h"

namespace pravik::scene {

CBatchSceneNode* CSceneManager::compile(ISceneNode* start, CBatchSceneNode* batchNode, bool setupFlag,
                                        ISegmentCompileCallback* userCallback,
                                        ISplitSegmentChoiceCallback* splitCallback, unsigned clusterSize)
{
    if (BatchDriver) BatchDriver->setSegmentByteBudget(clusterSize);
    return compileInternal(start, batchNode, setupFlag, userCallback, splitCallback);
}

CBatchSceneNode* CSceneManager::compile(ISceneNode* start, CBatchSceneNode* batchNode, bool setupFlag,
                                        ISegmentCompileCallback* userCallback,
                                        ISplitSegmentChoiceCallback* splitCallback, const core::vector3d<float>& cellSize)
{
    if (BatchDriver) BatchDriver->setGridCellSize(cellSize);
    return compileInternal(start, batchNode, setupFlag, userCallback, splitCallback);
}

CBatchSceneNode* CSceneManager::compile(const std::vector<ISceneNode*>& starts, CBatchSceneNode* batchNode, bool setupFlag,
                                        ISegmentCompileCallback* userCallback,
                                        ISplitSegmentChoiceCallback* splitCallback, unsigned clusterSize)
{
    if (BatchDriver) BatchDriver->setSegmentByteBudget(clusterSize);
    return compileInternal(starts, batchNode, setupFlag, userCallback, splitCallback);
}

CBatchSceneNode* CSceneManager::compile(const std::vector<ISceneNode*>& starts, CBatchSceneNode* batchNode, bool setupFlag,
                                        ISegmentCompileCallback* userCallback,
                                        ISplitSegmentChoiceCallback* splitCallback, const core::vector3d<float>& cellSize)
{
    if (BatchDriver) BatchDriver->setGridCellSize(cellSize);
    return compileInternal(starts, batchNode, setupFlag, userCallback, splitCallback);
}

template <class Starts>
CBatchSceneNode* CSceneManager::compileInternal(const Starts& starts, CBatchSceneNode* batchNode, bool setupFlag,
                                                ISegmentCompileCallback* userCallback,
                                                ISplitSegmentChoiceCallback* splitCallback)
{
    if (!batchNode) batchNode = new CBatchSceneNode(-1);
    video::CBatchDriver* D = BatchDriver;
    if (!D) {
        batchNode->setup(setupFlag, Driver);
        return batchNode;
    }
    SDefaultSegmentCompileCallback segments(batchNode, this, userCallback);
    SDefaultEndOfBatchCallback batches(batchNode, &segments, Driver);
    D->setEndOfBatchCallback(&batches);
    D->setSegmentCallback(&segments);
    D->setSplitChoiceCallback(splitCallback);
    if (!D->getCurrentAppendBuffer())
        D->setAppendBuffer(new CAppendMeshBuffer(D->getVertexCapacity(), D->getIndexCapacity(), D, video::EBU_DYNAMIC,
                                                 0xFFFFFFFFu));

    drawInit(D);
    // Compiling stays set while the entries render as well: a mesh node draws its transparent
    // buffers in the solid pass only while it sees the manager compile.
    const bool wasCompiling = Compiling;
    Compiling = true;
    registerSceneNodesCompile(starts);
    renderLists(D);
    Compiling = wasCompiling;
    CurrentRenderPass = ESNRP_NONE;
    D->flush();
    batches.finalize();
    batchNode->setup(setupFlag, Driver);
    CurrentDriver = Driver;
    D->resetCompileState();
    D->setEndOfBatchCallback(nullptr);  // the callbacks die with this call
    D->setSegmentCallback(nullptr);
    D->setSplitChoiceCallback(nullptr);
    return batchNode;
}

}  // namespace pravik::scene

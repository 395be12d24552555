#include "engine/scene/CBatchSceneNode.h"

namespace pravik::scene {

CBatchSceneNode::CBatchSceneNode(int id) : IMeshSceneNode(id)
{
    m_batchMesh = new CBatchMesh(44);
    m_mesh = m_batchMesh;
    setAutomaticCulling(EAC_FRUSTUM_BOX);
}

CBatchSceneNode::CBatchSceneNode(int id, const boost::intrusive_ptr<CBatchMesh>& mesh)
    : IMeshSceneNode(id), m_mesh(mesh ? mesh : boost::intrusive_ptr<CBatchMesh>(new CBatchMesh(44))),
      m_batchMesh(static_cast<CBatchMesh*>(m_mesh.get()))
{
}

void CBatchSceneNode::setup(bool, video::IVideoDriver*)
{
    m_solidBatchCount = m_currentTransparentBatch = m_batchMesh->getBatchCount();
}

}  // namespace pravik::scene

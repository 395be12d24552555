#include "engine/collada/CResFileManager.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFile.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tools/formats/BresWriter.h"

#include <cstddef>
#include <cstring>

namespace pravik::collada {
namespace {

using formats::bres::Writer;

class CResFileManagerTest : public test::SceneFileFixture {};

size_t count(const test::CRecordingLogger& logger, const std::string& part)
{
    size_t n = 0;
    for (const auto& m : logger.messages()) n += m.text.find(part) != std::string::npos;
    return n;
}

TEST_F(CResFileManagerTest, GetLoadsOnceAndCachesByAbsolutePath)
{
    const std::string path = write("empty.bdae", formats::bres::minimalScene());
    CResFile* file = manager->get(path.c_str(), true);
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file->str(file->getRoot()->version), "0,0,0,779");
    EXPECT_EQ(reinterpret_cast<uint8_t*>(file->getRoot()), file->getFile().image() + 80);
    EXPECT_EQ(file->getFile().imageSize(), 268u);
    EXPECT_EQ(file->getRoot()->postLoaded, 1u);
    EXPECT_EQ(manager->get(path.c_str(), true), file);
    EXPECT_EQ(manager->get(path.c_str(), false), file);
    EXPECT_EQ(manager->getCachedCount(), 1u);
    EXPECT_EQ(file->getReferenceCount(), 1);
    EXPECT_EQ(count(log.logger(), "PATH ABSOLUTO = " + path), 1u);  // the load, not the cached answers
    EXPECT_EQ(manager->load(path.c_str(), true), nullptr);  // asked not to load
    EXPECT_EQ(manager->get(dir.file("absent.bdae").c_str(), true), nullptr);
    EXPECT_EQ(manager->getCachedCount(), 1u);
}

TEST_F(CResFileManagerTest, WrongVersionWarnsAndLoads)
{
    Writer w;
    w.setVersion("1,2,3");
    const std::string path = write("old.bdae", w.finish());
    ASSERT_NE(manager->get(path.c_str(), true), nullptr);
    std::vector<std::string> warnings;
    for (const auto& m : log.logger().messages())
        if (m.level == ELL_WARNING) warnings.push_back(m.text);
    const std::vector<std::string> expected = {"- Error - Collada binary version check failed -----",
                                               "- Expected versions : 0,0,0,779",
                                               path,
                                               "1,2,3",
                                               "- The file will be loaded\t\t\t\t\t\t\t -",
                                               "- see CColladaDatabase::setVersionCheckBehavior(...) -",
                                               "------------------------------------------------------"};
    EXPECT_EQ(warnings, expected);
}

std::string withUpAxis(uint32_t axis)
{
    Writer w;
    w.u32(offsetof(SCollada, upAxis), axis);
    return w.finish();
}

TEST_F(CResFileManagerTest, ZipMemberFollowsTheDriverType)
{
    const struct {
        const char* why;
        bool gles;
        bool quantized, notQuantized;
        int upAxis;  // -1: refused
    } cases[] = {
        {"GL ES takes the quantized member", true, true, true, 0},
        {"GL ES falls back", true, false, true, 2},
        {"null driver never takes the quantized member", false, true, true, 2},
        {"neither member", false, false, false, -1},
        {"GL ES, only the quantized member", true, true, false, 0},
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        stop();
        start(c.gles);
        test::ZipBuilder zip;
        if (c.quantized) zip.add("little_endian_quantized.bdae", withUpAxis(0));
        if (c.notQuantized) zip.add("little_endian_not_quantized.bdae", withUpAxis(2));
        zip.add("other.txt", "x");
        const std::string path = write("zip" + std::to_string(i++) + ".bdae", zip.bytes());
        CResFile* file = manager->get(path.c_str(), true);
        if (c.upAxis < 0) {
            EXPECT_EQ(file, nullptr);
            EXPECT_EQ(manager->getCachedCount(), 0u);
            continue;
        }
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->getRoot()->upAxis, uint32_t(c.upAxis));
    }
}

TEST_F(CResFileManagerTest, UnloadAnswers)
{
    const std::string path = write("a.bdae", formats::bres::minimalScene());
    EXPECT_EQ(manager->unload(path.c_str()), 3);
    ASSERT_NE(manager->get(path.c_str(), true), nullptr);
    EXPECT_EQ(manager->unload(path.c_str()), 0);
    EXPECT_EQ(manager->getCachedCount(), 0u);
    {
        CColladaDatabase db(path.c_str());
        ASSERT_TRUE(db.isValid());
        manager->setAutomaticUnloading(false);
        EXPECT_EQ(manager->unload(path.c_str()), 2);
        EXPECT_EQ(manager->getCachedCount(), 1u);
        EXPECT_EQ(manager->unload(db.getRoot(), true), 1);
        EXPECT_EQ(manager->getCachedCount(), 0u);
        // Forced out, the file lives on for its database.
        EXPECT_STREQ(db.getVersion(), "0,0,0,779");
        EXPECT_EQ(manager->unload(db.getRoot()), 3);
    }
    manager->setAutomaticUnloading(true);
    ASSERT_NE(manager->get(path.c_str(), true), nullptr);
    ASSERT_NE(manager->get(write("b.bdae", formats::bres::minimalScene()).c_str(), true), nullptr);
    EXPECT_EQ(manager->unloadAll(), 2);
}

TEST_F(CResFileManagerTest, AutomaticUnloadingFollowsTheLastDatabase)
{
    const std::string path = write("a.bdae", formats::bres::minimalScene());
    {
        CColladaDatabase first(path.c_str());
        CColladaDatabase second = first;
        first.release();
        EXPECT_EQ(manager->getCachedCount(), 1u);
    }
    EXPECT_EQ(manager->getCachedCount(), 0u);
    manager->setAutomaticUnloading(false);
    { CColladaDatabase kept(path.c_str()); }
    EXPECT_EQ(manager->getCachedCount(), 1u);
}

TEST_F(CResFileManagerTest, HostileFilesAreNotCached)
{
    std::string bytes = formats::bres::minimalScene();
    std::string longDependency = bytes;
    const uint32_t length = 300;
    std::memcpy(&longDependency[88], &length, 4);
    const struct {
        const char* name;
        std::string bytes;
        const char* check;
    } cases[] = {
        {"short.bdae", bytes.substr(0, 100), "file size in the header differs from the real size"},
        {"dependency.bdae", longDependency, "dependency name longer than 256 bytes"},
        {"text.bdae", "not a scene file at all, but long enough to hold a header of sixty bytes", "magic is not BRES"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.logger().clear();
        const std::string path = write(c.name, c.bytes);
        EXPECT_EQ(manager->get(path.c_str(), true), nullptr);
        EXPECT_EQ(manager->getCachedCount(), 0u);
        EXPECT_EQ(manager->getLastError(), c.check);
        EXPECT_EQ(count(log.logger(), std::string("Scene file refused: ") + path + ": " + c.check), 1u);
    }
}

TEST_F(CResFileManagerTest, DependencyIsLoadedFirstAndKept)
{
    Writer dep;
    dep.setBase(res::File::kDependencyBit);
    const uint32_t shared = dep.alloc(4);
    dep.u32(shared, 77);
    const std::string depPath = write("dep.bdae", dep.finish());
    Writer w;
    w.setDependency(depPath);
    w.address(w.alloc(4), res::File::kDependencyBit + dep.fileOffsetOfData(shared));
    const std::string path = write("main.bdae", w.finish());
    CResFile* file = manager->get(path.c_str(), true);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(manager->getCachedCount(), 2u);
    ASSERT_NE(file->getDependency(), nullptr);
    const uint32_t ref = reinterpret_cast<const uint32_t*>(file->getRoot() + 1)[0];
    const auto* value = file->as<uint32_t>(ref);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, 77u);
    // A file that names itself as its dependency is not read forever: it goes without one.
    Writer self;
    const std::string selfPath = dir.file("self.bdae");
    self.setDependency(selfPath);
    write("self.bdae", self.finish());
    CResFile* selfFile = manager->get(selfPath.c_str(), true);
    ASSERT_NE(selfFile, nullptr);
    EXPECT_EQ(selfFile->getDependency(), nullptr);
}

TEST_F(CResFileManagerTest, InMemoryFileIsRelocatedInPlaceOnce)
{
    std::string bytes = formats::bres::minimalScene();
    auto* memory = test::memoryFile(bytes, "memory.bdae");
    CResFile* file = manager->get(memory, true, true);
    ASSERT_NE(file, nullptr);
    int32_t position = 0;
    EXPECT_EQ(reinterpret_cast<const void*>(file->getRoot()),
              static_cast<const uint8_t*>(memory->getBuffer(&position)) + 92);
    EXPECT_EQ(manager->get(memory, true, true), file);
    memory->drop();
}

TEST_F(CResFileManagerTest, SharedMorphTargetsBecomeReferencesOnce)
{
    // Two geometries; two morph controllers over one morph record whose target is geometry 1.
    Writer w;
    w.newVec(0x64, 2, 16);
    const uint32_t morph = w.alloc(0x20);
    const uint32_t targets = w.newVec(morph + 0x10, 1, 4);
    w.u32(targets, 1);
    const uint32_t controllers = w.newVec(0x6C, 2, 12);
    for (uint32_t i = 0; i < 2; ++i) {
        w.u32(controllers + 12 * i, 1);
        w.str(controllers + 12 * i + 4, i ? "morphB" : "morphA");
        w.ptr(controllers + 12 * i + 8, morph);
    }
    const std::string path = write("morphs.bdae", w.finish());
    CResFile* file = manager->get(path.c_str(), true);
    ASSERT_NE(file, nullptr);
    const SController* c = file->at(file->getRoot()->controllers, 1);
    ASSERT_NE(c, nullptr);
    const SMorph* record = file->as<SMorph>(c->data);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(file->get(record->targets).size(), 1u);
    EXPECT_EQ(file->get(record->targets)[0], file->refOf(file->at(file->getRoot()->geometries, 1)));
}

}  // namespace
}  // namespace pravik::collada

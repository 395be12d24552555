#include "engine/collada/CAnimationFileData.h"
#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/CResFile.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/SColladaRecords.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"

#include <cstring>

namespace pravik::collada {

namespace {
constexpr std::uint32_t ROOT_CLIP = 0x18, ROOT_ANIMATIONS = 0x24, ROOT_EVENTS = 0x2C, ROOT_SHARED_KEYS = 0x14;
} // namespace

boost::intrusive_ptr<CAnimationFileData> CAnimationFileData::get(CResFile* file)
{
    if (!file || !file->getRoot())
        return nullptr;
    if (CAnimationFileData* d = file->getAnimationData())
        return boost::intrusive_ptr<CAnimationFileData>(d);
    boost::intrusive_ptr<CAnimationFileData> d(new CAnimationFileData(file), false);
    return d;
}

CAnimationFileData::CAnimationFileData(CResFile* file) : m_file(file)
{
    m_file->grab();
    m_file->setAnimationData(this);
    const unsigned char* root = reinterpret_cast<const unsigned char*>(m_file->getRoot());
    const res::File& f = m_file->getFile();
    m_sharedKeyTimes = loadU32(root + ROOT_SHARED_KEYS) != 0;
    m_trailingSize = f.trailingSize();
    m_trailingStart = f.fileSize() - m_trailingSize;
    m_whole.name = resolveText(loadU32(root + ROOT_CLIP));
    m_whole.start = std::int32_t(loadU32(root + ROOT_CLIP + 4));
    m_whole.end = std::int32_t(loadU32(root + ROOT_CLIP + 8));

    // Animation records, each bound to its track (a record that does not resolve gets none).
    const std::uint32_t count = loadU32(root + ROOT_ANIMATIONS);
    const std::uint32_t first = loadU32(root + ROOT_ANIMATIONS + 4);
    if (count && count <= 0x00FFFFFFu / SAnimationView::RECORD_SIZE &&
        resolve(first, count * SAnimationView::RECORD_SIZE)) {
        m_animations.resize(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            SAnimationView& v = m_animations[i];
            if (v.resolve(*this, first + i * SAnimationView::RECORD_SIZE))
                v.track = getAnimationTrackEx(&v);
        }
    }
    for (const SAnimationClip& c : m_file->get(m_file->getRoot()->clips))
        m_clips.push_back({m_file->str(c.id), c.start, c.end});
    m_hasEvents = m_events.resolve(*this, loadU32(root + ROOT_EVENTS));

    if (res::vector<SAnimationSegment>* list = m_file->get(m_file->getRoot()->segments)) {
        for (const SAnimationSegment& s : m_file->get(*list)) {
            const unsigned char* p = reinterpret_cast<const unsigned char*>(&s);
            SAnimationSegmentInfo info;
            info.first = s.firstFrame;
            info.end = s.endFrame;
            const std::uint32_t users = loadU32(p + 8), dataRef = loadU32(p + 0x14);
            // Streamed offsets are file offsets into the trailing area; kept relative to it.
            const std::uint32_t fileOffset = loadU32(p + 0xC);
            info.offset = fileOffset >= m_trailingStart ? fileOffset - m_trailingStart : 0xFFFFFFFFu;
            info.size = loadU32(p + 0x10);
            if (users == 1 && dataRef) {
                info.offset = 0;
                info.size = f.bytesFrom(dataRef);
                info.size -= info.size % 4;
                info.resident = resolve(dataRef, info.size);
            } else {
                info.streamed = true;
            }
            m_segments.push_back(info);
        }
    }
}

CAnimationFileData::~CAnimationFileData()
{
    if (m_file->getAnimationData() == this)
        m_file->setAnimationData(nullptr);
    m_file->drop();
}

const unsigned char* CAnimationFileData::resolve(std::uint32_t ref, std::uint32_t size) const
{
    return static_cast<const unsigned char*>(m_file->getFile().resolve(ref, size));
}

const char* CAnimationFileData::resolveText(std::uint32_t ref) const { return m_file->getFile().str(res::String{ref}); }

SAnimationClipView CAnimationFileData::getClip(int index) const
{
    if (index < 0 || index >= int(m_clips.size()))
        return m_whole;
    return m_clips[std::size_t(index)];
}

const char* CAnimationFileData::getName() const { return m_file->getPath().c_str(); }

namespace {

// The file's streamed area through one open file; streamed offsets are relative to the area.
class COnDemandReader final : public IStreamedReader {
public:
    COnDemandReader(io::IReadFile* file, std::uint32_t start, std::uint32_t size) : m_file(file), m_start(start), m_size(size) {}
    ~COnDemandReader() override { m_file->drop(); }
    bool read(std::uint32_t offset, std::uint32_t size, void* out) override
    {
        if (size > m_size || offset > m_size - size)
            return false;
        return m_file->seek(std::int32_t(m_start + offset), false) && m_file->read(out, size) == std::int32_t(size);
    }

private:
    io::IReadFile* m_file;  // ours
    std::uint32_t m_start, m_size;
};

} // namespace

std::unique_ptr<IStreamedReader> CAnimationFileData::openStreamed()
{
    const core::stringc& path = m_file->getSourcePath();
    CResFileManager* manager = CResFileManager::Inst;
    if (path.empty() || !manager || !manager->getFileSystem())
        return nullptr;
    io::IReadFile* file = manager->getFileSystem()->createAndOpenFile(path.c_str());
    if (!file)
        return nullptr;
    return std::make_unique<COnDemandReader>(file, m_trailingStart, m_trailingSize);
}

} // namespace pravik::collada

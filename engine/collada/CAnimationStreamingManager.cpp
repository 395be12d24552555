#include "engine/collada/CAnimationStreamingManager.h"
#include "engine/os/Printer.h"

#include <algorithm>
#include <tuple>

namespace pravik::collada {

CAnimationStreamingManager* CAnimationStreamingManager::Instance = nullptr;

std::shared_ptr<SSegmentKeyData> resolveSegmentKeyData(const unsigned char* bytes, std::uint32_t size,
                                                       std::unique_ptr<unsigned char[]> owned)
{
    auto refuse = [](const char* why) {
        os::Printer::log("animation key data refused", why, ELL_WARNING);
        return std::shared_ptr<SSegmentKeyData>();
    };
    if (!bytes || size < 4 || size % 4 != 0)
        return refuse("size is not a non-zero multiple of 4");
    const std::uint32_t n = loadU32(bytes);
    if (4ull + 8ull * n > size)
        return refuse("descriptors run past the segment");
    auto out = std::make_shared<SSegmentKeyData>();
    out->bytes = std::move(owned);
    const unsigned char* base = out->bytes ? out->bytes.get() : bytes;
    out->arrays.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t count = loadU32(base + 4 + 8 * i);
        const std::uint64_t field = 8ull + 8ull * i;
        const std::uint64_t start = field + loadU32(base + field);
        if (start > size)
            return refuse("an array starts past the segment");
        out->arrays.push_back({base + start, count, std::uint32_t(size - start)});
    }
    out->data = {out->arrays.data(), n};
    return out;
}

std::shared_ptr<SSegmentKeyData> loadSegmentKeyData(IAnimationStreamSource& source, const SAnimationSegmentInfo& info,
                                                    const char** why, IStreamedReader* reader)
{
    auto refuse = [&](const char* reason) {
        if (why)
            *why = reason;
        return std::shared_ptr<SSegmentKeyData>();
    };
    if (!info.streamed) {
        auto data = resolveSegmentKeyData(info.resident, info.size);
        return data ? data : refuse("key data refused");
    }
    const std::uint32_t area = source.getStreamedSize();
    if (info.size < 4 || info.size % 4 != 0 || info.offset > area || info.size > area - info.offset) {
        os::Printer::log("animation segment refused: outside the streamed area", source.getName(), ELL_WARNING);
        return refuse("outside the streamed area");
    }
    std::unique_ptr<IStreamedReader> opened;
    if (!reader) {
        opened = source.openStreamed();
        reader = opened.get();
    }
    if (!reader)
        return refuse("cannot be opened");
    // Not zeroed first: the read fills every byte or the buffer goes.
    auto bytes = std::make_unique_for_overwrite<unsigned char[]>(info.size);
    if (!reader->read(info.offset, info.size, bytes.get()))
        return refuse("cannot be read");
    const unsigned char* p = bytes.get();
    auto data = resolveSegmentKeyData(p, info.size, std::move(bytes));
    return data ? data : refuse("key data refused");
}

int IAnimationStreamSource::findSegment(int frame) const
{
    const int n = getSegmentCount();
    for (int i = 0; i < n; ++i) {
        const SAnimationSegmentInfo s = getSegment(i);
        if (s.first <= frame && frame < s.end)
            return i;
    }
    return n > 0 ? n - 1 : -1;
}

IAnimationStreamSource::SSegmentState& IAnimationStreamSource::segmentState(int index)
{
    if (m_segments.size() < std::size_t(getSegmentCount()))
        m_segments.resize(std::size_t(getSegmentCount()));
    return m_segments[std::size_t(index)];
}

// ---- blocks --------------------------------------------------------------------------------

namespace {

// Takes one user of the segment's key data, loading or resolving it first when needed.
std::shared_ptr<SSegmentKeyData> acquire(IAnimationStreamSource& source, int segment)
{
    IAnimationStreamSource::SSegmentState& state = source.segmentState(segment);
    if (!state.data) {
        const SAnimationSegmentInfo info = source.getSegment(segment);
        if (info.streamed) {
            state.data = loadSegmentKeyData(source, info);
            ++state.resolutions;
        } else {
            if (!state.resident) {
                state.resident = loadSegmentKeyData(source, info);
                ++state.resolutions;
            }
            state.data = state.resident;
        }
        if (!state.data)
            return nullptr;
    }
    ++state.users;
    return state.data;
}

void release(IAnimationStreamSource& source, int segment)
{
    IAnimationStreamSource::SSegmentState& state = source.segmentState(segment);
    if (--state.users <= 0) {
        state.users = 0;
        state.data.reset();  // streamed bytes go; a resident segment keeps its resolution
    }
}

} // namespace

CAnimationBlock::CAnimationBlock(CAnimationStreamingManager& manager, const SAnimationBlockSearchKey& key, int segment)
    : m_manager(&manager), m_source(key.source), m_clip(key.clip), m_clipView(key.source->getClip(key.clip)),
      m_segment(segment), m_info(key.source->getSegment(segment))
{
    m_data = acquire(*m_source, m_segment);
    m_manager->registerAnimationBlock(this);
}

CAnimationBlock::~CAnimationBlock()
{
    // Unlink both sides first, so that a chain freed from here never comes back to this block.
    CAnimationBlock* next = m_next != this ? m_next : nullptr;
    CAnimationBlock* previous = m_previous != this ? m_previous : nullptr;
    m_next = m_previous = nullptr;
    for (CAnimationBlock* other : {next, previous})
        if (other) {
            if (other->m_next == this)
                other->m_next = nullptr;
            if (other->m_previous == this)
                other->m_previous = nullptr;
        }
    if (next && next->m_count <= 1)
        next->free();
    if (m_data)
        release(*m_source, m_segment);
}

bool CAnimationBlock::covers(int frame) const
{
    if (frame < m_info.first)
        return false;
    return frame < m_info.end || (frame == m_clipView.end && m_info.end >= m_clipView.end);
}

void CAnimationBlock::grab()
{
    if (++m_count == 2 && !m_next)
        prepareNextBlock();
}

void CAnimationBlock::drop()
{
    const int left = --m_count;
    if (!m_manager) {  // outlived its manager: only users count
        if (left <= 0)
            delete this;
        return;
    }
    if (left != 1)
        return;
    if (!m_previous || m_previous == this || m_previous->m_count <= 1) {
        free();
        return;
    }
    // Kept as the prepared successor of a block in use; its own unused successor goes.
    if (m_next && m_next != this && m_next->m_count <= 1)
        m_next->free();
}

void CAnimationBlock::free()
{
    if (m_manager)
        m_manager->unregisterAnimationBlock(this);
    delete this;
}

void CAnimationBlock::prepareNextBlock()
{
    int nextFrame;
    if (m_info.end >= m_clipView.end) {
        if (m_info.first <= m_clipView.start) {
            m_next = this;
            m_previous = this;
            return;
        }
        nextFrame = m_clipView.start;
    } else {
        nextFrame = m_info.end;
    }
    nextFrame = std::clamp(nextFrame, m_clipView.start, std::max(m_clipView.start, m_clipView.end));
    CAnimationBlock* next = m_manager ? m_manager->getAnimationBlock({m_source, m_clip, nextFrame}) : nullptr;
    if (!next)
        return;
    m_next = next;
    if (next != this)
        next->m_previous = this;
}

CAnimationBlock* CAnimationBlock::getBlock(const SAnimationBlockSearchKey& key)
{
    if (!key.source || key.source.get() != m_source.get() || key.clip != m_clip)
        return nullptr;
    CAnimationBlock* x = this;
    // Links never form more than one chain a clip; the bound keeps a broken one from looping.
    const std::size_t bound = m_manager ? m_manager->getRegistry().size() + 1 : 1;
    for (std::size_t steps = 0; x && steps <= bound; ++steps) {
        if (key.frame < x->m_info.first)
            x = x->m_previous;
        else if (x->covers(key.frame))
            return x;
        else
            x = x->m_next;
        if (x == this)
            return nullptr;
    }
    return nullptr;
}

// ---- manager -------------------------------------------------------------------------------

namespace {

auto order(const CAnimationBlock* b)
{
    return std::make_tuple(b->getSource(), b->getClip(), b->getSegmentInfo().first);
}

} // namespace

CAnimationStreamingManager::CAnimationStreamingManager() { Instance = this; }

CAnimationStreamingManager::~CAnimationStreamingManager()
{
    // Unused blocks go; a block a user still holds lives on without the manager until its
    // last drop.
    std::vector<CAnimationBlock*> left;
    left.swap(m_registry);
    for (CAnimationBlock* b : left) {
        b->m_next = b->m_previous = nullptr;
        b->m_manager = nullptr;
        --b->m_count;
    }
    for (CAnimationBlock* b : left)
        if (b->m_count <= 0)
            delete b;
    if (Instance == this)
        Instance = nullptr;
    (void)m_cacheLimit;
}

void CAnimationStreamingManager::registerAnimationBlock(CAnimationBlock* block)
{
    const auto at = std::upper_bound(m_registry.begin(), m_registry.end(), block,
                                     [](const CAnimationBlock* a, const CAnimationBlock* b) { return order(a) < order(b); });
    m_registry.insert(at, block);
    ++block->m_count;
}

void CAnimationStreamingManager::unregisterAnimationBlock(CAnimationBlock* block)
{
    const auto it = std::find(m_registry.begin(), m_registry.end(), block);
    if (it != m_registry.end()) {
        m_registry.erase(it);
        --block->m_count;
    }
}

CAnimationBlock* CAnimationStreamingManager::getAnimationBlock(const SAnimationBlockSearchKey& key)
{
    if (!key.source || !key.source->hasAnimations())
        return nullptr;
    const auto group = std::make_pair(key.source.get(), key.clip);
    auto first = std::lower_bound(m_registry.begin(), m_registry.end(), group, [](const CAnimationBlock* b, const auto& g) {
        return std::make_pair(b->getSource(), b->getClip()) < g;
    });
    const SAnimationClipView clip = key.source->getClip(key.clip);
    const bool outside = key.frame < clip.start || key.frame > clip.end;
    for (auto it = first; it != m_registry.end() && (*it)->getSource() == group.first && (*it)->getClip() == group.second;
         ++it)
        if ((*it)->covers(key.frame) || outside)
            return *it;
    const int segment = key.source->findSegment(key.frame);
    if (segment < 0)
        return nullptr;
    CAnimationBlock* block = new CAnimationBlock(*this, key, segment);
    if (!block->getData()) {
        // Nothing could be loaded: no block (nothing is applied this frame).
        block->free();
        return nullptr;
    }
    return block;
}

void CAnimationStreamingManager::getAnimationBlock(const SAnimationBlockSearchKey& key,
                                                   boost::intrusive_ptr<CAnimationBlock>& current)
{
    CAnimationBlock* block = current ? current->getBlock(key) : nullptr;
    if (!block)
        block = getAnimationBlock(key);
    if (!block)
        return;
    current = block;
}

} // namespace pravik::collada

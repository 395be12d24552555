#pragma once
// The animation side of one loaded scene file, shared by every animator and block that plays
// it: the animation records resolved into views with their bound tracks, the clips, the events
// record, and the key-data segments with their run-time state. References resolve through the
// file's image; streamed key data is read from the file's trailing area (absolute offsets),
// reopened by the file's source path. Holds a reference on the file; the file knows it only
// while it lives.

#include "engine/collada/CAnimationStreamingManager.h"
#include "engine/collada/CEventsManager.h"
#include "engine/collada/CTimelineController.h"
#include "engine/collada/SAnimationRecords.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace pravik::collada {

class CResFile;

class CAnimationFileData final : public IAnimationStreamSource, public IRecordSpace {
public:
    // The file's one instance, made on first use; null without a file or a root record.
    static boost::intrusive_ptr<CAnimationFileData> get(CResFile* file);
    ~CAnimationFileData() override;

    const unsigned char* resolve(std::uint32_t ref, std::uint32_t size) const override;
    const char* resolveText(std::uint32_t ref) const override;

    bool hasAnimations() const override { return !m_animations.empty(); }
    int getSegmentCount() const override { return int(m_segments.size()); }
    SAnimationSegmentInfo getSegment(int index) const override { return m_segments[std::size_t(index)]; }
    SAnimationClipView getClip(int index) const override;
    std::uint32_t getStreamedSize() const override { return m_trailingSize; }
    std::unique_ptr<IStreamedReader> openStreamed() override;
    const char* getName() const override;

    // Records in file order (a record that does not resolve keeps an empty view, no track).
    const std::vector<SAnimationView>& getAnimations() const { return m_animations; }
    const SAnimationClipLibrary& getClips() const { return m_clips; }
    const SAnimationEventsView* getEvents() const { return m_hasEvents ? &m_events : nullptr; }
    bool sharesKeyTimes() const { return m_sharedKeyTimes; }
    int getStart() const { return m_whole.start; }
    int getEnd() const { return m_whole.end; }
    CResFile* getResFile() const { return m_file; }

private:
    explicit CAnimationFileData(CResFile* file);

    CResFile* m_file;  // counted
    std::vector<SAnimationView> m_animations;
    SAnimationClipLibrary m_clips;
    SAnimationClipView m_whole;
    SAnimationEventsView m_events;
    bool m_hasEvents = false;
    bool m_sharedKeyTimes = false;
    std::vector<SAnimationSegmentInfo> m_segments;
    std::uint32_t m_trailingStart = 0, m_trailingSize = 0;
};

} // namespace pravik::collada

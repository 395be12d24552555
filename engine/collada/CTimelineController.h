#pragma once
// The timeline of a scene-file animator: a play position (seconds) inside the current clip of
// the file's clip library, or inside an explicit range when the file has no clips, advanced by
// the engine clock's elapsed time times the scale (negative plays backwards). The first update
// after construction, jumpTo or setClip only records the clock.

#include "engine/scene/ITimelineController.h"

#include <vector>

namespace pravik::collada {

// A clip as the controller uses it: name (the file's text) and [start, end] in ms.
struct SAnimationClipView {
    const char* name = nullptr;
    int start = 0;
    int end = 0;
};
using SAnimationClipLibrary = std::vector<SAnimationClipView>;

class CTimelineController : public scene::ITimelineController {
public:
    // clips: the file's library, kept by the caller for the controller's life; null for none.
    explicit CTimelineController(const SAnimationClipLibrary* clips = nullptr);

    void update(int ms) override;
    void jumpTo(int ms) override;
    int setClip(int index) override;
    int setClip(const char* name) override;
    int getClipIndex(const char* name) const override;
    int getClipCount() const override;
    int getClipStart(int index) const override;
    int getClipEnd(int index) const override;
    int getClipLength(int index) const override { return getClipEnd(index) - getClipStart(index); }
    int getCurrentClipStart() const override { return getClipStart(m_clip); }
    int getCurrentClipEnd() const override { return getClipEnd(m_clip); }
    int getCurrentClipLength() const override { return getClipLength(m_clip); }
    int getCurrentClipIndex() const override { return m_clip; }
    const char* getClipName(int index) const override;  // null past the clips
    void setLoop(bool loop) override { m_loop = loop; }
    bool getLoop() const override { return m_loop; }
    void setScale(float scale) override { m_scale = scale; }
    float getScale() const override { return m_scale; }
    void setRange(int start, int end, bool jump) override;  // kept as is while there are clips
    int getRangeStart() const override { return m_rangeStart; }
    int getRangeEnd() const override { return m_rangeEnd; }
    void init(int start, int end) { m_rangeStart = start; m_rangeEnd = end; }

    float getPosition() const { return m_position; }  // seconds
    bool hasEnded() const { return m_ended; }

private:
    const SAnimationClipView* clip(int index) const;

    int m_rangeStart = 0;
    int m_rangeEnd = 0;
    bool m_loop = true;
    float m_startSeconds = 0.f;
    float m_lengthSeconds = 0.f;
    float m_lastClock = 0.f;
    float m_position = 0.f;
    float m_scale = 1.f;
    const SAnimationClipLibrary* m_clips;
    int m_clip = 0;
    bool m_ended = false;
    bool m_started = false;
};

} // namespace pravik::collada

#pragma once
// The timeline over the live window, shown and hidden with Tab: the
// instance tree's windows as named bars, the sync events as ticks saying
// where each goes (as --check tells it), the music's waveform and the
// playhead. A click or drag seeks, the wheel and the buttons zoom. E
// records an event at the current time into the sync file, shown or not;
// Delete removes the event nearest the playhead, Ctrl-Z undoes the last of
// those changes. The inspector shows the selected instance's parameters
// with their values now.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/tool_overlay.h"

class LiveDemo;

struct TimelineRequest {
    std::optional<double> seekTo;  // demo time to move to
};

class TimelineOverlay {
public:
    TimelineOverlay();
    ~TimelineOverlay();
    TimelineOverlay(const TimelineOverlay&) = delete;
    TimelineOverlay& operator=(const TimelineOverlay&) = delete;

    // After the demo read its files, at start and at every reading: bars
    // and ticks are taken anew, the sync file is read as the base of the
    // next recording, and the waveform is made anew when the music changed.
    void demoRead(LiveDemo& demo, bool musicChanged);
    // Tab, E, Delete and Ctrl-Z at demo time now; false for other keys.
    bool handleKey(PlayerKey key, double now, LiveDemo& demo);
    bool isShown() const;
    // What E records from now on (the overlay's fields do the same).
    void chooseEvent(const std::string& name, int target);
    // Its ImGui windows, inside a tool frame; call only while shown.
    TimelineRequest draw(LiveDemo& demo, double now);

private:
    struct State;
    std::unique_ptr<State> state;
};

// The tools over the live window for one frame: lines (--check's list, when
// shown) and the timeline, when shown. With neither, nothing is drawn at all.
TimelineRequest drawLiveTools(TimelineOverlay& timeline, const std::vector<OverlayLine>& lines, LiveDemo& demo,
                              double now);

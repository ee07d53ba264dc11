#pragma once
// Editing the sync file while the demo plays: an event added at a time, the
// event nearest a time removed, the last change undone. Every change keeps
// the file's own way of writing (decimals, blanks, line ends, a byte order
// mark, lines the player skips or never reads) and is written whole under a
// new name, then renamed over the file, so that no reader ever sees half of
// it. The file may be open in an editor too: a change is made only on the
// bytes last read, and refused when the file holds others by then, so an
// editor's save is never overwritten.
#include <optional>
#include <string>
#include <vector>

#include "player/sync_track.h"

struct SyncEdit {
    bool done = false;
    std::string message;  // what was done, or why nothing was
};

class SyncRecorder {
public:
    explicit SyncRecorder(std::string path);

    // Reads the file as it now stands: the base of the next change. When it
    // differs from the bytes last read or written (an editor saved), the
    // undo history, made on the old bytes, is dropped.
    void refresh();

    // Inserts "time name target" after the last event due at or before
    // time (before the first one when none is), so it is delivered after
    // every event it was recorded after.
    SyncEdit record(double time, const std::string& name, int target);
    // Removes the line of the event whose time is nearest to time.
    SyncEdit removeNearest(double time);
    // Writes back the bytes the last change replaced, exactly.
    SyncEdit undo();
    bool canUndo() const { return !history.empty(); }

    // The events as the player reads the bytes last read or written.
    const SyncTrack& events() const { return track; }
    // What E records unless the maker chooses otherwise: the last event
    // recorded, or the file's last event (nullopt when there is neither).
    std::optional<SyncEvent> defaultEvent() const;

private:
    struct Line {
        std::size_t begin = 0, end = 0;  // end: after the line end, if any
        bool hasLineEnd = false;
        bool isEvent = false;
        bool endsReading = false;  // too long: the player reads no further
        float time = 0.0f;
    };
    // The lines the player reads, in file order.
    std::vector<Line> readLines() const;
    std::string formatLine(const Line* model, double time, const std::string& name, int target) const;
    // Checks the file still holds the bytes last seen, then replaces them.
    SyncEdit replace(const std::string& replacement, std::string doneMessage);
    bool writeAtomically(const std::string& bytes, std::string& problem) const;

    std::string path;
    // The bytes last read or written; nullopt: there was no file.
    std::optional<std::string> seen;
    SyncTrack track;
    std::vector<std::optional<std::string>> history;
    std::optional<SyncEvent> lastRecorded;
};

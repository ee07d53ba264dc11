#pragma once
// Live authoring: the demo plays in its window while its files are edited,
// and keys move about in it. Space pauses and resumes, Left/Right seek by
// one second, Down/Up by ten, Home goes to 0, R reads everything again, E
// hides and shows the list of --check's errors and warnings over the
// picture. At the end of the demo it pauses instead of ending.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/player_imports.h"
#include "platform/tool_overlay.h"

class LiveDemo;

// Initialises the demo and plays it from startTime on the frame loop until
// a quit request (Escape or the window closed). folder: the demo's folder
// as an absolute path, entered again whenever it is made anew.
void runLiveLoop(const PlayerImports& imports, LiveDemo& demo, double startTime, const std::string& folder);

// Writes the title's additions to the windowed title: paused, a failed
// reading and --check's error count, each while so ("" when none).
void formatLiveTitleSuffix(char* text, std::size_t size, bool paused, bool reloadFailed, int errors);

// What the window shows over the picture for --check's findings: a heading
// that counts them, then each line in its severity's colour, at most 100 of
// them and then how many more the console has. Empty when there are none.
std::vector<OverlayLine> checkFindingsOverlay(const std::vector<std::string>& findings);

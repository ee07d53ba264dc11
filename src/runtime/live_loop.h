#pragma once
// Live authoring: the demo plays in its window while its files are edited,
// and keys move about in it. Space pauses and resumes, Left/Right seek by
// one second, Down/Up by ten, Home goes to 0, R reads everything again.
// At the end of the demo it pauses instead of ending.
class LiveDemo;

// Initialises the demo and plays it from startTime until a quit request
// (Escape or the window closed).
void runLiveLoop(LiveDemo& demo, double startTime);

// The title's additions to the windowed title while paused or after a
// failed reading ("" when neither).
const char* liveTitleSuffix(bool paused, bool reloadFailed);

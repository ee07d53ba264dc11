#pragma once
// One moment of the demo shown still: the frame at t after every sync event
// due by then has arrived, one per drawn frame as when playing from t.
class Demo;

// Draws frames at t until no sync event due by t is left undelivered; the
// last one stays in the back buffer. Returns the number of frames drawn.
int drawHeldFrame(Demo& demo, float t);

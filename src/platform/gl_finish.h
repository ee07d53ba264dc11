#pragma once
// Waits until the GL has finished every command issued so far, so that a
// clock read afterwards measures the drawing, not just its queuing.
void finishGL();

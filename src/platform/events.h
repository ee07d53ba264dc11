#pragma once
// The window's event queue as the frame loop sees it.

enum class PendingEvent {
    None,     // the queue was empty
    Quit,     // a quit request; the frame loop ends
    Handled,  // any other event, already passed to the window's handler
};

// Takes the next event without waiting. Every event except a quit request
// is handled (size changes, Escape, close request) before this returns.
PendingEvent takeNextEvent();
// Queues a quit request behind the events already waiting.
void postQuit();

// The keys of live playback; every other key is None. Undo is Ctrl-Z.
enum class PlayerKey { None, Space, Left, Right, Down, Up, Home, R, C, Tab, E, Delete, Undo };

// As takeNextEvent, and says which of those keys a key-down event pressed
// (None for every other event). Key repeat counts as presses. Input also
// reaches the tool overlay; while one of its text fields has the keyboard,
// only Tab is a player key.
PendingEvent takeNextKeyEvent(PlayerKey& key);

#include "platform/events.h"

#include "platform/window.h"
#include "platform/window_state.h"

void handleWindowEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            resizeViewport(event.window.data1, event.window.data2);
        } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            deleteGLContext();
            postQuit();
        }
        break;
    case SDL_KEYDOWN:
        // SDL sends no character for Escape; its key-down stands in.
        if (event.key.keysym.sym == SDLK_ESCAPE) postQuit();
        break;
    default:
        break;
    }
}

namespace {

PlayerKey playerKeyOf(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN) return PlayerKey::None;
    switch (event.key.keysym.sym) {
    case SDLK_SPACE:
        return PlayerKey::Space;
    case SDLK_LEFT:
        return PlayerKey::Left;
    case SDLK_RIGHT:
        return PlayerKey::Right;
    case SDLK_DOWN:
        return PlayerKey::Down;
    case SDLK_UP:
        return PlayerKey::Up;
    case SDLK_HOME:
        return PlayerKey::Home;
    case SDLK_r:
        return PlayerKey::R;
    case SDLK_c:
        return PlayerKey::C;
    case SDLK_TAB:
        return PlayerKey::Tab;
    case SDLK_e:
        return PlayerKey::E;
    case SDLK_DELETE:
        return PlayerKey::Delete;
    case SDLK_z:
        return (event.key.keysym.mod & KMOD_CTRL) != 0 ? PlayerKey::Undo : PlayerKey::None;
    default:
        return PlayerKey::None;
    }
}

}  // namespace

PendingEvent takeNextEvent() {
    PlayerKey ignored = PlayerKey::None;
    return takeNextKeyEvent(ignored);
}

PendingEvent takeNextKeyEvent(PlayerKey& key) {
    key = PlayerKey::None;
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return PendingEvent::None;
    SDL_Event event;
    // SDL_PollEvent stops at the end of what was waiting when it pumped, so
    // events queued while handling those (the quit after Escape) are taken
    // from the queue directly: they too come before the next frame.
    if (!SDL_PollEvent(&event) && SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0)
        return PendingEvent::None;
    if (event.type == SDL_QUIT) return PendingEvent::Quit;
    handleWindowEvent(event);
    const WindowState& state = windowState();
    if (state.passToToolOverlay) state.passToToolOverlay(event);
    key = playerKeyOf(event);
    if (key != PlayerKey::Tab && state.toolOverlayTyping) key = PlayerKey::None;
    return PendingEvent::Handled;
}

void postQuit() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

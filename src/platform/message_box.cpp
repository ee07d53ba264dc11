#include "platform/message_box.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {
const char* const caption = "Error!";
}

bool dialogsAllowed() {
    // A box nobody can answer blocks forever (and SDL holds back SIGTERM
    // meanwhile), so only a run with someone at the terminal gets one.
    return isatty(STDIN_FILENO) && std::getenv("QUARN_NO_DIALOGS") == nullptr;
}

void showErrorMessage(const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (dialogsAllowed()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

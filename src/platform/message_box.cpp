#include "platform/message_box.h"
#include "platform/report.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const caption = "Error!";
bool forbidden = false;
}  // namespace

bool dialogsAllowed() {
    if (forbidden || std::getenv("QUARN_NO_DIALOGS") != nullptr) return false;
    // Only a window system someone looks at; a box nobody can answer would
    // block forever.
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
}

void forbidDialogs() { forbidden = true; }

void showErrorDialog(const char* text) {
    if (dialogsAllowed()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

void showErrorMessage(const char* text) {
    QUARN_REPORTF(Error, "%s: %s\n", caption, text);
    showErrorDialog(text);
}

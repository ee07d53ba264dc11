#include "platform/extensions.h"
#include "platform/window_state.h"

#include <SDL.h>

#include <cstring>

MultitextureEntryPoints multitexture{};

namespace {

struct EntryPoint {
    const char* name;
    void (*store)(void* address);
};

#define ENTRY_POINT(member)                                                                                            \
    EntryPoint {                                                                                                       \
#member, [](void* address) { multitexture.member = reinterpret_cast<decltype(multitexture.member)>(address); } \
    }

const EntryPoint entryPoints[multitextureEntryPointCount] = {
    ENTRY_POINT(glMultiTexCoord1dARB),     ENTRY_POINT(glMultiTexCoord1dvARB), ENTRY_POINT(glMultiTexCoord1fARB),
    ENTRY_POINT(glMultiTexCoord1fvARB),    ENTRY_POINT(glMultiTexCoord1iARB),  ENTRY_POINT(glMultiTexCoord1ivARB),
    ENTRY_POINT(glMultiTexCoord1sARB),     ENTRY_POINT(glMultiTexCoord1svARB), ENTRY_POINT(glMultiTexCoord2dARB),
    ENTRY_POINT(glMultiTexCoord2dvARB),    ENTRY_POINT(glMultiTexCoord2fARB),  ENTRY_POINT(glMultiTexCoord2fvARB),
    ENTRY_POINT(glMultiTexCoord2iARB),     ENTRY_POINT(glMultiTexCoord2ivARB), ENTRY_POINT(glMultiTexCoord2sARB),
    ENTRY_POINT(glMultiTexCoord2svARB),    ENTRY_POINT(glMultiTexCoord3dARB),  ENTRY_POINT(glMultiTexCoord3dvARB),
    ENTRY_POINT(glMultiTexCoord3fARB),     ENTRY_POINT(glMultiTexCoord3fvARB), ENTRY_POINT(glMultiTexCoord3iARB),
    ENTRY_POINT(glMultiTexCoord3ivARB),    ENTRY_POINT(glMultiTexCoord3sARB),  ENTRY_POINT(glMultiTexCoord3svARB),
    ENTRY_POINT(glMultiTexCoord4dARB),     ENTRY_POINT(glMultiTexCoord4dvARB), ENTRY_POINT(glMultiTexCoord4fARB),
    ENTRY_POINT(glMultiTexCoord4fvARB),    ENTRY_POINT(glMultiTexCoord4iARB),  ENTRY_POINT(glMultiTexCoord4ivARB),
    ENTRY_POINT(glMultiTexCoord4sARB),     ENTRY_POINT(glMultiTexCoord4svARB), ENTRY_POINT(glActiveTextureARB),
    ENTRY_POINT(glClientActiveTextureARB),
};

#undef ENTRY_POINT

void* lookUpWithSdl(const char* name) { return SDL_GL_GetProcAddress(name); }

}  // namespace

const char* multitextureEntryPointName(int index) {
    if (index < 0 || index >= multitextureEntryPointCount) return nullptr;
    return entryPoints[index].name;
}

bool hasExtension(const char* extensionString, const char* name) {
    if (!extensionString || !name || !*name) return false;
    const size_t length = std::strlen(name);
    for (const char* at = extensionString; (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool startsWord = at == extensionString || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) return true;
    }
    return false;
}

bool loadMultitextureEntryPoints(ProcAddressLookup lookup, const char* extensionString) {
    // The lookup hands out stubs even for names the driver lacks, so only
    // the advertised extension makes the pointers safe to call.
    if (!hasExtension(extensionString, "GL_ARB_multitexture")) return false;
    for (const EntryPoint& entry : entryPoints) {
        void* address = lookup(entry.name);
        entry.store(address);
        if (!address) return false;
    }
    return true;
}

bool initExtensions() {
    if (!SDL_GL_GetCurrentContext()) return false;
    // OpenGL ES 2 selects texture units with its core glActiveTexture, which
    // its render state calls itself.
    if (windowState().gles2) return true;
    const char* extensionString = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return loadMultitextureEntryPoints(lookUpWithSdl, extensionString);
}

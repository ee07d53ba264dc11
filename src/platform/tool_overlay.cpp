#include "platform/tool_overlay.h"

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include "platform/extensions.h"
#include "platform/window_state.h"

namespace {

bool opened = false;

void passEvent(const SDL_Event& event) { ImGui_ImplSDL2_ProcessEvent(&event); }
// The units the effects may leave switched on (at most the 4 they use); the
// panel draws on unit 0.
int textureUnits = 1;

// The effects leave whatever state their last draw needed, and the render
// state clears stale arrays only at its next draw: everything the panel's
// draw could be disturbed by is switched off here, inside a saved state.
void setUpPlainDrawing() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (int unit = textureUnits - 1; unit >= 0; --unit) {
        if (textureUnits > 1) {
            multitexture.glActiveTextureARB(GL_TEXTURE0_ARB + unit);
            multitexture.glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
        }
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glLoadIdentity();
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void restoreDrawing() {
    glMatrixMode(GL_TEXTURE);
    for (int unit = 0; unit < textureUnits; ++unit) {
        if (textureUnits > 1) multitexture.glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace

bool openToolOverlay() {
    WindowState& state = windowState();
    if (opened) return true;
    if (!state.window || !state.context) return false;
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    // Nothing is written beside the demo's files, and the pointer is the
    // window's own.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    ImGui::StyleColorsDark();
    ImGui_ImplSDL2_InitForOpenGL(state.window, state.context);
    ImGui_ImplOpenGL2_Init();
    textureUnits = 1;
    if (multitexture.glActiveTextureARB && multitexture.glClientActiveTextureARB) {
        GLint units = 1;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
        textureUnits = units < 1 ? 1 : units > 4 ? 4 : units;
    }
    state.passToToolOverlay = passEvent;
    opened = true;
    return true;
}

bool beginToolFrame() {
    if (!opened) return false;
    // First, as the font's texture is made on the first frame.
    setUpPlainDrawing();
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    return true;
}

void addToolLines(const std::vector<OverlayLine>& lines) {
    if (lines.empty()) return;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), display);
    ImGui::SetNextWindowBgAlpha(0.75f);
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoInputs |
                                   ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings |
                                   ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNav;
    ImGui::Begin("tool overlay", nullptr, flags);
    ImGui::PushTextWrapPos(display.x - ImGui::GetStyle().WindowPadding.x * 2.0f);
    for (const OverlayLine& line : lines) {
        ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(line.red, line.green, line.blue, 255));
        ImGui::TextUnformatted(line.text.c_str(), line.text.c_str() + line.text.size());
        ImGui::PopStyleColor();
    }
    ImGui::PopTextWrapPos();
    ImGui::End();
}

void endToolFrame() {
    windowState().toolOverlayTyping = ImGui::GetIO().WantTextInput;
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    restoreDrawing();
}

void releaseToolKeyboard() {
    if (!opened) return;
    ImGui::SetWindowFocus(nullptr);
    windowState().toolOverlayTyping = false;
}

void drawToolOverlay(const std::vector<OverlayLine>& lines) {
    if (!opened || lines.empty()) return;
    beginToolFrame();
    addToolLines(lines);
    endToolFrame();
}

void closeToolOverlay() {
    if (!opened) return;
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    opened = false;
    windowState().passToToolOverlay = nullptr;
    windowState().toolOverlayTyping = false;
}

#include "platform/tool_overlay.h"

#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include "platform/window_state.h"

namespace {

bool opened = false;

void passEvent(const SDL_Event& event) { ImGui_ImplSDL2_ProcessEvent(&event); }
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
    state.passToToolOverlay = passEvent;
    opened = true;
    return true;
}

bool beginToolFrame(RenderState& renderState) {
    if (!opened) return false;
    // First, as the font's texture is made on the first frame.
    // The effects leave whatever state their last draw needed: the panel
    // draws from plain state, and the frame after it from what they left.
    renderState.beginOutsideDraws();
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

void endToolFrame(RenderState& renderState) {
    windowState().toolOverlayTyping = ImGui::GetIO().WantTextInput;
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    renderState.endOutsideDraws();
}

void releaseToolKeyboard() {
    if (!opened) return;
    ImGui::SetWindowFocus(nullptr);
    windowState().toolOverlayTyping = false;
}

void drawToolOverlay(RenderState& renderState, const std::vector<OverlayLine>& lines) {
    if (!opened || lines.empty()) return;
    beginToolFrame(renderState);
    addToolLines(lines);
    endToolFrame(renderState);
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

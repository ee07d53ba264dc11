#include "authoring/timeline_overlay.h"

#include <imgui.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "authoring/demo_check.h"
#include "authoring/live_demo.h"
#include "authoring/sync_recorder.h"
#include "effects/parameter_declarations.h"
#include "effects/script_expression.h"
#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "platform/audio_decoder.h"
#include "platform/file_bytes.h"
#include "platform/report.h"
#include "platform/tool_overlay.h"
#include "player/sync_track.h"

namespace {

constexpr const char* syncFileName = "test.dat";
constexpr const char* musicFileName = "demomusik.mp3";
// Waveform resolution: the loudest sample of each hundredth of a second.
constexpr int waveBinsPerSecond = 100;
constexpr float rowHeight = 14.0f;
constexpr float stripHeight = 84.0f;
constexpr int labelRows = 3;
constexpr double shortestView = 0.5;
constexpr int messageMilliseconds = 6000;

// One path through the instance tree: shared instances show once per
// parent, each at its own place in demo time.
struct Bar {
    EffectInstance* instance;
    int depth;
    double start, end;  // demo time; end clipped to the parent's
};

struct Tick {
    float time;
    std::string label;
    ImU32 colour;
};

// A parameter as the inspector shows it, its expression compiled once.
struct ShownParameter {
    std::string name;
    std::string written;
    std::string variables;  // of an expression; empty otherwise
    std::unique_ptr<ScriptExpression> expression;
};

void collectBars(EffectInstance& instance, double parentStart, double parentEnd, int depth, std::vector<Bar>& bars) {
    const double start = parentStart + instance.getStart();
    const double end = std::min(parentStart + static_cast<double>(instance.getEnd()), parentEnd);
    bars.push_back(Bar{&instance, depth, start, end});
    // The walk is bounded by the tree's visit limit.
    for (EffectInstance* child : instance.getChildren()) collectBars(*child, start, end, depth + 1, bars);
}

bool reactsTo(const Effect* effect, const std::string& name) {
    if (effect == nullptr) return false;
    const EffectTypeDeclaration* type = findEffectTypeDeclaration(const_cast<Effect*>(effect)->typeName());
    return type != nullptr &&
           std::find(type->syncEvents.begin(), type->syncEvents.end(), name) != type->syncEvents.end();
}

}  // namespace

struct TimelineOverlay::State {
    bool shown = false;
    SyncRecorder recorder{syncFileName};
    char name[64] = "offset";
    int target = 0;
    bool chosen = false;  // the maker changed name or target
    std::string message;
    bool messageIsProblem = false;
    // On the wall clock: demo time stands still while paused.
    std::chrono::steady_clock::time_point messageUntil;
    double now = 0.0;

    std::vector<Bar> bars;
    std::vector<const Bar*> visibleBars;
    std::vector<Tick> ticks;
    double demoEnd = 255.0;
    double viewStart = 0.0, viewSpan = 30.0;
    const EffectInstance* selected = nullptr;  // of the tree now playing
    std::string selectedName;                  // kept across readings
    double selectedStart = 0.0;
    std::vector<ShownParameter> parameters;
    std::vector<EffectInstance*> active;
    std::vector<EffectInstance*> scratch;
    double lastSeek = -1.0;

    // The waveform, made on a thread of its own: decoding the whole music
    // takes longer than a frame.
    std::thread decoder;
    std::atomic<bool> waveReady{false};
    std::vector<float> wave;  // per bin, 0..1
    double musicSeconds = 0.0;

    ~State() {
        if (decoder.joinable()) decoder.join();
    }

    void say(const SyncEdit& edit) {
        message = edit.message;
        messageIsProblem = !edit.done;
        messageUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(messageMilliseconds);
        report(edit.done ? ReportLevel::Output : ReportLevel::Error, __FILE__, __LINE__, edit.message + "\n");
    }

    void startWave() {
        if (decoder.joinable()) decoder.join();
        waveReady = false;
        decoder = std::thread([this] {
            std::vector<float> bins;
            double seconds = 0.0;
            // Bin by bin as the decoder goes: the whole PCM would be tens
            // of megabytes, held for nothing but a few thousand peaks.
            constexpr std::size_t samplesPerBin = audioOutputRate / waveBinsPerSecond * audioOutputChannels;
            std::size_t samples = 0;
            const auto binPeaks = [&bins, &samples](const int16_t* piece, std::size_t count) {
                for (std::size_t i = 0; i < count; ++i, ++samples) {
                    const std::size_t bin = samples / samplesPerBin;
                    if (bin == bins.size()) bins.push_back(0.0f);
                    const float peak = static_cast<float>(std::abs(static_cast<int>(piece[i]))) / 32768.0f;
                    bins[bin] = std::max(bins[bin], peak);
                }
            };
            std::vector<uint8_t> bytes;
            const bool decoded =
                readFileBytes(musicFileName, bytes) && decodeMp3Pieces(bytes.data(), bytes.size(), binPeaks);
            // Whole frames only: a lone last sample makes no frame.
            const std::size_t frames = decoded ? samples / audioOutputChannels : 0;
            if (frames > 0) {
                seconds = static_cast<double>(frames) / audioOutputRate;
                bins.resize((frames * audioOutputChannels + samplesPerBin - 1) / samplesPerBin);
            } else {
                bins.clear();
            }
            wave = std::move(bins);
            musicSeconds = seconds;
            waveReady = true;
        });
    }

    void select(const Bar& bar) {
        selected = bar.instance;
        selectedName = bar.instance->getName();
        selectedStart = bar.start;
        parameters.clear();
        Effect* effect = bar.instance->getEffect();
        if (effect == nullptr) return;
        const EffectTypeDeclaration* type = findEffectTypeDeclaration(effect->typeName());
        for (const auto& entry : effect->floatTable().all())
            parameters.push_back({entry.name, std::to_string(*entry.value), {}, nullptr});
        for (const auto& entry : effect->intTable().all())
            parameters.push_back({entry.name, "%" + std::to_string(*entry.value), {}, nullptr});
        for (const auto& entry : effect->stringTable().all()) {
            ShownParameter shown{entry.name, entry.value != nullptr ? entry.value : "", {}, nullptr};
            const ParameterDeclaration* declaration =
                type != nullptr ? findParameterDeclaration(*type, entry.name) : nullptr;
            if (declaration != nullptr && declaration->use == ParameterUse::Expression && !shown.written.empty()) {
                shown.variables = std::string(declaration->variables);
                shown.expression = std::make_unique<ScriptExpression>();
                if (declaration->knowsPi) shown.expression->addConstant("pi", 3.14159265358979323846);
                shown.expression->compile(shown.written, shown.variables);
            }
            parameters.push_back(std::move(shown));
        }
    }

    double timeAt(float x, float left, float width) const {
        return std::clamp(viewStart + (x - left) / width * viewSpan, 0.0, demoEnd);
    }

    void zoom(double factor, double around) {
        const double span = std::clamp(viewSpan * factor, shortestView, std::max(demoEnd, shortestView));
        viewStart = std::clamp(around - (around - viewStart) * span / viewSpan, 0.0, std::max(demoEnd - span, 0.0));
        viewSpan = span;
    }

    TimelineRequest drawTimeline(LiveDemo& demo);
    void drawInspector(float height);
};

TimelineOverlay::TimelineOverlay() : state(std::make_unique<State>()) {}

TimelineOverlay::~TimelineOverlay() = default;

bool TimelineOverlay::isShown() const { return state->shown; }

void TimelineOverlay::chooseEvent(const std::string& name, int target) {
    std::snprintf(state->name, sizeof state->name, "%s", name.c_str());
    state->target = target;
    state->chosen = true;
}

void TimelineOverlay::demoRead(LiveDemo& demo, bool musicChanged) {
    State& s = *state;
    s.recorder.refresh();
    if (!s.chosen) {
        const std::optional<SyncEvent> event = s.recorder.defaultEvent();
        if (event) {
            std::snprintf(s.name, sizeof s.name, "%s", event->name.c_str());
            s.target = event->target;
        }
    }
    s.demoEnd = demo.times().end;
    s.viewSpan = std::min(s.viewSpan, std::max(s.demoEnd, shortestView));
    s.bars.clear();
    s.ticks.clear();
    // A new tree: the old instances are gone; the selection moves to the
    // one of the same name and place, if any.
    const std::string selectedName = s.selected != nullptr ? s.selectedName : std::string();
    s.selected = nullptr;
    s.parameters.clear();
    EffectInstance* root = demo.root();
    if (root != nullptr) collectBars(*root, 0.0, root->getEnd(), 0, s.bars);
    for (const Bar& bar : s.bars) {
        if (!selectedName.empty() && bar.instance->getName() == selectedName && bar.start == s.selectedStart) {
            s.select(bar);
            break;
        }
    }
    if (const SyncTrack* track = demo.syncTrack()) {
        for (const SyncEvent& event : *track) {
            Tick tick{event.time, event.name, IM_COL32(150, 150, 150, 255)};
            if (event.name == fadeOutEventName || event.name == endEventName) {
                tick.colour = IM_COL32(120, 180, 255, 255);
            } else if (root == nullptr) {
                tick.label += " -> ?";
            } else if (const EffectInstance* to = syncEventDestination(*root, event, s.scratch)) {
                tick.label += " -> " + to->getName();
                if (reactsTo(to->getEffect(), event.name)) tick.colour = IM_COL32(255, 220, 110, 255);
            } else {
                tick.label += " -> no instance " + std::to_string(event.target);
                tick.colour = IM_COL32(255, 110, 110, 255);
            }
            s.ticks.push_back(std::move(tick));
        }
    }
    if (musicChanged || (!s.decoder.joinable() && !s.waveReady)) s.startWave();
}

bool TimelineOverlay::handleKey(PlayerKey key, double now, LiveDemo& /*demo*/) {
    State& s = *state;
    s.now = now;
    switch (key) {
    case PlayerKey::Tab:
        s.shown = !s.shown;
        if (!s.shown) releaseToolKeyboard();
        return true;
    case PlayerKey::E:
        s.say(s.recorder.record(now, s.name, s.target));
        return true;
    case PlayerKey::Delete:
        s.say(s.recorder.removeNearest(now));
        return true;
    case PlayerKey::Undo:
        s.say(s.recorder.undo());
        return true;
    default:
        return false;
    }
}

TimelineRequest TimelineOverlay::draw(LiveDemo& demo, double now) {
    State& s = *state;
    s.now = now;
    // The playhead stays in view while playing.
    if (now < s.viewStart || now > s.viewStart + s.viewSpan)
        s.viewStart = std::clamp(now - s.viewSpan * 0.1, 0.0, std::max(s.demoEnd - s.viewSpan, 0.0));
    return s.drawTimeline(demo);
}

TimelineRequest TimelineOverlay::State::drawTimeline(LiveDemo& demo) {
    TimelineRequest request;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const float panelHeight = std::min(display.y * 0.5f, 300.0f);
    ImGui::SetNextWindowPos(ImVec2(0.0f, display.y - panelHeight));
    ImGui::SetNextWindowSize(ImVec2(display.x, panelHeight));
    ImGui::SetNextWindowBgAlpha(0.8f);
    // No keyboard navigation: Tab shows and hides the panel and must not
    // also move the keyboard into one of its fields.
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoSavedSettings |
                                   ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoFocusOnAppearing |
                                   ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoNavInputs;
    ImGui::Begin("timeline", nullptr, flags);

    // The recording line: what E records, and where that goes now.
    active.clear();
    if (EffectInstance* root = demo.root()) root->collectActive(static_cast<float>(now), active);
    ImGui::Text("%.3f s", now);
    ImGui::SameLine();
    if (ImGui::SmallButton("-")) zoom(1.6, now);
    ImGui::SameLine();
    if (ImGui::SmallButton("+")) zoom(1.0 / 1.6, now);
    ImGui::SameLine();
    if (ImGui::SmallButton("all")) zoom(1e9, now);
    ImGui::SameLine();
    ImGui::TextUnformatted("  E records");
    ImGui::SameLine();
    ImGui::SetNextItemWidth(90.0f);
    if (ImGui::InputText("##name", name, sizeof name, ImGuiInputTextFlags_CharsNoBlank)) chosen = true;
    ImGui::SameLine();
    ImGui::TextUnformatted("to");
    ImGui::SameLine();
    ImGui::SetNextItemWidth(80.0f);
    if (ImGui::InputInt("##target", &target)) chosen = true;
    ImGui::SameLine();
    if (target >= 0 && static_cast<std::size_t>(target) < active.size())
        ImGui::Text("= %s now", active[static_cast<std::size_t>(target)]->getName().c_str());
    else
        ImGui::TextColored(ImVec4(1.0f, 0.45f, 0.45f, 1.0f), "no instance %d now", target);
    if (!message.empty() && std::chrono::steady_clock::now() < messageUntil) {
        const ImVec4 colour = messageIsProblem ? ImVec4(1.0f, 0.45f, 0.45f, 1.0f) : ImVec4(0.6f, 1.0f, 0.6f, 1.0f);
        ImGui::TextColored(colour, "%s", message.c_str());
    } else {
        ImGui::TextDisabled(
            "Tab hides  E records  Delete removes the nearest  Ctrl-Z undoes  click seeks  wheel zooms");
    }

    // The strip: waveform, event ticks with where each goes, playhead.
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const float left = ImGui::GetCursorScreenPos().x;
    const float top = ImGui::GetCursorScreenPos().y;
    const float width = std::max(ImGui::GetContentRegionAvail().x, 10.0f);
    ImGui::InvisibleButton("strip", ImVec2(width, stripHeight));
    const bool stripHeld = ImGui::IsItemActive();
    const bool stripHovered = ImGui::IsItemHovered();
    const auto xOf = [&](double t) { return left + static_cast<float>((t - viewStart) / viewSpan) * width; };
    draw->AddRectFilled(ImVec2(left, top), ImVec2(left + width, top + stripHeight), IM_COL32(20, 20, 28, 220));
    const float waveMiddle = top + 14.0f, waveHalf = 12.0f;
    if (waveReady && musicSeconds > 0.0 && !wave.empty()) {
        for (float x = 0.0f; x < width; x += 1.0f) {
            const double from = viewStart + x / width * viewSpan;
            const double to = viewStart + (x + 1.0f) / width * viewSpan;
            if (from > demoEnd) break;
            // The music loops under a longer demo.
            auto bin = static_cast<std::size_t>(std::fmod(from, musicSeconds) * waveBinsPerSecond);
            const auto last = bin + static_cast<std::size_t>(std::max((to - from) * waveBinsPerSecond, 1.0));
            float peak = 0.0f;
            for (std::size_t b = bin; b < last; ++b) peak = std::max(peak, wave[b % wave.size()]);
            // A one-pixel rectangle is two triangles; an anti-aliased line
            // is several, and a software GL pays for each.
            draw->AddRectFilled(ImVec2(left + x, waveMiddle - peak * waveHalf),
                                ImVec2(left + x + 1.0f, waveMiddle + peak * waveHalf + 1.0f),
                                IM_COL32(90, 160, 220, 255));
        }
    } else {
        draw->AddText(ImVec2(left + 4.0f, top + 6.0f), IM_COL32(140, 140, 140, 255), "reading the music ...");
    }
    // Seconds along the bottom.
    const double step = viewSpan > 120.0 ? 30.0 : viewSpan > 40.0 ? 10.0 : viewSpan > 8.0 ? 2.0 : 0.5;
    for (double t = std::ceil(viewStart / step) * step; t <= viewStart + viewSpan; t += step) {
        const float x = xOf(t);
        draw->AddLine(ImVec2(x, top + stripHeight - 4.0f), ImVec2(x, top + stripHeight), IM_COL32(160, 160, 160, 255));
        char text[16];
        std::snprintf(text, sizeof text, "%g", t);
        draw->AddText(ImVec2(x + 2.0f, top + stripHeight - 14.0f), IM_COL32(120, 120, 120, 255), text);
    }
    float rowEnd[labelRows] = {-1e9f, -1e9f, -1e9f};
    int row = 0;
    const float fontHeight = ImGui::GetFontSize();
    for (const Tick& tick : ticks) {
        if (tick.time < viewStart || tick.time > viewStart + viewSpan) continue;
        const float x = xOf(tick.time);
        draw->AddLine(ImVec2(x, top), ImVec2(x, top + stripHeight), tick.colour);
        // Labels take turns over a few rows and give way where they would
        // cover one another.
        const float labelWidth = ImGui::CalcTextSize(tick.label.c_str()).x;
        for (int tries = 0; tries < labelRows; ++tries, row = (row + 1) % labelRows) {
            if (x + 2.0f <= rowEnd[row]) continue;
            draw->AddText(ImVec2(x + 2.0f, top + 28.0f + row * fontHeight), tick.colour, tick.label.c_str());
            rowEnd[row] = x + 2.0f + labelWidth + 4.0f;
            row = (row + 1) % labelRows;
            break;
        }
    }
    if (stripHeld) {
        const double t = timeAt(ImGui::GetIO().MousePos.x, left, width);
        if (std::fabs(t - lastSeek) > 1e-4) {
            request.seekTo = t;
            lastSeek = t;
        }
    } else {
        lastSeek = -1.0;
    }

    // The bars in view, scrolled when there are more than fit.
    visibleBars.clear();
    for (const Bar& bar : bars)
        if (bar.end >= viewStart && bar.start <= viewStart + viewSpan && bar.end >= bar.start)
            visibleBars.push_back(&bar);
    const float barsHeight = std::max(ImGui::GetContentRegionAvail().y, rowHeight);
    ImGui::BeginChild("bars", ImVec2(width, barsHeight), false, ImGuiWindowFlags_NoNavInputs);
    const bool barsHovered = ImGui::IsWindowHovered();
    ImDrawList* barDraw = ImGui::GetWindowDrawList();
    // Already moved by the scrolling.
    const float barsTop = ImGui::GetCursorScreenPos().y;
    const float windowTop = ImGui::GetWindowPos().y;
    for (std::size_t i = 0; i < visibleBars.size(); ++i) {
        const Bar& bar = *visibleBars[i];
        const float y = barsTop + i * rowHeight;
        // Only the rows in sight cost drawing.
        if (y + rowHeight < windowTop || y > windowTop + barsHeight) continue;
        const float x0 = std::max(xOf(bar.start), left), x1 = std::min(xOf(bar.end), left + width);
        const bool isActive =
            std::find(active.begin(), active.end(), bar.instance) != active.end() && now >= bar.start && now <= bar.end;
        const bool isSelected = bar.instance == selected && bar.start == selectedStart;
        const ImU32 fill = isSelected ? IM_COL32(200, 140, 60, 230)
                           : isActive ? IM_COL32(70, 110, 70, 230)
                                      : IM_COL32(55, 60, 75, 230);
        barDraw->AddRectFilled(ImVec2(x0, y + 1.0f), ImVec2(std::max(x1, x0 + 2.0f), y + rowHeight - 1.0f), fill, 2.0f);
        const std::string label = std::string(static_cast<std::size_t>(bar.depth) * 2, ' ') + bar.instance->getName();
        // Clipped on the CPU: a clip rectangle of its own would end the
        // draw command at each bar.
        const ImVec4 labelClip(x0, y, std::max(x1, x0 + 1.0f), y + rowHeight);
        barDraw->AddText(ImGui::GetFont(), ImGui::GetFontSize(), ImVec2(x0 + 3.0f, y), IM_COL32(230, 230, 230, 255),
                         label.c_str(), nullptr, 0.0f, &labelClip);
        if (barsHovered && ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
            const ImVec2 mouse = ImGui::GetIO().MousePos;
            if (mouse.y >= y && mouse.y < y + rowHeight && mouse.x >= x0 && mouse.x <= x1) select(bar);
        }
    }
    ImGui::Dummy(ImVec2(width, visibleBars.size() * rowHeight));
    ImGui::EndChild();

    // The playhead across strip and bars.
    if (now >= viewStart && now <= viewStart + viewSpan) {
        const float x = xOf(now);
        draw->AddLine(ImVec2(x, top), ImVec2(x, top + stripHeight + barsHeight), IM_COL32(255, 80, 80, 255), 2.0f);
    }
    const float wheel = ImGui::GetIO().MouseWheel;
    if ((stripHovered || barsHovered) && wheel != 0.0f)
        zoom(wheel > 0.0f ? 1.0 / 1.25 : 1.25, timeAt(ImGui::GetIO().MousePos.x, left, width));
    ImGui::End();

    if (selected != nullptr) drawInspector(display.y - panelHeight);
    return request;
}

void TimelineOverlay::State::drawInspector(float height) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const float width = std::min(300.0f, display.x * 0.5f);
    ImGui::SetNextWindowPos(ImVec2(display.x - width, 0.0f));
    ImGui::SetNextWindowSize(ImVec2(width, height));
    ImGui::SetNextWindowBgAlpha(0.8f);
    bool open = true;
    ImGui::Begin("inspector", &open,
                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                     ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNavInputs);
    Effect* effect = selected->getEffect();
    const double local = now - selectedStart;
    ImGui::Text("%s", selected->getName().c_str());
    ImGui::TextDisabled("%s, window %g..%g", effect != nullptr ? effect->typeName().c_str() : "no effect",
                        static_cast<double>(selected->getStart()), static_cast<double>(selected->getEnd()));
    ImGui::Text("local t = %.3f", local);
    // Its place among the active instances is the target that reaches it.
    const auto place = std::find(active.begin(), active.end(), selected);
    if (place != active.end()) {
        const int position = static_cast<int>(place - active.begin());
        char text[48];
        std::snprintf(text, sizeof text, "E records to it (target %d)", position);
        if (ImGui::SmallButton(text)) {
            target = position;
            chosen = true;
        }
    }
    ImGui::Separator();
    ImGui::PushTextWrapPos(0.0f);
    for (ShownParameter& parameter : parameters) {
        if (parameter.expression == nullptr) {
            ImGui::Text("%s : %s", parameter.name.c_str(), parameter.written.c_str());
            continue;
        }
        // The other variables at their first point: particle 0, grid
        // centre.
        double variables[5] = {};
        const char* at = "";
        if (parameter.variables == "t") {
            variables[0] = local;
        } else if (parameter.variables == "t,i,n") {
            variables[0] = local;
            at = " (i = n = 0)";
        } else {
            variables[4] = local;
            at = " (x = y = 0)";
        }
        if (parameter.expression->isCompiled())
            ImGui::Text("%s = %.4g%s", parameter.name.c_str(), parameter.expression->evaluate(variables), at);
        else
            ImGui::TextColored(ImVec4(1.0f, 0.45f, 0.45f, 1.0f), "%s does not parse (0)", parameter.name.c_str());
        ImGui::TextDisabled("  %s", parameter.written.c_str());
    }
    ImGui::PopTextWrapPos();
    ImGui::End();
    if (!open) {
        selected = nullptr;
        parameters.clear();
    }
}

TimelineRequest drawLiveTools(TimelineOverlay& timeline, const std::vector<OverlayLine>& lines, LiveDemo& demo,
                              double now) {
    // Neither shown: no frame of ImGui at all, so the picture is untouched.
    if (!timeline.isShown() && lines.empty()) return {};
    if (!beginToolFrame(demo.drawsWith())) return {};
    addToolLines(lines);
    TimelineRequest request;
    if (timeline.isShown()) request = timeline.draw(demo, now);
    endToolFrame(demo.drawsWith());
    return request;
}

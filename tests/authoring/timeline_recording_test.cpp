#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "authoring/live_demo.h"
#include "authoring/timeline_overlay.h"
#include "player/music.h"
#include "support/captured_console.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"
#include "support/scratch_directory.h"

namespace {

std::string fileBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// How far the particle cloud of the effect whose eye is at x = t + shift
// was moved back at the last frame: its time, offsets included.
double cloudTime(const RecordingRenderState& rs, double shift) {
    for (const RecordingRenderState::Call& call : rs.calls)
        if (call.name == "translate" && call.args.at(0) < -shift - 1.0 && call.args.at(0) > -shift - 500.0)
            return -call.args.at(0) - shift;
    return -1.0;
}

}  // namespace

// Three events recorded with E, the first to the file's last event's target
// and two to another chosen instance, land in the sync file at their times;
// once the file is read again each has moved its own effect on.
TEST(TimelineRecording, EventsRecordedByKeyLandAtTheirTimesAndReachTheirEffects) {
    ScratchDirectory scratch;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    writeSolidTga("dot.tga", 2, 2, 255, 255, 255);
    const auto particles = [](const char* name, const char* x) {
        return std::string("defineEffect ") + name +
               " as FxRenderParticles\nnumParticles : %4\ntextureFilename : dot.tga\nposition.x : \"" + x + "\"\nend\n";
    };
    std::ofstream("iDemo.dat") << particles("near", "t") + particles("far", "t+1000") +
                                      "defineEffect root as Effect\nend\n"
                                      "createInstance of root as iDemo at 0 1000\n"
                                      "createInstance of near as a at 0 1000\n"
                                      "createInstance of far as b at 0 1000\n"
                                      "addChild a to iDemo\naddChild b to iDemo\nbah\n";
    std::ofstream("test.dat") << "0.50 offset 1\n";
    RecordingRenderState rs;
    Music music;
    LiveDemo demo{music, rs};
    TimelineOverlay timeline;
    captureConsole([&] {
        demo.init();
        timeline.demoRead(demo, true);
        // Hidden or not, E records.
        EXPECT_TRUE(timeline.handleKey(PlayerKey::E, 1.25, demo));
        timeline.chooseEvent("offset", 2);
        EXPECT_TRUE(timeline.handleKey(PlayerKey::Tab, 2.0, demo));
        timeline.handleKey(PlayerKey::E, 2.5, demo);
        timeline.handleKey(PlayerKey::E, 3.7512, demo);
    });
    EXPECT_EQ(fileBytes("test.dat"), "0.50 offset 1\n1.25 offset 1\n2.50 offset 2\n3.75 offset 2\n");

    captureConsole([&] {
        demo.reload({"test.dat"}, 5.0f);
        timeline.demoRead(demo, false);
        rs.clear();
        demo.drawFrame(5.0f);
    });
    // Each "offset" moves a particle cloud's time on by 2 s.
    EXPECT_DOUBLE_EQ(cloudTime(rs, 0.0), 5.0 + 2 * 2.0);
    EXPECT_DOUBLE_EQ(cloudTime(rs, 1000.0), 5.0 + 2 * 2.0);
    music.release();
    unsetenv("SDL_AUDIODRIVER");
}

// Loop seams in the synthesiser and sync placement: the two places where a
// slip would be heard or seen only deep into a run of the demo.
#include <gtest/gtest.h>

#include <cmath>

#include "script_outline.h"
#include "sync_plan.h"
#include "synth.h"

TEST(Synth, NotesAndEchoesPastTheLoopEndContinueAtItsStart) {
    Track track(1.0);
    addKick(track, 0.9, 1.0f);  // lasts 0.45 s: its tail belongs at 0.0 to 0.35
    double tail = 0;
    for (size_t i = 0; i < size_t(0.3 * sampleRate); ++i) tail += std::fabs(track.samples[i]);
    EXPECT_GT(tail, 1.0);

    Track echo(10.0);
    echo.samples[size_t(9.9 * sampleRate)] = 1.0f;
    applyEcho(echo, 0.25, 0.5f, 1.0f);
    EXPECT_NEAR(echo.samples[size_t(0.15 * sampleRate)], 0.5f, 1e-6);   // 9.9 + 0.25, wrapped
    EXPECT_NEAR(echo.samples[size_t(0.40 * sampleRate)], 0.25f, 1e-6);  // second repeat
}

TEST(SyncPlan, TargetsArePositionsAmongActiveInstancesAndInactiveCuesAreRefused) {
    const char* script =
        "defineEffect group as Effect\nend\n"
        "defineEffect spin as FxRenderParametric\nfunction : r\nend\n"
        "createInstance of group as iDemo at 0 1000\n"
        "createInstance of group as sceneA at 0 10\n"
        "createInstance of spin as early at 0 3\n"
        "createInstance of spin as late at 2 8\n"
        "addChild early to sceneA\naddChild late to sceneA\naddChild sceneA to iDemo\nbah\n";
    ScriptOutline outline = readScriptOutline(script);
    ASSERT_TRUE(outline.problems.empty());
    std::vector<std::string> problems;
    // Beats are half seconds: beat 4 is 2 s (both children active), beat 8 is
    // 4 s (only late), beat 20 is 10 s (neither).
    std::vector<SyncEventLine> events = planSyncEvents(
        outline, "iDemo", {{8, 8, 1, "offset", "late"}, {4, 4, 1, "pushback", "late"}, {20, 20, 1, "offset", "late"}},
        problems);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(formatSyncFile(events), "2.00 pushback 3\n4.00 offset 2\n");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("late is not active"), std::string::npos);
}

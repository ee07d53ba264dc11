#pragma once
// Tests that draw: each test gets a fresh hidden 640x480 GL context with the
// player's pixel format, extensions loaded and the player's first viewport.
// Without a display (no DISPLAY set) the test is skipped; with one, a context
// that cannot be had fails the test.
#include <gtest/gtest.h>

bool haveDisplay();

class GlContextTest : public ::testing::Test {
protected:
    // A subclass that overrides SetUp calls this first and returns when
    // IsSkipped() or HasFatalFailure().
    void SetUp() override;
    void TearDown() override;
};

// Skips the current test when there is no display (for tests that need the
// window system but not the fixture).
#define QUARN_SKIP_WITHOUT_DISPLAY() \
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY; needs a window system"

#pragma once
// Runs a piece of code with standard output and standard error captured.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

struct CapturedConsole {
    std::string out;
    std::string err;
};

template <class Body>
CapturedConsole captureConsole(Body&& body) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    body();
    std::fflush(stdout);
    std::fflush(stderr);
    CapturedConsole console;
    console.out = testing::internal::GetCapturedStdout();
    console.err = testing::internal::GetCapturedStderr();
    return console;
}

#pragma once
// Figures of a benchmark run, computed from the frame times it recorded.
#include <vector>

struct FrameSample {
    float demoTime;       // seconds of demo time the frame showed
    double milliseconds;  // how long the frame took to make
};

// The value below which the given share (0 to 1) of the values lies,
// nearest rank; 0 for no values.
double percentile(std::vector<double> values, double share);

struct WorstSecond {
    int second = 0;              // whole second of demo time, floor(t)
    double p99Milliseconds = 0;  // 99th percentile of that second's frames
    int frames = 0;              // 0: there were no frames at all
};

// The second of demo time whose frames have the highest 99th percentile;
// the earliest such second on a tie.
WorstSecond findWorstSecond(const std::vector<FrameSample>& samples);

// The count seconds with the highest 99th percentiles, worst first (the
// earlier of two equal ones first); fewer when fewer seconds were drawn.
std::vector<WorstSecond> findWorstSeconds(const std::vector<FrameSample>& samples, int count);

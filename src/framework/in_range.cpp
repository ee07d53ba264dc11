#include "framework/effect.h"

bool inRange(float low, float value, float high) { return low <= value && value <= high; }

bool inRange(int low, int value, int high) { return low <= value && value <= high; }

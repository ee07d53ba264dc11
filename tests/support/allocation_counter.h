#pragma once
// Counts every allocation through the global operator new of the test
// binary that links this, so a test can check that some code allocates
// nothing: compare the count before and after.
#include <cstdint>

uint64_t allocationCount();

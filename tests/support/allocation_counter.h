#pragma once
// Counts every allocation through the global operator new of the test
// binary that links this, so a test can check that some code allocates
// nothing: compare the count before and after.
#include <cstddef>
#include <cstdint>

uint64_t allocationCount();

// From now on every allocation carries this many bytes of fill after the
// size asked for (0 bytes: none), so that a read past the end of an array
// sees a known pattern.
void setAllocationTail(std::size_t bytes, unsigned char fill);

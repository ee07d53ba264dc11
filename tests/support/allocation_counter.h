#pragma once
// Counts operator new calls in this process, so tests can show that a
// frame allocates nothing.
#include <cstddef>

std::size_t allocationCount();

#pragma once
// A picture named by the script that cannot be opened ends the program
// during start-up: the demo cannot run without it.
#include <string>

// Names the file on standard error and exits with status 1.
[[noreturn]] void exitForMissingPicture(const std::string& fileName);

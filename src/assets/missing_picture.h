#pragma once
// A picture named by the script that cannot be read (missing, not
// permitted, a directory, a read error) ends the start-up: the
// demo cannot run without it. The loader that finds it throws MissingPicture,
// which passes over everything loading on the way (all of it owned, so
// nothing leaks) to the entry point, the one place that catches it: it
// reports the picture and ends the program with status 1.
#include <string>

struct MissingPicture {
    std::string fileName;
    std::string reason;  // the system's, such as "No such file or directory"
};

// The line the entry point writes to standard error, line end included.
std::string missingPictureMessage(const MissingPicture& missing);

#pragma once
// Scratch folders for tests that write files.
#include <string>

// A new empty directory under /tmp whose path holds no "." (the picture
// loaders take the text after the first "." of a name as its extension).
// The caller removes it.
std::string makeScratchDirectory();

// Makes a scratch directory the working directory for its lifetime, so tests
// can use plain relative names; removes it afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& getPath() const { return path; }

private:
    std::string previous;
    std::string path;
};

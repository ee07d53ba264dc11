#include "support/scratch_directory.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

std::string makeScratchDirectory() {
    char pattern[] = "/tmp/quarntestXXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a scratch directory");
    return pattern;
}

ScratchDirectory::ScratchDirectory()
    : previous(std::filesystem::current_path().string()), path(makeScratchDirectory()) {
    std::filesystem::current_path(path);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(path, ignored);
}

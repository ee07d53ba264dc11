#pragma once
// Whole-file reading for every reader of the player: scripts, sync files,
// pictures, objects and music all come in through here.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

constexpr uint64_t noFileSizeLimit = std::numeric_limits<uint64_t>::max();

// Reads the regular file at path into bytes. False when it cannot be read:
// missing, not permitted, a directory or another kind of non-regular file,
// a read error, or more than maxBytes long (refused before anything is
// allocated); reason (when given) then holds the system's words for it, such
// as "Is a directory", or "larger than N MiB".
bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason = nullptr,
                   uint64_t maxBytes = noFileSizeLimit);
// The same into a text.
bool readFileText(const std::string& path, std::string& text, std::string* reason = nullptr);

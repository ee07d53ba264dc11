#pragma once
// Whole-file reading for every reader of the player: scripts, sync files,
// pictures, objects and music all come in through here.
#include <cstdint>
#include <string>
#include <vector>

// Reads the regular file at path into bytes. False when it cannot be read:
// missing, not permitted, a directory or another kind of non-regular file,
// or a read error; reason (when given) then holds the system's words for it,
// such as "Is a directory".
bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason = nullptr);
// The same into a text.
bool readFileText(const std::string& path, std::string& text, std::string* reason = nullptr);

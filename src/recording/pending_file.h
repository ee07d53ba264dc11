#pragma once
// A capture's output file while it is written: under a temporary name
// beside its target (TARGET.part) until it holds something worth keeping,
// so a run that fails early leaves the earlier file alone; and locked, so a
// second capture into the same name is refused instead of both writing it.
#include <string>

class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();  // closes; a file never put in place is removed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates TARGET.part, empty, and locks it. False with error() set when
    // it cannot be made, or with busy() when another writer holds it or the
    // target. A target this process holds itself is not asked when
    // targetIsOurs is set (a file rewritten in place of its own first form).
    bool create(const std::string& target, bool targetIsOurs = false);
    // Moves the file to its target's name (the lock goes with it).
    bool putInPlace();
    // Closes and, unless it was put in place, removes the file.
    void discard();

    int descriptor() const { return fd; }
    bool inPlace() const { return placed; }
    bool busy() const { return held; }
    const std::string& error() const { return reason; }
    // Where the file is now.
    const std::string& path() const { return placed ? target : temporary; }

private:
    int fd = -1;
    bool placed = false;
    bool held = false;
    std::string target;
    std::string temporary;
    std::string reason;
};

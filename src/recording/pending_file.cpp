#include "recording/pending_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool lockedElsewhere(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

}  // namespace

PendingFile::~PendingFile() { discard(); }

bool PendingFile::create(const std::string& targetPath, bool targetIsOurs) {
    discard();
    target = targetPath;
    temporary = targetPath + ".part";
    placed = false;
    held = false;
    reason.clear();
    // Opened without truncating: a file another capture holds must keep its
    // bytes. The name is checked again once locked, since a writer that was
    // finishing may have moved it away in between.
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            reason = std::strerror(errno);
            return false;
        }
        // A file system without locks (some network ones) goes unguarded.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            held = true;
            reason = "another capture is writing it";
            ::close(fd);
            fd = -1;
            return false;
        }
        struct stat locked = {}, named = {};
        if (::fstat(fd, &locked) != 0 || ::stat(temporary.c_str(), &named) != 0 || locked.st_ino != named.st_ino ||
            locked.st_dev != named.st_dev) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        reason = "its temporary file keeps changing";
        return false;
    }
    // A file already put in place by a capture still running holds its lock.
    if (!targetIsOurs && lockedElsewhere(target)) {
        held = true;
        reason = "another capture is writing it";
    } else if (::ftruncate(fd, 0) != 0) {
        reason = std::strerror(errno);
    } else {
        return true;
    }
    ::unlink(temporary.c_str());
    ::close(fd);
    fd = -1;
    return false;
}

bool PendingFile::putInPlace() {
    if (fd < 0) return false;
    if (placed) return true;
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    placed = true;
    return true;
}

void PendingFile::discard() {
    if (fd < 0) return;
    if (!placed) ::unlink(temporary.c_str());
    // The lock goes with the last descriptor.
    ::close(fd);
    fd = -1;
}

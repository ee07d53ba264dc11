#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool fail(std::string* reason, const char* words) {
    if (reason) *reason = words;
    return false;
}

// A directory opens and reads as empty, and a FIFO or device may block or
// never end: only regular files are read. Opened without blocking, so that a
// FIFO is refused rather than waited on.
template <typename Bytes>
bool readWhole(const std::string& path, Bytes& bytes, std::string* reason, uint64_t maxBytes) {
    bytes.clear();
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return fail(reason, std::strerror(errno));
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        const int error = errno;
        close(descriptor);
        return fail(reason, std::strerror(error));
    }
    if (!S_ISREG(status.st_mode)) {
        close(descriptor);
        return fail(reason, S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file");
    }
    // The size alone decides: a sparse file of any length reads quickly
    // but would still have to be held whole.
    if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        close(descriptor);
        if (reason) *reason = "larger than " + std::to_string(maxBytes >> 20) + " MiB";
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(fdopen(descriptor, "rb"));
    if (!file) {
        const int error = errno;
        close(descriptor);
        return fail(reason, std::strerror(error));
    }
    if (status.st_size > 0) bytes.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(file.get())) {
        const int error = errno;
        bytes.clear();
        return fail(reason, std::strerror(error != 0 ? error : EIO));
    }
    return true;
}

}  // namespace

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason, uint64_t maxBytes) {
    return readWhole(path, bytes, reason, maxBytes);
}

bool readFileText(const std::string& path, std::string& text, std::string* reason) {
    return readWhole(path, text, reason, noFileSizeLimit);
}

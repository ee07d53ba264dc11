#include "authoring/file_watcher.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

void FileWatcher::watch(const std::vector<std::string>& paths) {
    std::vector<File> kept;
    for (const std::string& path : paths) {
        const auto named = [&path](const File& file) { return file.path == path; };
        if (std::find_if(kept.begin(), kept.end(), named) != kept.end()) continue;
        // A file watched already keeps its state: a change not yet reported
        // is still reported.
        const auto old = std::find_if(files.begin(), files.end(), named);
        if (old != files.end()) {
            kept.push_back(*old);
        } else {
            const Signature now = signatureOf(path);
            kept.push_back(File{path, now, now});
        }
    }
    files = std::move(kept);
}

std::vector<std::string> FileWatcher::poll() {
    std::vector<std::string> changed;
    for (File& file : files) {
        const Signature now = signatureOf(file.path);
        if (!(now == file.seen)) {
            file.seen = now;  // still moving: wait for it to hold still
        } else if (!(now == file.reported)) {
            file.reported = now;
            changed.push_back(file.path);
        }
    }
    return changed;
}

FileWatcher::Signature FileWatcher::signatureOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return Signature{};
    Signature signature;
    signature.exists = true;
    signature.device = static_cast<uint64_t>(info.st_dev);
    signature.inode = static_cast<uint64_t>(info.st_ino);
    signature.size = static_cast<int64_t>(info.st_size);
    signature.modifiedNanoseconds = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return signature;
}

bool followFolder(const std::string& path) {
    struct stat folder {};
    struct stat working {};
    if (stat(path.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) return false;
    if (stat(".", &working) == 0 && working.st_dev == folder.st_dev && working.st_ino == folder.st_ino) return false;
    return chdir(path.c_str()) == 0;
}

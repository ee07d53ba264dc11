#pragma once
// Notices when files change on disk, by comparing what stat says of them
// from one poll to the next: cheap enough to poll several times a second.
// A file replaced by renaming another over it (as many editors save) shows
// as a change too, and so does a file that appears or disappears.
#include <cstdint>
#include <string>
#include <vector>

class FileWatcher {
public:
    // Watches these files from now on: those new to it as they stand now,
    // those watched already as they were.
    void watch(const std::vector<std::string>& paths);
    // The watched files that changed and have then held still for one poll
    // (so a file still being written is not taken half way), each reported
    // once per change; empty when nothing changed.
    std::vector<std::string> poll();

private:
    struct Signature {
        bool exists = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modifiedNanoseconds = 0;
        bool operator==(const Signature&) const = default;
    };
    struct File {
        std::string path;
        Signature seen;      // at the latest poll
        Signature reported;  // when last reported (or when watching began)
    };
    static Signature signatureOf(const std::string& path);

    std::vector<File> files;
};

// Live authoring runs inside the demo's folder. A folder deleted and made
// anew under the same path (rm -rf D; cp -r demo D) is another directory:
// the process would stay in the deleted one and never see the new files.
// Enters path again when it names a directory other than the working one;
// true when it did.
bool followFolder(const std::string& path);

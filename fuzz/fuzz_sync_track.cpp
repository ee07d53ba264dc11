// Sync files of any bytes must read without touching memory outside them.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "runtime/sync_track.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    SyncTrack track;
    readSyncTrackFromBytes(reinterpret_cast<const char*>(data), size, track);
    return 0;
}

#include "effects/particle_count.h"

#include <algorithm>
#include <string>

#include "effects/particle_cloud.h"
#include "framework/demo_limits.h"
#include "framework/effect.h"
#include "platform/report.h"

int usableParticleCount(int written, const DemoLimits& limits) {
    const int maxCount = std::clamp(limits.maxParticles, 0, ParticleCloud::MaxCount);
    return std::clamp(written, 0, maxCount);
}

int usableParticleCount(int written) { return usableParticleCount(written, DemoLimits{}); }

int readParticleCount(Effect& effect, const DemoLimits& limits) {
    const int* value = effect.getInt("numParticles");
    if (!value) return 0;
    const int count = usableParticleCount(*value, limits);
    if (count != *value)
        QUARN_REPORT(Log, "numParticles " + std::to_string(*value) + " out of range, using " + std::to_string(count));
    return count;
}

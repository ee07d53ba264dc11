#include "effects/particle_count.h"

#include <algorithm>
#include <string>

#include "effects/particle_cloud.h"
#include "framework/effect.h"
#include "platform/player_context.h"
#include "platform/report.h"

int usableParticleCount(int written) {
    const int cap = playerContext().maxParticles;
    const int maxCount = cap > 0 && cap < ParticleCloud::MaxCount ? cap : ParticleCloud::MaxCount;
    return std::clamp(written, 0, maxCount);
}

int readParticleCount(Effect& effect) {
    const int* value = effect.getInt("numParticles");
    if (!value) return 0;
    const int count = usableParticleCount(*value);
    if (count != *value)
        QUARN_REPORT(Log, "numParticles " + std::to_string(*value) + " out of range, using " + std::to_string(count));
    return count;
}

#include "effects/particle_count.h"

#include <string>

#include "effects/particle_cloud.h"
#include "framework/effect.h"

int readParticleCount(Effect& effect) {
    const int* value = effect.getInt("numParticles");
    if (!value) return 0;
    int count = *value;
    if (count < 0) count = 0;
    if (count > ParticleCloud::MaxCount) count = ParticleCloud::MaxCount;
    if (count != *value)
        logLine("numParticles " + std::to_string(*value) + " out of range, using " + std::to_string(count));
    return count;
}

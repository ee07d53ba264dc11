#pragma once
// "numParticles" as both particle effects read it.
class Effect;
struct DemoLimits;

// The integer parameter "numParticles" clamped to what a cloud can hold:
// absent gives 0 (the reader reports it), values outside
// 0..ParticleCloud::MaxCount (or the limits' lower cap) are clamped with a
// message.
int readParticleCount(Effect& effect, const DemoLimits& limits);

// The count a cloud holds for a written "numParticles", under the limits'
// cap or under none.
int usableParticleCount(int written, const DemoLimits& limits);
int usableParticleCount(int written);

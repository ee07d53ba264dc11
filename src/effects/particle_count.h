#pragma once
// "numParticles" as both particle effects read it.
class Effect;

// The integer parameter "numParticles" clamped to what a cloud can hold:
// absent gives 0 (the reader reports it), values outside
// 0..ParticleCloud::MaxCount (or the player context's lower cap) are clamped
// with a message.
int readParticleCount(Effect& effect);

// The count a cloud holds for a written "numParticles".
int usableParticleCount(int written);

#pragma once
// Tileable value noise: repeats every `period` lattice cells, so pictures
// made from it wrap seamlessly when a texture repeats.

// Smooth noise in 0..1 at (x, y) in lattice units.
float valueNoise(float x, float y, int period, unsigned seed);

// Sum of octaves, each twice the frequency and `gain` times the amplitude of
// the one before; normalised to 0..1. (u, v) in 0..1 covers one tile.
float fractalNoise(float u, float v, int basePeriod, int octaves, float gain, unsigned seed);

// Deterministic pseudo-random value in 0..1 for an integer pair.
float hash01(int x, int y, unsigned seed);

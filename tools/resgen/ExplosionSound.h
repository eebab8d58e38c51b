// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The explosion sound: a noise burst with a sharp attack, a rumble whose
// brightness falls away, a low thump sliding down in pitch, and crackle in the
// first moments; exponential decay to silence. Written as an uncompressed
// RIFF/WAVE file: PCM, one channel, 22 050 samples per second, 16 bits.

#include <cstdint>
#include <vector>

constexpr int ExplosionSampleRate = 22050;
constexpr int ExplosionSampleCount = 19937; // 39 874 bytes of sound data, about 0.9 s

std::vector<std::int16_t> SynthesizeExplosion();

// The whole file: the 44-byte header followed by the samples, little-endian.
std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& Samples, int SampleRate);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExplosionSound.h"

#include "Prng.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

constexpr double Pi = 3.14159265358979323846;

// One-pole low-pass filter; the coefficient follows the cut-off frequency.
class TLowPass {
public:
  double Step(double Input, double CutOff) {
    const double Alpha = 1.0 - std::exp(-2.0 * Pi * CutOff / ExplosionSampleRate);
    FState += Alpha * (Input - FState);
    return FState;
  }

private:
  double FState = 0.0;
};

void PutTag(std::vector<std::uint8_t>& Out, std::string_view Tag) {
  Out.insert(Out.end(), Tag.begin(), Tag.end());
}

void PutLittle(std::vector<std::uint8_t>& Out, std::uint32_t Value, int Bytes) {
  for (int i = 0; i < Bytes; ++i)
    Out.push_back(static_cast<std::uint8_t>((Value >> (8 * i)) & 0xFF));
}

} // namespace

std::vector<std::int16_t> SynthesizeExplosion() {
  TPrng Random(0xB1A57);
  TLowPass Rumble1, Rumble2, Body;
  std::vector<double> Mix(ExplosionSampleCount);
  double ThumpPhase = 0.0;
  double Crackle = 0.0;

  for (int i = 0; i < ExplosionSampleCount; ++i) {
    const double T = static_cast<double>(i) / ExplosionSampleRate;
    const double Attack = std::min(1.0, T / 0.0025);
    const double Noise = 2.0 * Random.Unit() - 1.0;

    // Rumble: noise through two low-pass stages whose cut-off sinks from a
    // bright bang to a dull roll.
    const double CutOff = 220.0 + 2600.0 * std::exp(-T / 0.09);
    const double Low = Rumble2.Step(Rumble1.Step(Noise, CutOff), CutOff);
    const double RumbleLevel = 2.6 * std::exp(-T / 0.30);

    // The crack: the bright rest of the noise, gone within a tenth of a second.
    const double Bright = Noise - Body.Step(Noise, 900.0);
    const double CrackLevel = 0.55 * std::exp(-T / 0.035);

    // Thump: a sine sliding from 95 Hz down towards 38 Hz.
    const double Frequency = 38.0 + 57.0 * std::exp(-T / 0.12);
    ThumpPhase += 2.0 * Pi * Frequency / ExplosionSampleRate;
    const double Thump = 0.75 * std::exp(-T / 0.16) * std::sin(ThumpPhase);

    // Debris: sparse clicks that thin out after the first third of a second.
    if (Random.Unit() < 0.004 * std::exp(-T / 0.25))
      Crackle = (Random.Unit() < 0.5 ? -1.0 : 1.0) * Random.Range(0.25, 0.6);
    Crackle *= 0.80;

    Mix[static_cast<std::size_t>(i)] =
        Attack * (RumbleLevel * Low + CrackLevel * Bright + Thump + Crackle);
  }

  // Fade the last 40 ms so the sound ends on silence instead of a click.
  const int Fade = ExplosionSampleRate * 40 / 1000;
  for (int i = 0; i < Fade; ++i) {
    const double Gain = 0.5 - 0.5 * std::cos(Pi * i / Fade);
    Mix[static_cast<std::size_t>(ExplosionSampleCount - 1 - i)] *= Gain;
  }

  double Peak = 0.0;
  for (const double Value : Mix)
    Peak = std::max(Peak, std::abs(Value));
  const double Gain = Peak > 0.0 ? 0.89 * 32767.0 / Peak : 0.0;

  std::vector<std::int16_t> Samples;
  Samples.reserve(Mix.size());
  for (const double Value : Mix)
    Samples.push_back(
        static_cast<std::int16_t>(std::lround(std::clamp(Value * Gain, -32767.0, 32767.0))));
  return Samples;
}

std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& Samples, int SampleRate) {
  const auto DataBytes = static_cast<std::uint32_t>(Samples.size() * 2);
  std::vector<std::uint8_t> Out;
  Out.reserve(44 + DataBytes);
  PutTag(Out, "RIFF");
  PutLittle(Out, 36 + DataBytes, 4);
  PutTag(Out, "WAVE");
  PutTag(Out, "fmt ");
  PutLittle(Out, 16, 4); // format chunk size
  PutLittle(Out, 1, 2);  // PCM
  PutLittle(Out, 1, 2);  // mono
  PutLittle(Out, static_cast<std::uint32_t>(SampleRate), 4);
  PutLittle(Out, static_cast<std::uint32_t>(SampleRate) * 2, 4); // bytes per second
  PutLittle(Out, 2, 2);                                          // bytes per sample frame
  PutLittle(Out, 16, 2);                                         // bits per sample
  PutTag(Out, "data");
  PutLittle(Out, DataBytes, 4);
  for (const std::int16_t Sample : Samples)
    PutLittle(Out, static_cast<std::uint16_t>(Sample), 2);
  return Out;
}

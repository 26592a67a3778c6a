// Sound effects made from a few oscillators, pitch glides, envelopes and seeded noise. Each
// effect is built in floating point, then faded at both ends and scaled to its own peak level, so
// the quieter ones (the bounce heard every second) stay soft however the voices add up.
#include "tools/assetgen/Sounds.h"

#include "game/Constants.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

using Buffer = std::vector<double>;

constexpr double kTau = 6.283185307179586;

int Samples(double seconds) {
  return static_cast<int>(seconds * kSampleRate);
}

// Frequency of a note counted in semitones from A4 (440 Hz).
double Note(double semitones) {
  return 440.0 * std::pow(2.0, semitones / 12.0);
}

enum class Wave { Sine, Triangle, Square, Pluck };

double Osc(Wave w, double phase) {
  double p = phase - std::floor(phase);
  switch (w) {
    case Wave::Sine:
      return std::sin(kTau * p);
    case Wave::Triangle:
      return 4 * std::fabs(p - 0.5) - 1;
    case Wave::Square:  // softened square: a few odd harmonics only
      return (std::sin(kTau * p) + std::sin(3 * kTau * p) / 3 + std::sin(5 * kTau * p) / 5) * 0.9;
    case Wave::Pluck:  // bright, bell-like
      return std::sin(kTau * p) * 0.7 + std::sin(2 * kTau * p) * 0.2 + std::sin(3 * kTau * p) * 0.1;
  }
  return 0;
}

// Adds one voice: starts at `start` s, lasts `dur` s, frequency glides exponentially from f0 to
// f1, with an attack and an exponential decay (`decay` = time constant in s; 0 = none).
void Voice(Buffer& out, Wave w, double start, double dur, double f0, double f1, double amp,
           double attack, double decay, double vibrato = 0) {
  int s0 = Samples(start), n = Samples(dur);
  if (static_cast<int>(out.size()) < s0 + n) out.resize(s0 + n, 0.0);
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    double f = f0 * std::pow(f1 / f0, t / dur);
    if (vibrato > 0) f *= 1 + vibrato * std::sin(kTau * 6 * t);
    phase += f / kSampleRate;
    double env = std::min(1.0, t / std::max(attack, 1e-4));
    if (decay > 0) env *= std::exp(-t / decay);
    // Each voice also fades out over its last 8 ms.
    env *= std::min(1.0, (dur - t) / 0.008);
    out[s0 + i] += amp * env * Osc(w, phase);
  }
}

// Seeded noise burst through a one-pole low-pass whose cutoff falls from c0 to c1 (0-1).
void Noise(Buffer& out, double start, double dur, double amp, double decay, double c0, double c1,
           std::uint32_t seed) {
  int s0 = Samples(start), n = Samples(dur);
  if (static_cast<int>(out.size()) < s0 + n) out.resize(s0 + n, 0.0);
  std::uint32_t state = seed;
  double y = 0;
  for (int i = 0; i < n; ++i) {
    state = state * 1664525u + 1013904223u;
    double white = (state >> 8) / 8388608.0 - 1.0;
    double t = static_cast<double>(i) / kSampleRate;
    double c = c0 + (c1 - c0) * t / dur;
    y += c * (white - y);
    double env = std::min(1.0, t / 0.002) * std::exp(-t / decay) * std::min(1.0, (dur - t) / 0.01);
    out[s0 + i] += amp * env * y;
  }
}

// Fades both ends, scales the loudest sample to `peak` (of full scale) and converts to 16 bits.
std::vector<std::int16_t> Finish(Buffer b, double peak) {
  const int fadeIn = Samples(0.004), fadeOut = Samples(0.02);
  b.resize(b.size() + Samples(0.01), 0.0);  // a little silence at the end
  const int n = static_cast<int>(b.size());
  for (int i = 0; i < n; ++i) {
    double g = 1;
    if (i < fadeIn) g *= static_cast<double>(i) / fadeIn;
    int fromEnd = n - 1 - i;
    if (fromEnd < fadeOut) g *= static_cast<double>(fromEnd) / fadeOut;
    b[i] *= g;
  }
  double max = 0;
  for (double v : b) max = std::max(max, std::fabs(v));
  double scale = max > 0 ? peak / max : 0;
  std::vector<std::int16_t> out(b.size());
  for (int i = 0; i < n; ++i) {
    out[i] = static_cast<std::int16_t>(std::lround(std::clamp(b[i] * scale, -1.0, 1.0) * 32767));
  }
  return out;
}

}  // namespace

std::vector<std::int16_t> SynthesiseSound(int slot) {
  Buffer b;
  switch (slot) {
    case Sound::Jingle: {  // intro jingle: a rising arpeggio landing on a bright chord
      const double notes[5] = {3, 7, 10, 15, 19};  // C5 E5 G5 C6 E6 from A4
      for (int i = 0; i < 4; ++i) {
        Voice(b, Wave::Square, i * 0.09, 0.22, Note(notes[i]), Note(notes[i]), 0.32, 0.004, 0.09);
        Voice(b, Wave::Sine, i * 0.09, 0.2, Note(notes[i] - 12), Note(notes[i] - 12), 0.25, 0.004,
              0.08);
      }
      for (int i = 2; i < 5; ++i) {
        Voice(b, Wave::Pluck, 0.36, 0.6, Note(notes[i]), Note(notes[i]), 0.3, 0.006, 0.22, 0.004);
      }
      Voice(b, Wave::Triangle, 0.36, 0.6, Note(-9), Note(-9), 0.45, 0.006, 0.25);
      return Finish(b, 0.7);
    }
    case Sound::Click:  // menu click: a short high tick
      Voice(b, Wave::Sine, 0, 0.05, 1900, 1300, 1, 0.001, 0.012);
      Voice(b, Wave::Triangle, 0, 0.04, 950, 800, 0.4, 0.001, 0.01);
      return Finish(b, 0.55);
    case Sound::Confirm:  // confirm / pause: two quick rising blips
      Voice(b, Wave::Square, 0, 0.07, Note(7), Note(7), 0.5, 0.002, 0.05);
      Voice(b, Wave::Square, 0.065, 0.12, Note(14), Note(14), 0.5, 0.002, 0.06);
      return Finish(b, 0.6);
    case Sound::Cancel:  // back / cancel: two quick falling blips
      Voice(b, Wave::Triangle, 0, 0.07, Note(10), Note(10), 0.6, 0.002, 0.05);
      Voice(b, Wave::Triangle, 0.06, 0.12, Note(3), Note(3), 0.6, 0.002, 0.06);
      return Finish(b, 0.55);
    case Sound::Slide:  // slide: a soft airy swoosh
      Noise(b, 0, 0.28, 1, 0.12, 0.05, 0.35, 95u);
      Voice(b, Wave::Sine, 0, 0.25, 300, 900, 0.15, 0.03, 0.1);
      return Finish(b, 0.4);
    case Sound::Bounce:  // bounce: a soft, low, rounded boop; heard every second, so kept gentle
      Voice(b, Wave::Sine, 0, 0.14, 210, 120, 1, 0.006, 0.05);
      Voice(b, Wave::Sine, 0, 0.08, 420, 260, 0.15, 0.004, 0.02);
      return Finish(b, 0.32);
    case Sound::FirstSpike:  // first spike of a hold: a bright ding
      Voice(b, Wave::Pluck, 0, 0.3, Note(12), Note(12), 1, 0.002, 0.09);
      Voice(b, Wave::Sine, 0, 0.25, Note(24), Note(24), 0.25, 0.002, 0.05);
      return Finish(b, 0.55);
    case Sound::NextSpike:  // further spikes: the ding and a rising fifth, like climbing a step
      Voice(b, Wave::Pluck, 0, 0.2, Note(12), Note(12), 0.8, 0.002, 0.06);
      Voice(b, Wave::Pluck, 0.06, 0.3, Note(19), Note(19), 1, 0.002, 0.09);
      Voice(b, Wave::Sine, 0.06, 0.25, Note(31), Note(31), 0.2, 0.002, 0.05);
      return Finish(b, 0.6);
    case Sound::DeathHit:  // death impact: a crunchy noise hit over a low thump
      Noise(b, 0, 0.35, 1, 0.07, 0.55, 0.08, 5u);
      Voice(b, Wave::Sine, 0, 0.3, 140, 45, 1.2, 0.002, 0.09);
      return Finish(b, 0.75);
    case Sound::DeathFall:  // falling tone after the hit
      Voice(b, Wave::Square, 0, 0.85, 700, 70, 0.6, 0.01, 0.5, 0.02);
      return Finish(b, 0.5);
    case Sound::ChainEnd:  // end of a chain: a gentle two-bell fall
      Voice(b, Wave::Pluck, 0, 0.3, Note(19), Note(19), 0.8, 0.003, 0.1);
      Voice(b, Wave::Pluck, 0.12, 0.4, Note(12), Note(12), 0.8, 0.003, 0.14);
      return Finish(b, 0.5);
    default:
      return {};
  }
}

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, int sampleRate) {
  std::vector<std::uint8_t> out;
  out.reserve(44 + samples.size() * 2);
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&](std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
  };
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  tag("RIFF");
  u32(36 + dataBytes);
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);  // integer PCM
  u16(1);  // mono
  u32(static_cast<std::uint32_t>(sampleRate));
  u32(static_cast<std::uint32_t>(sampleRate) * 2);
  u16(2);
  u16(16);
  tag("data");
  u32(dataBytes);
  for (std::int16_t s : samples) u16(static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace assetgen

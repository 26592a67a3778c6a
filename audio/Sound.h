// The sound front end: how the game loads and plays sounds. Thin on purpose: it resolves data
// paths, wraps samples in c_Sound and passes channel commands to the audio device unchanged.
//
//   auto jump = xq_audio_LoadSound("sfx/002.wav");  // "kestro://data/sfx/002.wav"; null if missing
//   xq_audio_PlaySound(jump, 3, 0);                 // channel 3, once (flags 1 = loop)
//   xq_audio_SetChannelVolume(3, 0.5f);
//   xq_audio_StopChannel(3);
//
// Every function is safe before the device exists (xq_audio_device null): loads give null and the
// rest do nothing. Channel numbers outside 0-32 are ignored by the device. All return 0 unless
// stated.
#pragma once

#include <memory>

#include "audio/Audio.h"
#include "runtime/String.h"

// A loaded sound: holds its sample, so the sample lives as long as any sound (or a channel playing
// it) holds it.
class c_Sound {
 public:
  c_Sound() = default;
  explicit c_Sound(std::shared_ptr<gxtkSample> sample) : sample(std::move(sample)) {}

  // Holds the given sample; returns this sound.
  c_Sound* m_new(std::shared_ptr<gxtkSample> sample);
  // Holds no sample; returns this sound.
  c_Sound* m_new2();

  std::shared_ptr<gxtkSample> sample;
};

// The audio device; null until the game delegate creates it at start-up.
extern std::shared_ptr<gxtkAudio> xq_audio_device;

int xq_audio_SetAudioDevice(std::shared_ptr<gxtkAudio> device);
// A new sound from a data file (short names resolve under kestro://data/), or null.
std::shared_ptr<c_Sound> xq_audio_LoadSound(const String& path);
// Plays the sound's sample on the channel; flags non-zero = loop. A null sound or sample does
// nothing.
int xq_audio_PlaySound(const std::shared_ptr<c_Sound>& sound, int channel, int flags);
int xq_audio_StopChannel(int channel);
int xq_audio_SetChannelVolume(int channel, float volume);
// pan: an angle in radians, 0 ahead, positive to the right.
int xq_audio_SetChannelPan(int channel, float pan);
int xq_audio_SetChannelRate(int channel, float rate);
// Music channel (32) commands.
int xq_audio_PauseMusic();
int xq_audio_ResumeMusic();
int xq_audio_StopMusic();

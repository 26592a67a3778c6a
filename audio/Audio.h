// gxtkAudio: the one audio device, over an audio backend (audio/AudioBackend.h: OpenAL, or the
// silent null backend). It owns 33 numbered channels (0-31 for sound effects, 32 for music), each
// a backend source made on first use, and plays whole-file samples (gxtkSample, one backend buffer
// each) decoded from WAV or Ogg Vorbis files.
//
//   auto audio = std::make_shared<gxtkAudio>();          // opens the default device
//   auto boom = audio->LoadSample("kestro://data/sfx/002.wav");   // null when it cannot load
//   audio->PlaySample(boom, 3, 0);                         // once; flags != 0 loops
//   audio->SetPan(3, 1.57f);                               // to the right (radians)
//   audio->ChannelState(3);                                // 0 stopped, 1 playing, 2 paused
//
// When no device can be opened the constructor prints why and the device runs on silently, on the
// null backend: every call still works and keeps its channel bookkeeping, but nothing sounds. Channel numbers
// outside 0-32 are ignored (state reads 0).
//
// Lifetimes: a channel holds the sample it was last started with, so a sample the program drops
// keeps sounding; the collection step (runtime/Collect.h) lets go of samples on channels that have
// stopped. A sample's buffer is never deleted directly: Discard and the destructor queue it, and
// the queue is flushed at the next load, play or collection step, once no source uses the buffer.
#pragma once

#include <array>
#include <memory>

#include "audio/AudioBackend.h"
#include "runtime/String.h"

class gxtkSample {
 public:
  gxtkSample() = default;
  gxtkSample(const gxtkSample&) = delete;
  gxtkSample& operator=(const gxtkSample&) = delete;
  // Queues the buffer for deferred deletion.
  virtual ~gxtkSample();

  // Queues the buffer for deferred deletion and empties the sample; playing it then does nothing.
  virtual int Discard();

  // The backend's buffer; 0 = none.
  unsigned buffer = 0;

 private:
  friend class gxtkAudio;
  // Which device made the buffer: buffer names are only meaningful to the device that made them.
  int device_ = 0;
};

// One channel's bookkeeping.
class gxtkChannel {
 public:
  unsigned source = 0;                 // 0 until first needed, then kept for the device's life
  std::shared_ptr<gxtkSample> sample;  // the sample last started here
  int flags = 0;                       // as started; non-zero = looping
  int state = 0;  // 0 stopped, 1 playing, 2 paused (by the program); corrected lazily
};

class gxtkAudio {
 public:
  static constexpr int kChannelCount = 33;
  static constexpr int kMusicChannel = 32;

  // Opens the default OpenAL device. On failure prints "OpenAl error: alcOpenDevice failed" (or the
  // alcCreateContext / alcMakeContextCurrent variant) and runs silently.
  gxtkAudio();
  // Plays through this backend (tests hand it the null one).
  explicit gxtkAudio(std::unique_ptr<gxtkAudioBackend> backend);
  // Stops every channel, deletes the sources and pending buffers, and closes the device.
  virtual ~gxtkAudio();
  gxtkAudio(const gxtkAudio&) = delete;
  gxtkAudio& operator=(const gxtkAudio&) = delete;

  // Pauses every playing channel / resumes them; channels the program paused stay paused.
  virtual int Suspend();
  virtual int Resume();
  // Fills the given sample from the file; returns it, or null when the file cannot be loaded.
  virtual std::shared_ptr<gxtkSample> LoadSample__UNSAFE__(std::shared_ptr<gxtkSample> sample,
                                                           const String& path);
  // A new sample with the file's sound (".wav" or ".ogg"), or null.
  virtual std::shared_ptr<gxtkSample> LoadSample(const String& path);
  // Starts the sample on the channel from its beginning; flags non-zero = loop. Volume, pan and
  // rate set earlier on the channel stay. A null sample does nothing.
  virtual int PlaySample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags);
  virtual int StopChannel(int channel);
  // Pauses the channel if it is playing (a sample that has ended reads as stopped instead).
  virtual int PauseChannel(int channel);
  // Resumes the channel if the program paused it.
  virtual int ResumeChannel(int channel);
  // 0 stopped, 1 playing, 2 paused.
  virtual int ChannelState(int channel);
  // Gain; 1 is the sample's own level.
  virtual int SetVolume(int channel, float volume);
  // Direction as an angle in radians: 0 straight ahead, positive to the right.
  virtual int SetPan(int channel, float pan);
  // Playback speed; 1 is the sample's own rate.
  virtual int SetRate(int channel, float rate);
  // Loads the file whole and plays it on channel 32; 0, or -1 when it cannot be loaded.
  virtual int PlayMusic(const String& path, int flags);
  virtual int StopMusic();
  virtual int PauseMusic();
  virtual int ResumeMusic();
  virtual int MusicState();
  virtual int SetMusicVolume(float volume);

  // Deletes the queued buffers that no source uses any more; the rest stay queued.
  void FlushDiscarded();
  // Lets go of the samples held by channels whose sound has ended or been stopped.
  void ReleaseStoppedSamples();

  // True when a sound device is in use (false: running silently).
  bool Live() const { return backend_->Live(); }
  // The channel's bookkeeping (tests, diagnostics); a number outside 0-32 gives an empty record.
  const gxtkChannel& Channel(int channel) const;
  // Buffers queued for deletion and not yet deleted.
  static int DiscardedCount();

  std::array<gxtkChannel, kChannelCount> channels{};

 private:
  using SourceState = gxtkAudioBackend::SourceState;

  std::unique_ptr<gxtkAudioBackend> backend_;
  int serial_ = 0;  // tells this device's buffers from those of devices that have been closed

  gxtkChannel* Find(int channel);
  // The channel's source, made on first use.
  unsigned Source(gxtkChannel& channel);
  SourceState StateOf(const gxtkChannel& channel) const;
  // The collection step: releases stopped samples and flushes the queue of the current device.
  static void Sweep();
};

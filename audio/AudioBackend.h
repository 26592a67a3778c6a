// gxtkAudioBackend: what the audio device (gxtkAudio, audio/Audio.h) asks of a sound library:
// buffers of PCM and sources that play them, named by numbers (0 = none). Two backends, as the
// renderer has its OpenGL ones: OpenAL's (OpenAlBackend.cpp, the only file that calls OpenAL) and
// the null backend, which makes nothing and plays nothing (the device runs silently on it when no
// sound device can be opened).
//
//   std::unique_ptr<gxtkAudioBackend> backend = MakeOpenAlBackend();  // the null one on failure
//   const unsigned buffer = backend->MakeBuffer(pcm, size, 2, 1, 22050);
//   const unsigned source = backend->MakeSource();
//   backend->Play(source, buffer, false);
#pragma once

#include <memory>

class gxtkAudioBackend {
 public:
  enum class SourceState { kInitial, kPlaying, kPaused, kStopped };

  virtual ~gxtkAudioBackend() = default;

  // False for the null backend: nothing is made and nothing sounds.
  virtual bool Live() const = 0;

  // A new source, or 0 when the library has none to give.
  virtual unsigned MakeSource() = 0;
  virtual void DeleteSource(unsigned source) = 0;
  // A buffer holding `size` bytes of PCM (bytes per sample 1 or 2, 1 or 2 channels), or 0 when the
  // library refuses to make one. A format it refuses leaves the buffer empty.
  virtual unsigned MakeBuffer(const void* pcm, int size, int bytes, int channels, int hertz) = 0;
  // False when the buffer is still in use (a source holds it) and stays.
  virtual bool DeleteBuffer(unsigned buffer) = 0;

  virtual SourceState State(unsigned source) = 0;
  // Stops the source, gives it the buffer (0: none) and plays it from the start.
  virtual void Play(unsigned source, unsigned buffer, bool loop) = 0;
  virtual void Stop(unsigned source) = 0;
  virtual void Pause(unsigned source) = 0;
  // Plays a paused source on from where it was.
  virtual void Resume(unsigned source) = 0;
  // Takes the source's buffer away, so that the buffer can be deleted.
  virtual void Detach(unsigned source) = 0;
  virtual void SetGain(unsigned source, float gain) = 0;
  virtual void SetPitch(unsigned source, float pitch) = 0;
  // The direction the source sounds from, in radians: 0 straight ahead, positive to the right.
  virtual void SetDirection(unsigned source, float angle) = 0;
};

// Opens the default OpenAL device. When it cannot, prints why ("OpenAl error: alcOpenDevice
// failed", or the alcCreateContext / alcMakeContextCurrent variant) and returns the null backend.
std::unique_ptr<gxtkAudioBackend> MakeOpenAlBackend();
std::unique_ptr<gxtkAudioBackend> MakeNullAudioBackend();

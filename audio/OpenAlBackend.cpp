// The audio backends: OpenAL's, the only code that calls OpenAL, and the silent null backend.
#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>

#include "audio/AudioBackend.h"
#include "runtime/Error.h"

namespace {

ALenum FormatFor(int bytes, int channels) {
  if (bytes == 1 && channels == 1) return AL_FORMAT_MONO8;
  if (bytes == 1 && channels == 2) return AL_FORMAT_STEREO8;
  if (bytes == 2 && channels == 1) return AL_FORMAT_MONO16;
  if (bytes == 2 && channels == 2) return AL_FORMAT_STEREO16;
  return 0;  // OpenAL rejects it and the buffer stays empty
}

class NullBackend final : public gxtkAudioBackend {
 public:
  bool Live() const override { return false; }
  unsigned MakeSource() override { return 0; }
  void DeleteSource(unsigned) override {}
  unsigned MakeBuffer(const void*, int, int, int, int) override { return 0; }
  bool DeleteBuffer(unsigned) override { return true; }
  SourceState State(unsigned) override { return SourceState::kStopped; }
  void Play(unsigned, unsigned, bool) override {}
  void Stop(unsigned) override {}
  void Pause(unsigned) override {}
  void Resume(unsigned) override {}
  void Detach(unsigned) override {}
  void SetGain(unsigned, float) override {}
  void SetPitch(unsigned, float) override {}
  void SetDirection(unsigned, float) override {}
};

class OpenAlBackend final : public gxtkAudioBackend {
 public:
  OpenAlBackend(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {
    // No attenuation by distance: a source's position gives its direction only.
    alDistanceModel(AL_NONE);
  }
  ~OpenAlBackend() override {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
  }
  OpenAlBackend(const OpenAlBackend&) = delete;
  OpenAlBackend& operator=(const OpenAlBackend&) = delete;

  bool Live() const override { return true; }

  unsigned MakeSource() override {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    return alGetError() == AL_NO_ERROR ? source : 0;
  }
  void DeleteSource(unsigned source) override {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
  }
  unsigned MakeBuffer(const void* pcm, int size, int bytes, int channels, int hertz) override {
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return 0;
    alBufferData(buffer, FormatFor(bytes, channels), pcm, size, hertz);
    alGetError();  // a refused format leaves the buffer empty; it is still handed out
    return buffer;
  }
  bool DeleteBuffer(unsigned buffer) override {
    alGetError();
    alDeleteBuffers(1, &buffer);
    return alGetError() == AL_NO_ERROR;
  }

  SourceState State(unsigned source) override {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    switch (state) {
      case AL_INITIAL:
        return SourceState::kInitial;
      case AL_PLAYING:
        return SourceState::kPlaying;
      case AL_PAUSED:
        return SourceState::kPaused;
      default:
        return SourceState::kStopped;
    }
  }
  void Play(unsigned source, unsigned buffer, bool loop) override {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
  }
  void Stop(unsigned source) override { alSourceStop(source); }
  void Pause(unsigned source) override { alSourcePause(source); }
  void Resume(unsigned source) override { alSourcePlay(source); }
  void Detach(unsigned source) override { alSourcei(source, AL_BUFFER, 0); }
  void SetGain(unsigned source, float gain) override { alSourcef(source, AL_GAIN, gain); }
  void SetPitch(unsigned source, float pitch) override { alSourcef(source, AL_PITCH, pitch); }
  // The listener keeps OpenAL's defaults (at the origin facing -z), so a position is a direction.
  void SetDirection(unsigned source, float angle) override {
    alSource3f(source, AL_POSITION, std::sin(angle), 0, -std::cos(angle));
  }

 private:
  ALCdevice* device_;
  ALCcontext* context_;
};

}  // namespace

std::unique_ptr<gxtkAudioBackend> MakeNullAudioBackend() {
  return std::make_unique<NullBackend>();
}

std::unique_ptr<gxtkAudioBackend> MakeOpenAlBackend() {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) {
    xqPrint("OpenAl error: alcOpenDevice failed");
    return MakeNullAudioBackend();
  }
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context) {
    xqPrint("OpenAl error: alcCreateContext failed");
  } else if (!alcMakeContextCurrent(context)) {
    xqPrint("OpenAl error: alcMakeContextCurrent failed");
    alcDestroyContext(context);
    context = nullptr;
  }
  if (!context) {
    alcCloseDevice(device);
    return MakeNullAudioBackend();
  }
  return std::make_unique<OpenAlBackend>(device, context);
}

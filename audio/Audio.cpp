// The OpenAL audio device: channels, samples and the deferred deletion of buffers.
#include "audio/Audio.h"

#include <cmath>
#include <limits>
#include <vector>

#include "host/AudioDecode.h"
#include "host/Game.h"
#include "runtime/Collect.h"
#include "runtime/Error.h"

namespace {

// A buffer waiting for deletion, with the device that made it.
struct Discarded {
  ALuint buffer;
  int device;
};

// The queue of buffers to delete. Samples may be destroyed during exit after this list; `open`
// (constant-initialised, never destroyed) tells them the list is gone and there is nothing left to
// do.
bool discardedOpen = false;
struct DiscardedList {
  std::vector<Discarded> items;
  DiscardedList() { discardedOpen = true; }
  ~DiscardedList() { discardedOpen = false; }
};
DiscardedList discarded;

// The device the collection step works on; only one device is open at a time.
gxtkAudio* current = nullptr;
int lastSerial = 0;

void QueueForDeletion(ALuint& buffer, int device) {
  if (buffer == 0) return;
  if (discardedOpen) discarded.items.push_back({buffer, device});
  buffer = 0;
}

ALenum FormatFor(int bytes, int channels) {
  if (bytes == 1 && channels == 1) return AL_FORMAT_MONO8;
  if (bytes == 1 && channels == 2) return AL_FORMAT_STEREO8;
  if (bytes == 2 && channels == 1) return AL_FORMAT_MONO16;
  if (bytes == 2 && channels == 2) return AL_FORMAT_STEREO16;
  return 0;  // OpenAL rejects it and the sample stays empty
}

gxtkChannel noChannel;

}  // namespace

gxtkSample::~gxtkSample() {
  QueueForDeletion(buffer, device_);
}

int gxtkSample::Discard() {
  QueueForDeletion(buffer, device_);
  return 0;
}

gxtkAudio::gxtkAudio() {
  alcDevice = alcOpenDevice(nullptr);
  if (!alcDevice) {
    xqPrint("OpenAl error: alcOpenDevice failed");
  } else {
    alcContext = alcCreateContext(alcDevice, nullptr);
    if (!alcContext) {
      xqPrint("OpenAl error: alcCreateContext failed");
    } else if (!alcMakeContextCurrent(alcContext)) {
      xqPrint("OpenAl error: alcMakeContextCurrent failed");
      alcDestroyContext(alcContext);
      alcContext = nullptr;
    }
    if (!alcContext) {
      alcCloseDevice(alcDevice);
      alcDevice = nullptr;
    }
  }
  // No attenuation by distance: a source's position gives its direction only.
  if (Live()) alDistanceModel(AL_NONE);
  serial_ = ++lastSerial;
  current = this;
  gc_AddSweeper(&gxtkAudio::Sweep);
}

gxtkAudio::~gxtkAudio() {
  // The sweeper stays registered (removing it could touch the collector's list during exit); it
  // does nothing without a current device.
  if (current == this) current = nullptr;
  if (Live()) {
    for (gxtkChannel& channel : channels) {
      if (channel.source == 0) continue;
      alSourceStop(channel.source);
      alSourcei(channel.source, AL_BUFFER, 0);
      alDeleteSources(1, &channel.source);
      channel.source = 0;
    }
  }
  for (gxtkChannel& channel : channels) channel.sample.reset();
  // Every buffer of this device that is queued can go now; the rest are dropped with the device.
  if (discardedOpen) {
    for (const Discarded& item : discarded.items) {
      if (item.device == serial_ && Live()) alDeleteBuffers(1, &item.buffer);
    }
    std::erase_if(discarded.items, [this](const Discarded& d) { return d.device == serial_; });
  }
  if (Live()) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(alcContext);
    alcCloseDevice(alcDevice);
    alcContext = nullptr;
    alcDevice = nullptr;
  }
}

gxtkChannel* gxtkAudio::Find(int channel) {
  if (channel < 0 || channel >= kChannelCount) return nullptr;
  return &channels[static_cast<size_t>(channel)];
}

const gxtkChannel& gxtkAudio::Channel(int channel) const {
  if (channel < 0 || channel >= kChannelCount) return noChannel;
  return channels[static_cast<size_t>(channel)];
}

ALuint gxtkAudio::AL_Source(gxtkChannel& channel) {
  if (channel.source == 0 && Live()) {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR) channel.source = source;
  }
  return channel.source;
}

// The source's own state. A silent device has no sources, so it reports what the program asked for
// (sounds never end by themselves there).
ALint gxtkAudio::SourceState(const gxtkChannel& channel) const {
  if (!Live()) {
    return channel.state == 1 ? AL_PLAYING : channel.state == 2 ? AL_PAUSED : AL_STOPPED;
  }
  if (channel.source == 0) return AL_STOPPED;
  ALint state = AL_STOPPED;
  alGetSourcei(channel.source, AL_SOURCE_STATE, &state);
  return state;
}

int gxtkAudio::DiscardedCount() {
  return discardedOpen ? static_cast<int>(discarded.items.size()) : 0;
}

void gxtkAudio::FlushDiscarded() {
  if (!discardedOpen || discarded.items.empty()) return;
  if (Live()) {
    // Detach buffers from sources that have finished, so that their buffers can be deleted. This
    // includes channels the program stopped itself: their source still holds the last buffer.
    for (gxtkChannel& channel : channels) {
      if (channel.source == 0) continue;
      const ALint state = SourceState(channel);
      if (state == AL_STOPPED || state == AL_INITIAL) alSourcei(channel.source, AL_BUFFER, 0);
    }
  }
  std::vector<Discarded> kept;
  for (const Discarded& item : discarded.items) {
    if (item.device != serial_) continue;  // made by a device that is closed: nothing to delete
    if (!Live()) continue;
    alGetError();
    alDeleteBuffers(1, &item.buffer);
    if (alGetError() != AL_NO_ERROR) kept.push_back(item);  // still in use: try again later
  }
  discarded.items = std::move(kept);
}

void gxtkAudio::ReleaseStoppedSamples() {
  for (gxtkChannel& channel : channels) {
    if (channel.sample && (channel.state == 0 || SourceState(channel) == AL_STOPPED)) {
      channel.sample.reset();
    }
  }
}

void gxtkAudio::Sweep() {
  if (!current) return;
  current->ReleaseStoppedSamples();
  current->FlushDiscarded();
}

int gxtkAudio::Suspend() {
  if (!Live()) return 0;
  for (gxtkChannel& channel : channels) {
    if (channel.state == 1 && SourceState(channel) == AL_PLAYING) alSourcePause(channel.source);
  }
  return 0;
}

int gxtkAudio::Resume() {
  if (!Live()) return 0;
  for (gxtkChannel& channel : channels) {
    if (channel.state == 1 && SourceState(channel) == AL_PAUSED) alSourcePlay(channel.source);
  }
  return 0;
}

std::shared_ptr<gxtkSample> gxtkAudio::LoadSample__UNSAFE__(std::shared_ptr<gxtkSample> sample,
                                                            const String& path) {
  if (!sample) return nullptr;
  int length = 0, channelCount = 0, bytes = 0, hertz = 0;
  std::unique_ptr<unsigned char[]> data;
  if (XQGame* host = XQGame::Host()) {
    data = host->LoadAudioData(path, &length, &channelCount, &bytes, &hertz);
  } else {
    data = LoadAudioFile(path, &length, &channelCount, &bytes, &hertz);
  }
  if (!data) return nullptr;
  const long long size = static_cast<long long>(length) * channelCount * bytes;
  if (size < 0 || size > std::numeric_limits<ALsizei>::max()) return nullptr;

  // Loading into a sample that already has a buffer replaces it; the old one is queued.
  QueueForDeletion(sample->buffer, sample->device_);
  if (Live()) {
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() == AL_NO_ERROR) {
      alBufferData(buffer, FormatFor(bytes, channelCount), data.get(), static_cast<ALsizei>(size),
                   hertz);
      alGetError();  // a refused format leaves the buffer empty; the sample is still returned
      sample->buffer = buffer;
      sample->device_ = serial_;
    }
  }
  return sample;
}

std::shared_ptr<gxtkSample> gxtkAudio::LoadSample(const String& path) {
  FlushDiscarded();
  return LoadSample__UNSAFE__(std::make_shared<gxtkSample>(), path);
}

int gxtkAudio::PlaySample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags) {
  gxtkChannel* c = Find(channel);
  if (!c || !sample) return 0;
  FlushDiscarded();
  if (Live()) {
    const ALuint source = AL_Source(*c);
    // A buffer from a closed device means nothing here; play silence rather than a stranger.
    const ALuint buffer = sample->device_ == serial_ ? sample->buffer : 0;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_LOOPING, flags != 0 ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
  }
  c->sample = sample;
  c->state = 1;
  c->flags = flags;
  return 0;
}

int gxtkAudio::StopChannel(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c || c->state == 0) return 0;
  if (Live()) alSourceStop(c->source);
  c->state = 0;
  return 0;
}

int gxtkAudio::PauseChannel(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c || c->state != 1) return 0;
  if (SourceState(*c) == AL_STOPPED) {
    c->state = 0;  // the sample has ended
  } else {
    if (Live()) alSourcePause(c->source);
    c->state = 2;
  }
  return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c || c->state != 2) return 0;
  if (Live()) alSourcePlay(c->source);
  c->state = 1;
  return 0;
}

int gxtkAudio::ChannelState(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c) return 0;
  if (c->state == 1 && SourceState(*c) == AL_STOPPED) c->state = 0;
  return c->state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
  gxtkChannel* c = Find(channel);
  if (c && Live()) alSourcef(AL_Source(*c), AL_GAIN, volume);
  return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
  gxtkChannel* c = Find(channel);
  // The listener keeps OpenAL's defaults (at the origin facing -z), so this is a direction.
  if (c && Live()) alSource3f(AL_Source(*c), AL_POSITION, std::sin(pan), 0, -std::cos(pan));
  return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
  gxtkChannel* c = Find(channel);
  if (c && Live()) alSourcef(AL_Source(*c), AL_PITCH, rate);
  return 0;
}

int gxtkAudio::PlayMusic(const String& path, int flags) {
  StopMusic();
  auto sample = LoadSample(path);
  if (!sample) return -1;
  PlaySample(sample, kMusicChannel, flags);
  return 0;
}

int gxtkAudio::StopMusic() {
  return StopChannel(kMusicChannel);
}
int gxtkAudio::PauseMusic() {
  return PauseChannel(kMusicChannel);
}
int gxtkAudio::ResumeMusic() {
  return ResumeChannel(kMusicChannel);
}
int gxtkAudio::MusicState() {
  return ChannelState(kMusicChannel);
}
int gxtkAudio::SetMusicVolume(float volume) {
  return SetVolume(kMusicChannel, volume);
}

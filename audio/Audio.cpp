// The audio device: channels, samples and the deferred deletion of buffers, over its backend.
#include "audio/Audio.h"

#include <limits>
#include <utility>
#include <vector>

#include "decode/AudioDecode.h"
#include "host/Game.h"
#include "runtime/Collect.h"
#include "runtime/Error.h"

namespace {

// A buffer waiting for deletion, with the device that made it.
struct Discarded {
  unsigned buffer;
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

void QueueForDeletion(unsigned& buffer, int device) {
  if (buffer == 0) return;
  if (discardedOpen) discarded.items.push_back({buffer, device});
  buffer = 0;
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

gxtkAudio::gxtkAudio() : gxtkAudio(MakeOpenAlBackend()) {}

gxtkAudio::gxtkAudio(std::unique_ptr<gxtkAudioBackend> backend)
    : backend_(backend ? std::move(backend) : MakeNullAudioBackend()) {
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
      backend_->DeleteSource(channel.source);
      channel.source = 0;
    }
  }
  for (gxtkChannel& channel : channels) channel.sample.reset();
  // Every buffer of this device that is queued can go now; the rest are dropped with the device.
  if (discardedOpen) {
    for (const Discarded& item : discarded.items) {
      if (item.device == serial_ && Live()) backend_->DeleteBuffer(item.buffer);
    }
    std::erase_if(discarded.items, [this](const Discarded& d) { return d.device == serial_; });
  }
  backend_.reset();  // closes the device
}

gxtkChannel* gxtkAudio::Find(int channel) {
  if (channel < 0 || channel >= kChannelCount) return nullptr;
  return &channels[static_cast<size_t>(channel)];
}

const gxtkChannel& gxtkAudio::Channel(int channel) const {
  if (channel < 0 || channel >= kChannelCount) return noChannel;
  return channels[static_cast<size_t>(channel)];
}

unsigned gxtkAudio::Source(gxtkChannel& channel) {
  if (channel.source == 0 && Live()) channel.source = backend_->MakeSource();
  return channel.source;
}

// The source's own state. A silent device has no sources, so it reports what the program asked for
// (sounds never end by themselves there).
gxtkAudio::SourceState gxtkAudio::StateOf(const gxtkChannel& channel) const {
  if (!Live()) {
    return channel.state == 1   ? SourceState::kPlaying
           : channel.state == 2 ? SourceState::kPaused
                                : SourceState::kStopped;
  }
  if (channel.source == 0) return SourceState::kStopped;
  return backend_->State(channel.source);
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
      const SourceState state = StateOf(channel);
      if (state == SourceState::kStopped || state == SourceState::kInitial) {
        backend_->Detach(channel.source);
      }
    }
  }
  std::vector<Discarded> kept;
  for (const Discarded& item : discarded.items) {
    if (item.device != serial_) continue;  // made by a device that is closed: nothing to delete
    if (!Live()) continue;
    if (!backend_->DeleteBuffer(item.buffer)) kept.push_back(item);  // in use: try again later
  }
  discarded.items = std::move(kept);
}

void gxtkAudio::ReleaseStoppedSamples() {
  for (gxtkChannel& channel : channels) {
    if (channel.sample && (channel.state == 0 || StateOf(channel) == SourceState::kStopped)) {
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
    if (channel.state == 1 && StateOf(channel) == SourceState::kPlaying) {
      backend_->Pause(channel.source);
    }
  }
  return 0;
}

int gxtkAudio::Resume() {
  if (!Live()) return 0;
  for (gxtkChannel& channel : channels) {
    if (channel.state == 1 && StateOf(channel) == SourceState::kPaused) {
      backend_->Resume(channel.source);
    }
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
  if (size < 0 || size > std::numeric_limits<int>::max()) return nullptr;

  // Loading into a sample that already has a buffer replaces it; the old one is queued.
  QueueForDeletion(sample->buffer, sample->device_);
  if (Live()) {
    // A refused format leaves the buffer empty; the sample is still returned.
    const unsigned buffer =
        backend_->MakeBuffer(data.get(), static_cast<int>(size), bytes, channelCount, hertz);
    if (buffer != 0) {
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
    const unsigned source = Source(*c);
    // A buffer from a closed device means nothing here; play silence rather than a stranger.
    const unsigned buffer = sample->device_ == serial_ ? sample->buffer : 0;
    backend_->Play(source, buffer, flags != 0);
  }
  c->sample = sample;
  c->state = 1;
  c->flags = flags;
  return 0;
}

int gxtkAudio::StopChannel(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c || c->state == 0) return 0;
  if (Live()) backend_->Stop(c->source);
  c->state = 0;
  return 0;
}

int gxtkAudio::PauseChannel(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c || c->state != 1) return 0;
  if (StateOf(*c) == SourceState::kStopped) {
    c->state = 0;  // the sample has ended
  } else {
    if (Live()) backend_->Pause(c->source);
    c->state = 2;
  }
  return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c || c->state != 2) return 0;
  if (Live()) backend_->Resume(c->source);
  c->state = 1;
  return 0;
}

int gxtkAudio::ChannelState(int channel) {
  gxtkChannel* c = Find(channel);
  if (!c) return 0;
  if (c->state == 1 && StateOf(*c) == SourceState::kStopped) c->state = 0;
  return c->state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
  gxtkChannel* c = Find(channel);
  if (c && Live()) backend_->SetGain(Source(*c), volume);
  return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
  gxtkChannel* c = Find(channel);
  if (c && Live()) backend_->SetDirection(Source(*c), pan);
  return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
  gxtkChannel* c = Find(channel);
  if (c && Live()) backend_->SetPitch(Source(*c), rate);
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

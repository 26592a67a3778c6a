// The sound front end over the audio device.
#include "audio/Sound.h"

#include "host/Files.h"

std::shared_ptr<gxtkAudio> xq_audio_device;

c_Sound* c_Sound::m_new(std::shared_ptr<gxtkSample> sample) {
  this->sample = std::move(sample);
  return this;
}

c_Sound* c_Sound::m_new2() {
  return this;
}

int xq_audio_SetAudioDevice(std::shared_ptr<gxtkAudio> device) {
  xq_audio_device = std::move(device);
  return 0;
}

std::shared_ptr<c_Sound> xq_audio_LoadSound(const String& path) {
  if (!xq_audio_device) return nullptr;
  auto sample = xq_audio_device->LoadSample(xq_data_FixDataPath(path));
  if (!sample) return nullptr;
  return std::make_shared<c_Sound>(std::move(sample));
}

int xq_audio_PlaySound(const std::shared_ptr<c_Sound>& sound, int channel, int flags) {
  if (xq_audio_device && sound && sound->sample) {
    xq_audio_device->PlaySample(sound->sample, channel, flags);
  }
  return 0;
}

int xq_audio_StopChannel(int channel) {
  return xq_audio_device ? xq_audio_device->StopChannel(channel) : 0;
}

int xq_audio_SetChannelVolume(int channel, float volume) {
  return xq_audio_device ? xq_audio_device->SetVolume(channel, volume) : 0;
}

int xq_audio_SetChannelPan(int channel, float pan) {
  return xq_audio_device ? xq_audio_device->SetPan(channel, pan) : 0;
}

int xq_audio_SetChannelRate(int channel, float rate) {
  return xq_audio_device ? xq_audio_device->SetRate(channel, rate) : 0;
}

int xq_audio_PauseMusic() {
  return xq_audio_device ? xq_audio_device->PauseMusic() : 0;
}
int xq_audio_ResumeMusic() {
  return xq_audio_device ? xq_audio_device->ResumeMusic() : 0;
}
int xq_audio_StopMusic() {
  return xq_audio_device ? xq_audio_device->StopMusic() : 0;
}

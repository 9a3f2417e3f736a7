// Simple playback of a WAV file for previews: start it and return at once;
// a new sound or Stop cuts the one playing. Backends: PortAudio's default
// output and a test player that records the calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace audio {

// A PCM WAV file's samples as 16-bit (8-bit files are widened).
struct WavPcm {
  int sampleRate = 0;
  int channels = 0;
  std::vector<int16_t> samples;  // interleaved
};

// Reads a RIFF WAVE image of 8- or 16-bit PCM, mono or stereo. Chunks other
// than "fmt " and "data" are skipped; a data chunk running past the end of
// the image is cut there. False with *error on anything else.
bool ParseWavPcm(const uint8_t* bytes, size_t size, WavPcm* out, std::string* error);
bool LoadWavPcm(const std::string& path, WavPcm* out, std::string* error);

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Stops any sound playing, then starts this file and returns. False when
  // the file cannot be read or played; ErrorText() says why.
  virtual bool PlayFile(const std::string& path) = 0;
  // The same with the file's samples decoded by the caller (the sound as
  // the program plays it): pcm holds them, path names the file.
  virtual bool PlayDecoded(const std::string& path, WavPcm pcm) = 0;
  virtual void Stop() = 0;
  virtual bool Playing() const = 0;
  virtual std::string ErrorText() const = 0;
};

std::unique_ptr<SoundPlayer> CreatePortAudioSoundPlayer();

struct SoundCall {
  std::string name;  // "PlayFile" or "Stop"
  std::string path;
  bool result = true;
};

// Reads the file as the real player does (so a missing or broken file fails
// the same way) and records the calls; a sound plays until Stop, another
// PlayFile or FinishPlaying.
class TestSoundPlayer final : public SoundPlayer {
 public:
  bool PlayFile(const std::string& path) override;
  bool PlayDecoded(const std::string& path, WavPcm pcm) override;
  void Stop() override;
  bool Playing() const override;
  std::string ErrorText() const override;

  // The sound ends by itself.
  void FinishPlaying();
  // Non-empty: readable files fail to play with this text, as with no device.
  void SetDeviceFailure(const std::string& text);
  std::vector<SoundCall> Calls() const;
  // The samples of the last sound started.
  WavPcm LastSound() const;

 private:
  bool Record(const std::string& path, bool ok, WavPcm pcm, std::string error);

  mutable std::mutex mutex_;
  std::vector<SoundCall> calls_;
  bool playing_ = false;
  std::string error_;
  std::string device_failure_;
  WavPcm last_;
};

std::unique_ptr<TestSoundPlayer> CreateTestSoundPlayer();

}  // namespace audio

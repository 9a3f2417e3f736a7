// Sound files of the common formats, written by libsndfile for the tests: a
// sine at a known pitch and level, so that a reader that takes the rate, the
// channels or the sample width wrongly shows it in the samples it gives.
#pragma once

#include <cmath>
#include <sndfile.h>
#include <string>
#include <vector>

struct SoundFormatCase {
  const char* what;
  int format;  // libsndfile's major | sub format
  int rate;
  int channels;
};

inline const std::vector<SoundFormatCase>& SoundFormatCases() {
  static const std::vector<SoundFormatCase> cases = {
      {"pcm16_44100_mono", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1},
      {"pcm16_44100_stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2},
      {"pcm16_22050_mono", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1},
      {"pcm8_11025_mono", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 11025, 1},
      {"pcm24_48000_stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2},
      {"pcm32_96000_mono", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 96000, 1},
      {"float_44100_stereo", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2},
      {"extensible_pcm16_48000_stereo", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 2},
      {"extensible_float_32000_mono", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 32000, 1},
  };
  return cases;
}

// `seconds` of a sine of `hz` at amplitude `level` (of full scale) on every
// channel; false when libsndfile cannot write it.
inline bool WriteSine(const std::string& path, const SoundFormatCase& c, double hz, double level, double seconds) {
  SF_INFO info{};
  info.samplerate = c.rate;
  info.channels = c.channels;
  info.format = c.format;
  SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!sf) return false;
  const size_t frames = static_cast<size_t>(seconds * c.rate);
  std::vector<double> data(frames * static_cast<size_t>(c.channels));
  for (size_t f = 0; f < frames; ++f)
    for (int ch = 0; ch < c.channels; ++ch)
      data[f * static_cast<size_t>(c.channels) + static_cast<size_t>(ch)] =
          level * std::sin(2.0 * M_PI * hz * static_cast<double>(f) / c.rate);
  const sf_count_t written = sf_writef_double(sf, data.data(), static_cast<sf_count_t>(frames));
  sf_close(sf);
  return written == static_cast<sf_count_t>(frames);
}

// Pitch of mono samples at `rate`, from the rising zero crossings.
inline double PitchOf(const std::vector<int16_t>& s, int rate) {
  int crossings = 0;
  size_t first = 0, last = 0;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i - 1] < 0 && s[i] >= 0) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

inline int PeakOf(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

// Sample-rate conversion of interleaved 16-bit frames (libsamplerate), for
// sound devices that run at a rate of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace audio {

// A running conversion. Init allocates everything it needs; Process and Reset
// allocate nothing and take no lock, so they may run in a stream callback.
// The output is aligned in time with the input: input frame n lands at output
// position n * ratio.
class RateConverter {
 public:
  // Frames Process takes or gives in one call at most.
  static constexpr size_t kBlockFrames = 2048;

  RateConverter() = default;
  ~RateConverter();
  RateConverter(const RateConverter&) = delete;
  RateConverter& operator=(const RateConverter&) = delete;

  // The converter's quality: kGood for what is heard, kFast for what is
  // only analysed (the tuner's input, a few hundred hertz at 8000 Hz).
  enum class Quality { kGood, kFast };
  bool Init(int channels, double inRate, double outRate, std::string* error, Quality quality = Quality::kGood);
  void Close();
  bool Active() const { return state_ != nullptr; }
  int Channels() const { return channels_; }
  // Output frames per input frame.
  double Ratio() const { return ratio_; }
  // Forgets the frames it holds, as for a new stream.
  void Reset();
  // Converts from `in` into `out`: *used input frames taken, *made output
  // frames written. The converter keeps a few frames of look-ahead, so
  // output lags input until more comes.
  void Process(const int16_t* in, size_t inFrames, int16_t* out, size_t outFrames, size_t* used, size_t* made);

 private:
  SRC_STATE* state_ = nullptr;
  int channels_ = 0;
  double ratio_ = 1.0;
  std::vector<float> in_;
  std::vector<float> out_;
};

// A whole sound at another rate.
bool ResampleInterleaved(const std::vector<int16_t>& in, int channels, double inRate, double outRate,
                         std::vector<int16_t>* out, std::string* error);

}  // namespace audio

// Rate conversion on libsamplerate.
#include "platform/audio/resampler.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>

namespace audio {

namespace {
// Quality against cost: good enough to hear no artefact on percussion and
// the tuner's pitch, cheap enough for a stream callback.
constexpr int kConverterType = SRC_SINC_MEDIUM_QUALITY;
}  // namespace

RateConverter::~RateConverter() { Close(); }

bool RateConverter::Init(int channels, double inRate, double outRate, std::string* error, Quality quality) {
  Close();
  const double ratio = outRate / inRate;
  if (channels < 1 || !(inRate > 0) || !(outRate > 0) || src_is_valid_ratio(ratio) == 0) {
    if (error) *error = "no conversion from " + std::to_string(inRate) + " Hz to " + std::to_string(outRate) + " Hz";
    return false;
  }
  int err = 0;
  state_ = src_new(quality == Quality::kFast ? SRC_SINC_FASTEST : kConverterType, channels, &err);
  if (!state_) {
    if (error) *error = std::string("sample-rate converter: ") + src_strerror(err);
    return false;
  }
  channels_ = channels;
  ratio_ = ratio;
  in_.assign(kBlockFrames * size_t(channels), 0.0f);
  out_.assign(kBlockFrames * size_t(channels), 0.0f);
  return true;
}

void RateConverter::Close() {
  if (state_) src_delete(state_);
  state_ = nullptr;
}

void RateConverter::Reset() {
  if (state_) src_reset(state_);
}

void RateConverter::Process(const int16_t* in, size_t inFrames, int16_t* out, size_t outFrames, size_t* used,
                            size_t* made) {
  *used = *made = 0;
  if (!state_) return;
  const size_t ch = size_t(channels_);
  const size_t nIn = std::min(inFrames, kBlockFrames);
  const size_t nOut = std::min(outFrames, kBlockFrames);
  src_short_to_float_array(in, in_.data(), int(nIn * ch));
  SRC_DATA d{};
  d.data_in = in_.data();
  d.data_out = out_.data();
  d.input_frames = long(nIn);
  d.output_frames = long(nOut);
  d.src_ratio = ratio_;
  d.end_of_input = 0;
  if (src_process(state_, &d) != 0) return;
  src_float_to_short_array(out_.data(), out, int(d.output_frames_gen * long(ch)));
  *used = size_t(d.input_frames_used);
  *made = size_t(d.output_frames_gen);
}

bool ResampleInterleaved(const std::vector<int16_t>& in, int channels, double inRate, double outRate,
                         std::vector<int16_t>* out, std::string* error) {
  out->clear();
  if (channels < 1) {
    if (error) *error = "no channels to convert";
    return false;
  }
  const size_t ch = size_t(channels);
  const size_t frames = in.size() / ch;
  const double ratio = outRate / inRate;
  if (!(ratio > 0) || src_is_valid_ratio(ratio) == 0) {
    if (error) *error = "no conversion from " + std::to_string(inRate) + " Hz to " + std::to_string(outRate) + " Hz";
    return false;
  }
  std::vector<float> fin(frames * ch);
  src_short_to_float_array(in.data(), fin.data(), int(fin.size()));
  const size_t outFrames = size_t(std::ceil(double(frames) * ratio)) + 1;
  std::vector<float> fout(outFrames * ch);
  SRC_DATA d{};
  d.data_in = fin.data();
  d.data_out = fout.data();
  d.input_frames = long(frames);
  d.output_frames = long(outFrames);
  d.src_ratio = ratio;
  const int err = src_simple(&d, kConverterType, channels);
  if (err != 0) {
    if (error) *error = std::string("sample-rate converter: ") + src_strerror(err);
    return false;
  }
  out->resize(size_t(d.output_frames_gen) * ch);
  src_float_to_short_array(fout.data(), out->data(), int(out->size()));
  return true;
}

}  // namespace audio

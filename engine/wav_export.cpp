#include "engine/wav_export.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "engine/wav.h"

bool ExportTheme(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, const ThemePlan& plan,
                 const BeatSink& sink, const MixerHooks& hooks, const EditionRules& rules) {
  if (plan.entries.empty() || plan.entries[0].times <= 0) return false;
  return RunThemeSilently(
      plan, eng, rt, bank, hooks,
      [&] { return sink(eng.OutputHalfData(0), static_cast<size_t>(eng.SamplesPerBeat) * 4); }, rules);
}

WavExportResult ExportThemeToFile(const std::string& path, EngineState& eng, RhythmTables& rt,
                                  const BancoSonidos& bank, const ThemePlan& plan, const MixerHooks& hooks,
                                  const EditionRules& rules, uint64_t maxDataBytes) {
  WavStreamWriter out(path, 2, eng.Format.SampleRate, maxDataBytes);
  WavExportResult r;
  r.ok = out.Open();
  if (r.ok)
    r.ok = ExportTheme(
        eng, rt, bank, plan, [&](const int16_t* data, size_t bytes) { return out.Append(data, bytes); }, hooks,
        rules);
  if (r.ok) r.ok = out.Finish();
  if (!r.ok) {
    out.Abandon();
    r.tooLong = out.TooLong();
    r.error = out.Error();
  }
  return r;
}

WavStreamWriter::WavStreamWriter(std::string path, int channels, int sampleRate, uint64_t maxDataBytes)
    : path_(std::move(path)), channels_(channels), rate_(sampleRate), limit_(std::min(maxDataBytes, kMaxDataBytes)) {
  temp_ = path_ + ".part-" + std::to_string(::getpid());
}

WavStreamWriter::~WavStreamWriter() { Abandon(); }

bool WavStreamWriter::Open() {
  fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    error_ = path_ + ": " + std::strerror(errno);
    return false;
  }
  const auto h = WavHeader(0, channels_, rate_);
  data_ = 0;
  return WriteAll(h.data(), h.size());
}

bool WavStreamWriter::WriteAll(const void* data, size_t bytes) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (bytes > 0) {
    const ssize_t w = ::write(fd_, p, bytes);
    if (w < 0) {
      if (errno == EINTR) continue;
      error_ = path_ + ": " + std::strerror(errno);
      return false;
    }
    p += w;
    bytes -= static_cast<size_t>(w);
  }
  return true;
}

bool WavStreamWriter::Append(const void* data, size_t bytes) {
  if (fd_ < 0) return false;
  if (data_ + bytes > limit_) {
    tooLong_ = true;
    error_ = path_;
    return false;
  }
  if (!WriteAll(data, bytes)) return false;
  data_ += bytes;
  return true;
}

bool WavStreamWriter::Finish() {
  if (fd_ < 0) return false;
  const auto h = WavHeader(static_cast<uint32_t>(data_), channels_, rate_);
  bool ok = ::pwrite(fd_, h.data(), h.size(), 0) == static_cast<ssize_t>(h.size()) && ::fsync(fd_) == 0;
  if (!ok) error_ = path_ + ": " + std::strerror(errno);
  if (::close(fd_) != 0 && ok) {
    ok = false;
    error_ = path_ + ": " + std::strerror(errno);
  }
  fd_ = -1;
  if (ok && ::rename(temp_.c_str(), path_.c_str()) != 0) {
    ok = false;
    error_ = path_ + ": " + std::strerror(errno);
  }
  if (!ok) ::unlink(temp_.c_str());
  return ok;
}

void WavStreamWriter::Abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
  }
}

std::string DefaultExportName(const std::string& theme, const std::string& tempoText, char clickCode) {
  std::string name = theme;
  std::replace(name.begin(), name.end(), '/', '_');
  std::replace(name.begin(), name.end(), '\\', '_');
  return name + "-" + tempoText + "m" + std::string(1, clickCode) + ".wav";
}

WavePicture OscilataPolylines(const int16_t* frames, int frameCount, int width, int height, int& clipCount) {
  WavePicture pic;
  pic.leftColour = clipCount != 0 ? WaveColour::Red : WaveColour::Lime;
  clipCount = 0;
  if (frames == nullptr || frameCount <= 0 || width <= 0) return pic;
  const int h = height - 2;
  const int leftBase = h / 4;
  const int rightBase = 3 * h / 4 + 2;
  const int step = frameCount / width > 1 ? frameCount / width : 1;
  const int columns = frameCount / step < width ? frameCount / step : width;
  pic.left.reserve(static_cast<size_t>(columns));
  pic.right.reserve(static_cast<size_t>(columns));
  for (int x = 0; x < columns; ++x) {
    const int64_t f = static_cast<int64_t>(x) * step;
    const int l = frames[2 * f];
    const int r = frames[2 * f + 1];
    pic.left.push_back({x, leftBase + static_cast<int>(static_cast<int64_t>(l) * (h / 2) / 65536)});
    pic.right.push_back({x, rightBase + static_cast<int>(static_cast<int64_t>(r) * (h / 2) / 65536)});
  }
  return pic;
}

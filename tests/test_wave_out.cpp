// The wave-audio layer: the queue behaviour shared by every output backend
// (through the test device), the stream's buffer FIFO, software volume, the
// done callback's threads, the wave input, WAV previews and the tick count.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/sound_play.h"
#include "platform/audio/tick.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out.h"
#include "platform/audio/wave_out_test.h"

using namespace audio;

namespace {

constexpr WaveFormat kStereo44{44100, 2, 16};

// Set where a sound device is known to be there (ALSA's null device): the
// real devices must then open.
bool SoundRequired() { return std::getenv("VELARTO_REQUIRE_SOUND") != nullptr; }

// A header with its own samples; `frames` stereo frames whose left sample is
// base + i and right sample -(base + i), so every frame is recognisable.
struct Buffer {
  std::vector<int16_t> samples;
  WaveHeader header;
  Buffer(size_t frames, int base, int channels = 2, uintptr_t user = 0) : samples(frames * size_t(channels)) {
    for (size_t i = 0; i < frames; ++i) {
      samples[i * size_t(channels)] = int16_t(base + int(i));
      if (channels == 2) samples[i * 2 + 1] = int16_t(-(base + int(i)));
    }
    header.data = samples.data();
    header.bytes = uint32_t(samples.size() * sizeof(int16_t));
    header.user = user;
  }
};

// Records the user value of each header handed back, in order.
struct DoneLog {
  std::mutex mutex;
  std::vector<uintptr_t> users;
  std::vector<std::thread::id> threads;
  WaveDoneCallback Callback() {
    return [this](WaveHeader& h) {
      std::lock_guard lock(mutex);
      users.push_back(h.user);
      threads.push_back(std::this_thread::get_id());
    };
  }
  std::vector<uintptr_t> Users() {
    std::lock_guard lock(mutex);
    return users;
  }
};

}  // namespace

// --- the shared queue behaviour, through the test device -----------------------

TEST(WaveOut, BuffersComeBackInWriteOrderAndFlagsFollow) {
  auto out = CreateTestWaveOut();
  DoneLog log;
  ASSERT_EQ(out->Open(kStereo44, log.Callback()), WaveResult::kOk);
  Buffer a(10, 100, 2, 1), b(20, 200, 2, 2), c(5, 300, 2, 3);
  for (Buffer* x : {&a, &b, &c}) {
    ASSERT_EQ(out->Prepare(x->header), WaveResult::kOk);
    EXPECT_TRUE(x->header.Prepared());
    EXPECT_FALSE(x->header.Queued());
  }
  // Written out of their user order: the queue keeps the write order.
  for (Buffer* x : {&b, &a, &c}) ASSERT_EQ(out->Write(x->header), WaveResult::kOk);
  EXPECT_TRUE(a.header.Queued());
  EXPECT_FALSE(a.header.Done());
  EXPECT_EQ(out->QueuedCount(), 3u);

  ASSERT_TRUE(out->CompleteNext());
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{2}));
  EXPECT_TRUE(b.header.Done());
  EXPECT_FALSE(b.header.Queued());
  EXPECT_TRUE(b.header.Prepared());
  EXPECT_TRUE(a.header.Queued());

  EXPECT_EQ(out->CompleteAll(), 2);
  EXPECT_FALSE(out->CompleteNext());
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{2, 1, 3}));

  // Written again, a header loses its done flag until it comes back again.
  ASSERT_EQ(out->Write(b.header), WaveResult::kOk);
  EXPECT_FALSE(b.header.Done());
  EXPECT_TRUE(b.header.Queued());
  EXPECT_EQ(out->CompleteAll(), 1);
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{2, 1, 3, 2}));

  const std::vector<std::string> expected{"Open",  "Prepare", "Prepare", "Prepare",
                                          "Write", "Write",   "Write",   "Write"};
  EXPECT_EQ(out->CallNames(), expected);
  const std::vector<WaveOutCall> calls = out->Calls();
  EXPECT_EQ(calls[0].value, 44100u);
  EXPECT_EQ(calls[4].header, &b.header);
  EXPECT_EQ(calls[4].value, b.header.bytes);
  EXPECT_EQ(out->Close(), WaveResult::kOk);
}

TEST(WaveOut, RefusedCallsLeaveTheQueueAlone) {
  struct Case {
    const char* what;
    std::function<void(TestWaveOut&, WaveHeader&)> setup;
    std::function<WaveResult(TestWaveOut&, WaveHeader&)> call;
    WaveResult expected;
    bool queuedAfter;
  };
  const std::vector<Case> cases = {
      {"write unprepared", [](TestWaveOut&, WaveHeader&) {},
       [](TestWaveOut& o, WaveHeader& h) { return o.Write(h); }, WaveResult::kNotPrepared, false},
      {"write queued",
       [](TestWaveOut& o, WaveHeader& h) { o.Prepare(h), o.Write(h); },
       [](TestWaveOut& o, WaveHeader& h) { return o.Write(h); }, WaveResult::kStillPlaying, true},
      {"unprepare queued",
       [](TestWaveOut& o, WaveHeader& h) { o.Prepare(h), o.Write(h); },
       [](TestWaveOut& o, WaveHeader& h) { return o.Unprepare(h); }, WaveResult::kStillPlaying, true},
      {"prepare queued is harmless",
       [](TestWaveOut& o, WaveHeader& h) { o.Prepare(h), o.Write(h); },
       [](TestWaveOut& o, WaveHeader& h) { return o.Prepare(h); }, WaveResult::kOk, true},
      {"write after unprepare",
       [](TestWaveOut& o, WaveHeader& h) { o.Prepare(h), o.Write(h), o.CompleteAll(), o.Unprepare(h); },
       [](TestWaveOut& o, WaveHeader& h) { return o.Write(h); }, WaveResult::kNotPrepared, false},
      {"unprepare after it came back",
       [](TestWaveOut& o, WaveHeader& h) { o.Prepare(h), o.Write(h), o.CompleteAll(); },
       [](TestWaveOut& o, WaveHeader& h) { return o.Unprepare(h); }, WaveResult::kOk, false},
      {"prepare without data",
       [](TestWaveOut&, WaveHeader& h) { h.data = nullptr; },
       [](TestWaveOut& o, WaveHeader& h) { return o.Prepare(h); }, WaveResult::kInvalidHeader, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto out = CreateTestWaveOut();
    int done = 0;
    ASSERT_EQ(out->Open(kStereo44, [&](WaveHeader&) { ++done; }), WaveResult::kOk);
    Buffer buf(8, 0);
    c.setup(*out, buf.header);
    const int doneBefore = done;
    const size_t queuedBefore = out->QueuedCount();
    EXPECT_EQ(c.call(*out, buf.header), c.expected);
    if (c.expected != WaveResult::kOk) {
      EXPECT_FALSE(out->ErrorText().empty());
    }
    EXPECT_EQ(buf.header.Queued(), c.queuedAfter);
    EXPECT_EQ(out->QueuedCount(), queuedBefore);  // a second write does not queue twice
    EXPECT_EQ(done, doneBefore);
    EXPECT_EQ(out->CompleteAll(), c.queuedAfter ? 1 : 0);
  }
}

TEST(WaveOut, ClosedOrFailedDeviceAnswersNotOpen) {
  auto out = CreateTestWaveOut();
  out->SetOpenFailure("no sound card here");
  int done = 0;
  EXPECT_EQ(out->Open(kStereo44, [&](WaveHeader&) { ++done; }), WaveResult::kNoDevice);
  EXPECT_EQ(out->ErrorText(), "no sound card here");
  EXPECT_FALSE(out->IsOpen());
  Buffer buf(4, 0);
  const std::vector<std::pair<const char*, std::function<WaveResult()>>> calls = {
      {"Prepare", [&] { return out->Prepare(buf.header); }},
      {"Unprepare", [&] { return out->Unprepare(buf.header); }},
      {"Write", [&] { return out->Write(buf.header); }},
      {"Pause", [&] { return out->Pause(); }},
      {"Restart", [&] { return out->Restart(); }},
      {"Reset", [&] { return out->Reset(); }},
      {"Close", [&] { return out->Close(); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    EXPECT_EQ(call(), WaveResult::kNotOpen);
    EXPECT_FALSE(out->ErrorText().empty());
  }
  EXPECT_EQ(buf.header.flags.load(), 0u);
  EXPECT_EQ(done, 0);

  // The device turns up: the same object opens, and refuses a second open.
  out->SetOpenFailure("");
  ASSERT_EQ(out->Open(kStereo44, nullptr), WaveResult::kOk);
  EXPECT_TRUE(out->ErrorText().empty());
  EXPECT_EQ(out->Open(kStereo44, nullptr), WaveResult::kAlreadyOpen);
  EXPECT_TRUE(out->IsOpen());
}

TEST(WaveOut, OpenRefusesFormatsItCannotPlay) {
  const std::vector<std::pair<WaveFormat, WaveResult>> cases = {
      {{44100, 2, 16}, WaveResult::kOk},    {{22050, 2, 16}, WaveResult::kOk},
      {{8000, 1, 16}, WaveResult::kOk},     {{44100, 2, 8}, WaveResult::kBadFormat},
      {{44100, 2, 24}, WaveResult::kBadFormat}, {{44100, 3, 16}, WaveResult::kBadFormat},
      {{44100, 0, 16}, WaveResult::kBadFormat}, {{0, 2, 16}, WaveResult::kBadFormat},
  };
  for (const auto& [format, expected] : cases) {
    SCOPED_TRACE(testing::Message() << format.sampleRate << " Hz " << format.channels << " ch "
                                    << format.bitsPerSample << " bit");
    TestWaveOut out;
    EXPECT_EQ(out.Open(format, nullptr), expected);
    EXPECT_EQ(out.IsOpen(), expected == WaveResult::kOk);
  }
  EXPECT_EQ(kStereo44.BlockAlign(), 4u);
  EXPECT_EQ(kStereo44.BytesPerSecond(), 176400u);
}

TEST(WaveOut, ResetHandsEverythingBackBeforeReturningAndClearsPause) {
  for (bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "inline");
    TestWaveOut out;
    out.SetThreadedCompletion(threaded);
    DoneLog log;
    ASSERT_EQ(out.Open(kStereo44, log.Callback()), WaveResult::kOk);
    Buffer a(100, 0, 2, 1), b(100, 0, 2, 2), c(100, 0, 2, 3);
    for (Buffer* x : {&a, &b, &c}) out.Prepare(x->header), out.Write(x->header);
    // Half of the first buffer has been played when the pause comes.
    std::vector<int16_t> played(50 * 2);
    EXPECT_EQ(out.Play(played.data(), 50), 50u);
    ASSERT_EQ(out.Pause(), WaveResult::kOk);
    EXPECT_TRUE(out.Paused());

    ASSERT_EQ(out.Reset(), WaveResult::kOk);
    EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{1, 2, 3}));
    EXPECT_FALSE(out.Paused());
    EXPECT_EQ(out.QueuedCount(), 0u);
    for (Buffer* x : {&a, &b, &c}) {
      EXPECT_TRUE(x->header.Done());
      EXPECT_FALSE(x->header.Queued());
      EXPECT_EQ(out.Unprepare(x->header), WaveResult::kOk);
    }
    if (threaded) {
      for (std::thread::id id : log.threads) {
        EXPECT_NE(id, std::this_thread::get_id());
      }
    }
    // After the reset a new buffer plays from its first frame.
    Buffer d(4, 1000, 2, 4);
    out.Prepare(d.header), out.Write(d.header);
    std::vector<int16_t> next(4 * 2);
    EXPECT_EQ(out.Play(next.data(), 4), 4u);
    EXPECT_EQ(next, d.samples);
    out.WaitCallbacks();
    EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{1, 2, 3, 4}));
  }
}

TEST(WaveOut, PauseHoldsThePlaceAndRestartGoesOn) {
  TestWaveOut out;
  DoneLog log;
  ASSERT_EQ(out.Open(kStereo44, log.Callback()), WaveResult::kOk);
  Buffer a(6, 10, 2, 1);
  out.Prepare(a.header), out.Write(a.header);
  std::vector<int16_t> chunk(4 * 2);
  EXPECT_EQ(out.Play(chunk.data(), 4), 4u);
  EXPECT_EQ(chunk, std::vector<int16_t>(a.samples.begin(), a.samples.begin() + 8));

  out.Pause();
  EXPECT_FALSE(out.CompleteNext());
  EXPECT_EQ(out.CompleteAll(), 0);
  std::vector<int16_t> silent(4 * 2, 7);
  EXPECT_EQ(out.Play(silent.data(), 4), 0u);
  EXPECT_EQ(silent, std::vector<int16_t>(8, 0));
  EXPECT_TRUE(log.Users().empty());
  EXPECT_TRUE(a.header.Queued());

  out.Restart();
  EXPECT_FALSE(out.Paused());
  std::vector<int16_t> rest(4 * 2, 7);
  EXPECT_EQ(out.Play(rest.data(), 4), 2u);
  const std::vector<int16_t> expected{a.samples[8], a.samples[9], a.samples[10], a.samples[11], 0, 0, 0, 0};
  EXPECT_EQ(rest, expected);
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{1}));
  // A restart that is not after a pause changes nothing.
  EXPECT_EQ(out.Restart(), WaveResult::kOk);
  EXPECT_FALSE(out.Paused());
}

TEST(WaveOut, VolumeSplitsIntoChannelsAndScalesWhatIsPlayed) {
  TestWaveOut out;
  EXPECT_EQ(out.GetVolume(), kWaveVolumeFull);
  ASSERT_EQ(out.Open(kStereo44, nullptr), WaveResult::kOk);
  const uint32_t half_left = WaveVolume(0x8000, 0xFFFF);
  EXPECT_EQ(half_left, 0xFFFF8000u);
  EXPECT_EQ(WaveVolumeLeft(half_left), 0x8000);
  EXPECT_EQ(WaveVolumeRight(half_left), 0xFFFF);
  out.SetVolume(half_left);
  EXPECT_EQ(out.GetVolume(), half_left);

  Buffer a(3, 0);
  a.samples = {1000, 1000, -1000, -1000, 32767, -32768};
  out.Prepare(a.header), out.Write(a.header);
  std::vector<int16_t> played(6);
  out.Play(played.data(), 3);
  EXPECT_EQ(played, (std::vector<int16_t>{500, 1000, -500, -1000, 16383, -32768}));
  // The caller's buffer is not touched: it may be written again as it was.
  EXPECT_EQ(a.samples, (std::vector<int16_t>{1000, 1000, -1000, -1000, 32767, -32768}));

  // The level is the device's, kept across Close and Open.
  out.Close();
  EXPECT_EQ(out.GetVolume(), half_left);
  out.Open(kStereo44, nullptr);
  EXPECT_EQ(out.GetVolume(), half_left);
}

TEST(WaveVolume, SoftwareGainOnFrames) {
  struct Case {
    uint32_t volume;
    int channels;
    std::vector<int16_t> in, out;
  };
  const std::vector<Case> cases = {
      {kWaveVolumeFull, 2, {32767, -32768, 1, -1}, {32767, -32768, 1, -1}},
      {WaveVolume(0x8000, 0xFFFF), 2, {1000, 1000, -1000, -1000}, {500, 1000, -500, -1000}},
      {WaveVolume(0xFFFF, 0x8000), 2, {32767, 32767, -32768, -32768}, {32767, 16383, -32768, -16384}},
      {WaveVolume(0, 0xFFFF), 2, {12345, 12345}, {0, 12345}},
      {WaveVolume(0x4000, 0x4000), 2, {4000, -4000, 3, -3}, {1000, -1000, 0, 0}},  // truncated toward zero
      {WaveVolume(0, 0), 2, {32767, -32768}, {0, 0}},
      {WaveVolume(0x8000, 0), 1, {1000, -1000, 7}, {500, -500, 3}},  // mono takes the left level
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.volume << " " << c.channels << " ch");
    std::vector<int16_t> s = c.in;
    ApplyVolume(s.data(), s.size() / size_t(c.channels), c.channels, c.volume);
    EXPECT_EQ(s, c.out);
  }
}

// --- the callback's threads ----------------------------------------------------

// The engine's pattern: two halves always queued; the callback adds to a
// count under a lock, the GUI thread takes from it and writes the free half
// again, while the device completes buffers from another thread.
// The device hands buffers back either as whole buffers (CompleteNext) or
// as the real stream does, pulling periods of frames through the wait-free
// path (Play).
TEST(WaveOut, ThreadedCompletionKeepsTheCountUnderItsLock) {
  constexpr int kBuffers = 2000;
  constexpr size_t kFrames = 64;
  for (bool pullPeriods : {false, true}) {
    SCOPED_TRACE(pullPeriods ? "periods pulled" : "buffers completed");
    TestWaveOut out;
    out.SetThreadedCompletion(true);
    std::mutex lock;
    std::condition_variable changed;
    int finished = 0;
    int callbacks = 0;
    std::vector<uintptr_t> order;
    std::atomic<bool> onCallerThread{false};
    const std::thread::id gui = std::this_thread::get_id();
    ASSERT_EQ(out.Open(kStereo44,
                       [&](WaveHeader& h) {
                         if (std::this_thread::get_id() == gui) onCallerThread = true;
                         std::lock_guard g(lock);
                         ++finished;
                         ++callbacks;
                         order.push_back(h.user);
                         changed.notify_one();
                       }),
              WaveResult::kOk);
    Buffer halves[2] = {Buffer(kFrames, 0, 2, 0), Buffer(kFrames, 0, 2, 1)};
    for (Buffer& b : halves) out.Prepare(b.header), out.Write(b.header);

    std::atomic<bool> failed{false};
    std::atomic<size_t> framesPlayed{0};
    std::thread device([&] {
      std::vector<int16_t> period(kFrames * 2);
      int completed = 0;
      while (framesPlayed < kBuffers * kFrames && !failed) {
        if (pullPeriods) {
          // Odd periods, so buffer ends fall inside them.
          const size_t n = out.Play(period.data(), 37);
          framesPlayed += n;
          if (n == 0) std::this_thread::yield();
        } else if (out.CompleteNext()) {
          framesPlayed += kFrames;
          ++completed;
        } else {
          std::this_thread::yield();
        }
      }
    });
    int written = 2;
    int next = 0;  // the half that comes back next
    for (int taken = 0; taken < kBuffers && !failed; ++taken) {
      {
        std::unique_lock g(lock);
        changed.wait(g, [&] { return finished > 0; });
        --finished;
      }
      WaveHeader& h = halves[next].header;
      next ^= 1;
      if (written == kBuffers) continue;
      // Its flags changed before its callback ran: the half is free again.
      const bool ok = !h.Queued() && out.Prepare(h) == WaveResult::kOk && out.Write(h) == WaveResult::kOk;
      EXPECT_TRUE(ok) << "after " << taken << " buffers";
      if (!ok) failed = true;
      ++written;
    }
    device.join();
    out.WaitCallbacks();
    EXPECT_FALSE(onCallerThread);
    ASSERT_FALSE(failed);
    EXPECT_EQ(framesPlayed.load(), kBuffers * kFrames);
    std::lock_guard g(lock);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(callbacks, kBuffers);
    ASSERT_EQ(order.size(), size_t(kBuffers));
    for (int i = 0; i < kBuffers; ++i) ASSERT_EQ(order[size_t(i)], uintptr_t(i % 2)) << i;
  }
}

// Commands that take hold of the queue (Reset) while the stream pulls from
// another thread: neither waits for the other for long, nothing is lost or
// handed back twice.
TEST(WaveOut, ResetWhileTheStreamPulls) {
  TestWaveOut out;
  out.SetThreadedCompletion(true);
  DoneLog log;
  ASSERT_EQ(out.Open(kStereo44, log.Callback()), WaveResult::kOk);
  std::atomic<bool> stop{false};
  std::thread device([&] {
    std::vector<int16_t> period(128 * 2);
    while (!stop) out.Play(period.data(), 128);
  });
  std::vector<std::unique_ptr<Buffer>> buffers;
  for (int round = 0; round < 200; ++round) {
    for (int i = 0; i < 3; ++i) {
      buffers.push_back(std::make_unique<Buffer>(100, 0, 2, buffers.size()));
      out.Prepare(buffers.back()->header);
      ASSERT_EQ(out.Write(buffers.back()->header), WaveResult::kOk);
    }
    ASSERT_EQ(out.Reset(), WaveResult::kOk);
  }
  stop = true;
  device.join();
  // Reset returned only after everything queued before it was handed back.
  const std::vector<uintptr_t> users = log.Users();
  ASSERT_EQ(users.size(), buffers.size());
  for (size_t i = 0; i < users.size(); ++i) ASSERT_EQ(users[i], i);
  for (auto& b : buffers) EXPECT_FALSE(b->header.Queued());
  EXPECT_EQ(out.Close(), WaveResult::kOk);
}

TEST(WaveOut, CallbackMayWriteAndResetButNotClose) {
  for (bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "inline");
    TestWaveOut out;
    out.SetThreadedCompletion(threaded);
    Buffer a(4, 0, 2, 1), b(4, 0, 2, 2);
    std::vector<uintptr_t> seen;
    WaveResult closeResult = WaveResult::kOk;
    int rewrites = 0;
    ASSERT_EQ(out.Open(kStereo44,
                       [&](WaveHeader& h) {
                         seen.push_back(h.user);
                         if (h.user == 1 && rewrites++ == 0) {
                           out.Write(h);  // the same buffer again, behind b
                         } else if (h.user == 2) {
                           closeResult = out.Close();
                           out.Reset();  // hands a back again, after this callback
                         }
                       }),
              WaveResult::kOk);
    out.Prepare(a.header), out.Prepare(b.header);
    out.Write(a.header), out.Write(b.header);
    EXPECT_EQ(out.CompleteAll(), 2);  // only what was queued at the call
    out.WaitCallbacks();
    EXPECT_EQ(seen, (std::vector<uintptr_t>{1, 2, 1}));
    EXPECT_EQ(closeResult, WaveResult::kInCallback);
    EXPECT_TRUE(out.IsOpen());
    EXPECT_EQ(out.QueuedCount(), 0u);
    EXPECT_EQ(out.Close(), WaveResult::kOk);
  }
}

TEST(WaveOut, CloseHandsBackWhatIsQueued) {
  TestWaveOut out;
  out.SetThreadedCompletion(true);
  DoneLog log;
  std::vector<WaveResult> rewrites;  // touched by the callback only, read after Close
  WaveDoneCallback record = log.Callback();
  ASSERT_EQ(out.Open(kStereo44,
                     [&](WaveHeader& h) {
                       record(h);
                       rewrites.push_back(out.Write(h));
                     }),
            WaveResult::kOk);
  Buffer a(4, 0, 2, 1), b(4, 0, 2, 2);
  for (Buffer* x : {&a, &b}) out.Prepare(x->header), out.Write(x->header);
  out.Pause();
  ASSERT_EQ(out.Close(), WaveResult::kOk);
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{1, 2}));
  // A callback that writes its buffer again while the device closes is refused.
  EXPECT_EQ(rewrites, (std::vector<WaveResult>{WaveResult::kNotOpen, WaveResult::kNotOpen}));
  EXPECT_FALSE(a.header.Queued());
  EXPECT_FALSE(b.header.Queued());
  EXPECT_EQ(out.QueuedCount(), 0u);
  // Reopened, it is not paused any more.
  ASSERT_EQ(out.Open(kStereo44, log.Callback()), WaveResult::kOk);
  EXPECT_FALSE(out.Paused());
}

// --- the stream's FIFO ---------------------------------------------------------

TEST(WaveBufferFifo, PullRunsBackToBackAcrossBufferEnds) {
  // Buffers of 3, 5, 1 and 2 frames, pulled in chunks of every size from one
  // frame to more than all of them together.
  const std::vector<size_t> sizes{3, 5, 1, 2};
  const size_t total = std::accumulate(sizes.begin(), sizes.end(), size_t(0));
  for (size_t chunk : {1, 2, 3, 4, 5, 7, 11, 16}) {
    SCOPED_TRACE(testing::Message() << "chunk " << chunk);
    std::vector<std::unique_ptr<Buffer>> bufs;
    BufferFifo fifo(2);
    std::vector<int16_t> expected;
    for (size_t i = 0; i < sizes.size(); ++i) {
      bufs.push_back(std::make_unique<Buffer>(sizes[i], int(100 * (i + 1)), 2, i));
      expected.insert(expected.end(), bufs.back()->samples.begin(), bufs.back()->samples.end());
      fifo.Push(&bufs.back()->header);
    }
    std::vector<int16_t> played;
    std::vector<uintptr_t> finished;
    size_t pulled = 0;
    while (pulled < total + chunk) {
      std::vector<int16_t> out(chunk * 2, 7);
      const size_t got = fifo.Pull(out.data(), chunk);
      EXPECT_EQ(got, std::min(chunk, total - std::min(total, pulled)));
      played.insert(played.end(), out.begin(), out.end());
      pulled += chunk;
      HeaderList done = fifo.TakeFinished();
      while (WaveHeader* h = done.PopFront()) finished.push_back(h->user);
      // A buffer is finished exactly when its last frame has been pulled.
      size_t ended = 0, end = 0;
      for (size_t s : sizes) {
        end += s;
        if (end <= pulled) ++ended;
      }
      EXPECT_EQ(finished.size(), ended) << "after " << pulled << " frames";
    }
    expected.resize(played.size(), 0);  // then silence
    EXPECT_EQ(played, expected);
    EXPECT_EQ(finished, (std::vector<uintptr_t>{0, 1, 2, 3}));
    EXPECT_EQ(fifo.QueuedCount(), 0u);
  }
}

TEST(WaveBufferFifo, SilenceWhenPausedOrEmptyAndCutsWhereTold) {
  BufferFifo fifo(2);
  std::vector<int16_t> out(8, 7);
  EXPECT_EQ(fifo.Pull(out.data(), 4), 0u);
  EXPECT_EQ(out, std::vector<int16_t>(8, 0));

  Buffer a(4, 10, 2, 1), empty(0, 0, 2, 2), b(4, 50, 2, 3);
  fifo.Push(&a.header);
  fifo.Push(&empty.header);
  fifo.Push(&b.header);
  fifo.Pull(out.data(), 1);
  EXPECT_EQ(fifo.FrontOffset(), 1u);
  fifo.SetPaused(true);
  std::fill(out.begin(), out.end(), 7);
  EXPECT_EQ(fifo.Pull(out.data(), 4), 0u);
  EXPECT_EQ(out, std::vector<int16_t>(8, 0));
  EXPECT_EQ(fifo.FrontOffset(), 1u);
  EXPECT_FALSE(fifo.HasFinished());
  fifo.SetPaused(false);

  // Cut short in the middle of a: the empty buffer goes in passing and b
  // plays from its first frame.
  ASSERT_TRUE(fifo.FinishFront());
  EXPECT_EQ(fifo.FrontOffset(), 0u);
  EXPECT_EQ(fifo.Pull(out.data(), 2), 2u);
  EXPECT_EQ(out[0], 50);
  EXPECT_EQ(out[1], -50);
  HeaderList done = fifo.TakeFinished();
  EXPECT_EQ(done.Size(), 2u);
  EXPECT_EQ(done.PopFront(), &a.header);
  EXPECT_EQ(done.PopFront(), &empty.header);
  EXPECT_TRUE(done.Empty());

  fifo.FinishAll();
  EXPECT_EQ(fifo.QueuedCount(), 0u);
  EXPECT_EQ(fifo.TakeFinished().head, &b.header);
  EXPECT_FALSE(fifo.FinishFront());
}

TEST(WaveBufferFifo, MonoAndAPartialTrailingFrame) {
  BufferFifo fifo(1);
  Buffer a(3, 1, 1, 1);
  a.header.bytes += 1;  // an odd byte at the end is no frame
  fifo.Push(&a.header);
  fifo.SetVolume(WaveVolume(0x8000, 0));
  std::vector<int16_t> out(4, 7);
  EXPECT_EQ(fifo.Pull(out.data(), 4), 3u);
  EXPECT_EQ(out, (std::vector<int16_t>{0, 1, 1, 0}));  // 1, 2, 3 halved
  EXPECT_TRUE(fifo.HasFinished());
}

// --- devices at a rate of their own ---------------------------------------------

// The engine's two halves, one beat each, written again from the done
// callback; the device refuses 44100 Hz and takes periods of 256 frames, as
// a JACK server does. Each beat starts with one loud sample, whose peak must
// come out within one device frame of its exact place, beat x samples per
// beat x device rate / 44100, with no drift over ten minutes.
TEST(WaveOutConversion, BeatsLandOnTheirFramesAtTheDeviceRate) {
  struct Case {
    uint32_t deviceRate;
    size_t samplesPerBeat;
    double minutes;
  };
  const Case cases[] = {
      {48000, 16846, 10.0},  // 157 bpm: trunc(382 ms x 44.1); beats fall between device frames
      {96000, 22050, 1.0},   // 120 bpm
      {32000, 6615, 1.0},    // 400 bpm, below the program's rate
      {44100, 16846, 1.0},   // the program's rate: no conversion, exact frames
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deviceRate);
    TestWaveOut out;
    out.SetDeviceRates({c.deviceRate});
    const int beats = int(c.minutes * 60 * 44100 / double(c.samplesPerBeat));
    int written = 0;
    ASSERT_EQ(out.Open(kStereo44,
                       [&](WaveHeader& h) {
                         if (written < beats && out.Write(h) == WaveResult::kOk) ++written;
                       }),
              WaveResult::kOk);
    ASSERT_EQ(out.DeviceFormat().sampleRate, c.deviceRate);
    Buffer halves[2] = {Buffer(c.samplesPerBeat, 0), Buffer(c.samplesPerBeat, 0)};
    for (Buffer& b : halves) {
      std::fill(b.samples.begin(), b.samples.end(), int16_t(0));
      b.samples[0] = b.samples[1] = 30000;
      out.Prepare(b.header);
      out.Write(b.header);
      ++written;
    }
    const double ratio = double(c.deviceRate) / 44100.0;
    const double beatFrames = double(c.samplesPerBeat) * ratio;
    std::vector<long> peakAt(size_t(beats), -1);
    std::vector<int> peak(size_t(beats), 0);
    std::vector<int16_t> period(256 * 2);
    const long total = long(std::ceil(beats * beatFrames)) + 512;
    int k = 0;  // the beat whose window comes next
    for (long f0 = 0; f0 < total && k < beats; f0 += 256) {
      out.Play(period.data(), 256);
      for (long i = 0; i < 256 && k < beats; ++i) {
        const double d = double(f0 + i) - double(k) * beatFrames;
        if (d < -64) continue;
        if (d > 64) {
          ++k;
          continue;
        }
        const int v = std::abs(int(period[size_t(i) * 2]));
        if (v > peak[size_t(k)]) peak[size_t(k)] = v, peakAt[size_t(k)] = f0 + i;
      }
    }
    int off = 0;
    for (int k = 0; k < beats; ++k) {
      const double exact = double(k) * beatFrames;
      const bool ok = peak[size_t(k)] > 15000 && std::fabs(double(peakAt[size_t(k)]) - exact) <= 1.0;
      if (!ok && off++ < 5) ADD_FAILURE() << "beat " << k << ": peak " << peak[size_t(k)] << " at "
                                          << peakAt[size_t(k)] << ", exact " << exact;
    }
    EXPECT_EQ(off, 0) << "of " << beats << " beats";
    if (c.deviceRate == 44100) {
      for (int k = 0; k < beats; ++k) EXPECT_EQ(peakAt[size_t(k)], long(k) * long(c.samplesPerBeat));
    }
    EXPECT_EQ(out.MissedPeriods(), 0u);
  }
}

// A converted output still pauses where it is and goes on from there.
TEST(WaveOutConversion, PauseHoldsTheConvertedStream) {
  TestWaveOut out;
  out.SetDeviceRates({48000});
  DoneLog log;
  ASSERT_EQ(out.Open(kStereo44, log.Callback()), WaveResult::kOk);
  Buffer a(4410, 100, 2, 1);
  out.Prepare(a.header);
  out.Write(a.header);
  std::vector<int16_t> period(480 * 2);
  out.Play(period.data(), 480);
  ASSERT_EQ(out.Pause(), WaveResult::kOk);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(out.Play(period.data(), 480), 0u);
    EXPECT_TRUE(std::all_of(period.begin(), period.end(), [](int16_t x) { return x == 0; }));
  }
  EXPECT_TRUE(log.Users().empty());
  ASSERT_EQ(out.Restart(), WaveResult::kOk);
  for (int i = 0; i < 20 && log.Users().empty(); ++i) out.Play(period.data(), 480);
  // 4410 frames at 44100 Hz are 4800 at 48000: the buffer comes back within
  // the ten periods of 480 frames it fills, counting the one before the pause.
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{1}));
}

// The tuner's 8000 Hz mono from a microphone that records only at its own
// rate and channels: a 440 Hz sine arrives at 440 Hz, at its level, and at
// 8000 samples a second.
TEST(WaveInConversion, ASineArrivesAtItsFrequency) {
  struct Case {
    uint32_t rate;
    int channels;
  };
  for (Case c : {Case{48000, 2}, Case{44100, 1}, Case{8000, 2}, Case{8000, 1}}) {
    SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " channels");
    TestWaveIn in;
    in.SetDeviceFormats({c.rate}, c.channels);
    std::vector<int16_t> heard;
    std::array<std::vector<int16_t>, 4> store;
    std::array<WaveHeader, 4> h;
    ASSERT_EQ(in.Open(kTunerInputFormat,
                      [&](WaveHeader& x) {
                        const int16_t* s = static_cast<const int16_t*>(x.data);
                        heard.insert(heard.end(), s, s + x.bytesRecorded / 2);
                        in.AddBuffer(x);
                      }),
              WaveResult::kOk);
    EXPECT_EQ(in.DeviceFormat().sampleRate, c.rate);
    EXPECT_EQ(in.DeviceFormat().channels, c.channels);
    for (size_t i = 0; i < h.size(); ++i) {
      store[i].assign(800, 0);
      h[i].data = store[i].data();
      h[i].bytes = 1600;
      in.Prepare(h[i]);
      in.AddBuffer(h[i]);
    }
    ASSERT_EQ(in.Start(), WaveResult::kOk);
    const size_t frames = size_t(c.rate) * 2;  // two seconds
    std::vector<int16_t> chunk;
    for (size_t f0 = 0; f0 < frames; f0 += 480) {
      chunk.clear();
      for (size_t f = f0; f < f0 + 480; ++f) {
        const int16_t v = int16_t(std::lround(10000 * std::sin(2 * M_PI * 440 * double(f) / c.rate)));
        for (int ch = 0; ch < c.channels; ++ch) chunk.push_back(v);
      }
      in.Record(chunk.data(), 480);
    }
    in.WaitCallbacks();
    // Whole buffers only, less the converter's few frames of look-ahead.
    EXPECT_NEAR(double(heard.size()), 16000.0, 800.0);
    std::vector<double> rising;  // zero crossings, in samples
    int level = 0;
    for (size_t i = 200; i + 1 < heard.size(); ++i) {
      level = std::max(level, std::abs(int(heard[i])));
      if (heard[i] < 0 && heard[i + 1] >= 0)
        rising.push_back(double(i) + double(-heard[i]) / double(heard[i + 1] - heard[i]));
    }
    ASSERT_GE(rising.size(), 100u);
    const double hz = double(rising.size() - 1) * 8000.0 / (rising.back() - rising.front());
    EXPECT_NEAR(hz, 440.0, 0.2);
    EXPECT_NEAR(level, 10000, 300);
    EXPECT_EQ(in.Close(), WaveResult::kOk);
  }
}

// --- PortAudio: with or without a sound card -------------------------------------

TEST(WaveOutPortAudio, OpensOrSaysWhyAndClosesSafely) {
  auto out = CreatePortAudioWaveOut();
  DoneLog log;
  const WaveResult r = out->Open(kStereo44, log.Callback());
  if (SoundRequired()) {
    ASSERT_EQ(r, WaveResult::kOk) << out->ErrorText();
  }
  if (r != WaveResult::kOk) {
    EXPECT_EQ(r, WaveResult::kNoDevice);
    EXPECT_FALSE(out->ErrorText().empty());
    EXPECT_FALSE(out->IsOpen());
    Buffer a(4, 0);
    EXPECT_EQ(out->Write(a.header), WaveResult::kNotOpen);
    EXPECT_EQ(out->Close(), WaveResult::kNotOpen);
    return;
  }
  out->SetVolume(0);
  {
    // The engine's two halves, each written again when it comes back.
    std::mutex m;
    std::condition_variable cv;
    std::vector<WaveHeader*> back;
    std::vector<std::thread::id> threads;
    WaveOut& dev = *out;
    dev.Close();
    ASSERT_EQ(dev.Open(kStereo44,
                       [&](WaveHeader& h) {
                         std::lock_guard g(m);
                         back.push_back(&h);
                         threads.push_back(std::this_thread::get_id());
                         cv.notify_one();
                       }),
              WaveResult::kOk);
    Buffer halves[2] = {Buffer(441, 0, 2, 0), Buffer(441, 0, 2, 1)};
    for (Buffer& x : halves) dev.Prepare(x.header), dev.Write(x.header);
    for (int i = 0; i < 20; ++i) {
      WaveHeader* h;
      {
        std::unique_lock g(m);
        // Generous: only a device that never plays runs into it.
        ASSERT_TRUE(cv.wait_for(g, std::chrono::seconds(10), [&] { return !back.empty(); })) << "buffer " << i;
        h = back.front();
        back.erase(back.begin());
      }
      EXPECT_EQ(h, &halves[i % 2].header);
      EXPECT_FALSE(h->Queued());
      EXPECT_EQ(dev.Write(*h), WaveResult::kOk);
    }
    EXPECT_EQ(dev.Reset(), WaveResult::kOk);
    std::lock_guard g(m);
    for (std::thread::id id : threads) {
      EXPECT_NE(id, std::this_thread::get_id());
    }
    dev.Close();
    ASSERT_EQ(dev.Open(kStereo44, log.Callback()), WaveResult::kOk);
  }
  // Two seconds queued: still playing when the reset hands both back.
  Buffer a(44100, 0, 2, 1), b(44100, 0, 2, 2);
  for (Buffer* x : {&a, &b}) {
    ASSERT_EQ(out->Prepare(x->header), WaveResult::kOk);
    ASSERT_EQ(out->Write(x->header), WaveResult::kOk);
  }
  EXPECT_EQ(out->Pause(), WaveResult::kOk);
  EXPECT_EQ(out->Restart(), WaveResult::kOk);
  ASSERT_EQ(out->Reset(), WaveResult::kOk);
  EXPECT_EQ(log.Users(), (std::vector<uintptr_t>{1, 2}));
  for (std::thread::id id : log.threads) {
    EXPECT_NE(id, std::this_thread::get_id());
  }
  EXPECT_EQ(out->Unprepare(a.header), WaveResult::kOk);
  EXPECT_EQ(out->Close(), WaveResult::kOk);
  EXPECT_FALSE(out->IsOpen());
}

TEST(WaveOutPortAudio, DevicesShareOneInitialisation) {
  // Opened and closed in crossing order: each close leaves the others working.
  auto out = CreatePortAudioWaveOut();
  auto in = CreatePortAudioWaveIn();
  const bool outOpen = out->Open(kStereo44, nullptr) == WaveResult::kOk;
  const bool inOpen = in->Open(kTunerInputFormat, nullptr) == WaveResult::kOk;
  if (SoundRequired()) {
    ASSERT_TRUE(outOpen) << out->ErrorText();
    ASSERT_TRUE(inOpen) << in->ErrorText();
  }
  if (!outOpen) {
    EXPECT_FALSE(out->ErrorText().empty());
  }
  if (!inOpen) {
    EXPECT_FALSE(in->ErrorText().empty());
  }
  if (outOpen) {
    EXPECT_EQ(out->Close(), WaveResult::kOk);
  }
  if (inOpen) {
    WaveHeader h;
    std::vector<int16_t> samples(800);
    h.data = samples.data();
    h.bytes = uint32_t(samples.size() * 2);
    EXPECT_EQ(in->Prepare(h), WaveResult::kOk);
    EXPECT_EQ(in->AddBuffer(h), WaveResult::kOk);
    EXPECT_EQ(in->Start(), WaveResult::kOk);
    EXPECT_EQ(in->Reset(), WaveResult::kOk);
    EXPECT_FALSE(h.Queued());
    EXPECT_EQ(in->Close(), WaveResult::kOk);
  }
  // Opened again after everything was closed.
  if (out->Open(kStereo44, nullptr) == WaveResult::kOk) {
    EXPECT_EQ(out->Close(), WaveResult::kOk);
  } else {
    EXPECT_FALSE(out->ErrorText().empty());
  }
}

// --- wave input ----------------------------------------------------------------

TEST(WaveIn, RecordingFillsBuffersInTurn) {
  for (bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "inline");
    TestWaveIn in;
    in.SetThreadedCompletion(threaded);
    std::mutex m;
    std::vector<std::pair<uintptr_t, uint32_t>> done;  // user, bytes recorded
    std::vector<std::vector<int16_t>> contents;
    ASSERT_EQ(in.Open(kTunerInputFormat,
                      [&](WaveHeader& h) {
                        std::lock_guard g(m);
                        done.emplace_back(h.user, h.bytesRecorded);
                        const int16_t* s = static_cast<const int16_t*>(h.data);
                        contents.emplace_back(s, s + h.bytesRecorded / 2);
                      }),
              WaveResult::kOk);
    std::array<std::vector<int16_t>, 3> store{std::vector<int16_t>(4), std::vector<int16_t>(4),
                                              std::vector<int16_t>(4)};
    std::array<WaveHeader, 3> h;
    for (size_t i = 0; i < 3; ++i) {
      h[i].data = store[i].data();
      h[i].bytes = 8;
      h[i].user = i + 1;
      EXPECT_EQ(in.AddBuffer(h[i]), WaveResult::kNotPrepared);
      ASSERT_EQ(in.Prepare(h[i]), WaveResult::kOk);
      ASSERT_EQ(in.AddBuffer(h[i]), WaveResult::kOk);
    }
    EXPECT_EQ(in.AddBuffer(h[0]), WaveResult::kStillPlaying);
    EXPECT_EQ(in.Unprepare(h[0]), WaveResult::kStillPlaying);

    // Before Start the microphone is not listened to.
    EXPECT_EQ(in.Record({9, 9, 9}), 0u);
    ASSERT_EQ(in.Start(), WaveResult::kOk);
    // Six samples in pieces of 3: the first buffer fills across the pieces.
    EXPECT_EQ(in.Record({1, 2, 3}), 3u);
    EXPECT_EQ(in.Record({4, 5, 6}), 3u);
    in.WaitCallbacks();
    {
      std::lock_guard g(m);
      ASSERT_EQ(done.size(), 1u);
      EXPECT_EQ(done[0], std::make_pair(uintptr_t(1), uint32_t(8)));
      EXPECT_EQ(contents[0], (std::vector<int16_t>{1, 2, 3, 4}));
    }
    // Stop hands back the half-full second buffer with what it holds.
    ASSERT_EQ(in.Stop(), WaveResult::kOk);
    in.WaitCallbacks();
    EXPECT_FALSE(in.Started());
    EXPECT_EQ(in.Record({7}), 0u);
    EXPECT_EQ(in.QueuedCount(), 1u);
    ASSERT_EQ(in.Reset(), WaveResult::kOk);
    std::lock_guard g(m);
    ASSERT_EQ(done.size(), 3u);
    EXPECT_EQ(done[1], std::make_pair(uintptr_t(2), uint32_t(4)));
    EXPECT_EQ(contents[1], (std::vector<int16_t>{5, 6}));
    EXPECT_EQ(done[2], std::make_pair(uintptr_t(3), uint32_t(0)));
    for (WaveHeader& x : h) {
      EXPECT_TRUE(x.Done());
      EXPECT_EQ(in.Unprepare(x), WaveResult::kOk);
    }
    const std::vector<std::string> tail{"Start", "Stop", "Reset", "Unprepare", "Unprepare", "Unprepare"};
    const std::vector<std::string> names = in.CallNames();
    ASSERT_GE(names.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - long(tail.size()), names.end()), tail);
  }
}

TEST(WaveIn, FailedOpenSaysWhy) {
  TestWaveIn in;
  in.SetOpenFailure("no microphone");
  EXPECT_EQ(in.Open(kTunerInputFormat, nullptr), WaveResult::kNoDevice);
  EXPECT_EQ(in.ErrorText(), "no microphone");
  EXPECT_EQ(in.Start(), WaveResult::kNotOpen);
  EXPECT_EQ(in.Open({8000, 1, 8}, nullptr), WaveResult::kBadFormat);
}

// --- WAV previews --------------------------------------------------------------

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
void PutTag(std::vector<uint8_t>& v, const char* tag) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(tag[i]));
}

std::vector<uint8_t> FmtChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  std::vector<uint8_t> c;
  PutTag(c, "fmt ");
  Put32(c, 16);
  Put16(c, tag);
  Put16(c, channels);
  Put32(c, rate);
  Put32(c, rate * channels * bits / 8);
  Put16(c, uint16_t(channels * bits / 8));
  Put16(c, bits);
  return c;
}

std::vector<uint8_t> Chunk(const char* tag, const std::vector<uint8_t>& body, uint32_t declared = 0xFFFFFFFF) {
  std::vector<uint8_t> c;
  PutTag(c, tag);
  Put32(c, declared == 0xFFFFFFFF ? uint32_t(body.size()) : declared);
  c.insert(c.end(), body.begin(), body.end());
  if (declared == 0xFFFFFFFF && body.size() % 2) c.push_back(0);
  return c;
}

std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> v;
  PutTag(v, "RIFF");
  size_t size = 4;
  for (const auto& c : chunks) size += c.size();
  Put32(v, uint32_t(size));
  PutTag(v, "WAVE");
  for (const auto& c : chunks) v.insert(v.end(), c.begin(), c.end());
  return v;
}

const std::vector<uint8_t> kStereoData{0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F};  // 1, -1, -32768, 32767

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  return path;
}

}  // namespace

TEST(SoundPlay, ReadsPcmWavFiles) {
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    bool ok;
    int rate, channels;
    std::vector<int16_t> samples;
  };
  const std::vector<Case> cases = {
      {"16-bit stereo", Riff({FmtChunk(1, 2, 44100, 16), Chunk("data", kStereoData)}), true, 44100, 2,
       {1, -1, -32768, 32767}},
      {"8-bit mono widened", Riff({FmtChunk(1, 1, 22050, 8), Chunk("data", {0x80, 0xFF, 0x00})}), true, 22050, 1,
       {0, 127 * 256, -32768}},
      {"odd-sized chunk skipped with its pad byte",
       Riff({Chunk("LIST", {1, 2, 3}), FmtChunk(1, 2, 44100, 16), Chunk("data", kStereoData)}), true, 44100, 2,
       {1, -1, -32768, 32767}},
      {"extensible format", Riff({FmtChunk(0xFFFE, 1, 8000, 16), Chunk("data", {0x10, 0x00})}), true, 8000, 1,
       {16}},
      {"data longer than the file is cut",
       Riff({FmtChunk(1, 2, 44100, 16), Chunk("data", {1, 0, 2, 0, 3, 0}, 1000)}), true, 44100, 2, {1, 2}},
      {"not RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, false, 0, 0, {}},
      {"too short", {'R', 'I', 'F', 'F'}, false, 0, 0, {}},
      {"no format", Riff({Chunk("data", kStereoData)}), false, 0, 0, {}},
      {"no data", Riff({FmtChunk(1, 2, 44100, 16)}), false, 0, 0, {}},
      {"24-bit", Riff({FmtChunk(1, 2, 44100, 24), Chunk("data", kStereoData)}), false, 0, 0, {}},
      {"three channels", Riff({FmtChunk(1, 3, 44100, 16), Chunk("data", kStereoData)}), false, 0, 0, {}},
      {"compressed", Riff({FmtChunk(2, 2, 44100, 16), Chunk("data", kStereoData)}), false, 0, 0, {}},
      {"format chunk cut short", Riff({Chunk("fmt ", {1, 0, 2, 0})}), false, 0, 0, {}},
      {"odd final chunk at the very end", Riff({FmtChunk(1, 1, 8000, 16), Chunk("junk", {1}, 1)}), false, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WavPcm pcm;
    std::string error;
    EXPECT_EQ(ParseWavPcm(c.image.data(), c.image.size(), &pcm, &error), c.ok);
    if (c.ok) {
      EXPECT_EQ(pcm.sampleRate, c.rate);
      EXPECT_EQ(pcm.channels, c.channels);
      EXPECT_EQ(pcm.samples, c.samples);
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(SoundPlay, TestPlayerRecordsCallsAndFailsLikeTheRealOne) {
  const std::string good = WriteTemp("sound_play_good.wav", Riff({FmtChunk(1, 2, 44100, 16), Chunk("data", kStereoData)}));
  const std::string bad = WriteTemp("sound_play_bad.wav", {'n', 'o', 'p', 'e'});
  const std::string missing = testing::TempDir() + "sound_play_missing.wav";

  auto player = CreateTestSoundPlayer();
  EXPECT_TRUE(player->PlayFile(good));
  EXPECT_TRUE(player->Playing());
  EXPECT_TRUE(player->ErrorText().empty());
  EXPECT_EQ(player->LastSound().samples, (std::vector<int16_t>{1, -1, -32768, 32767}));
  EXPECT_FALSE(player->PlayFile(bad));
  EXPECT_FALSE(player->Playing());  // a new sound cuts the old even when it fails
  EXPECT_NE(player->ErrorText().find("sound_play_bad.wav"), std::string::npos);
  EXPECT_FALSE(player->PlayFile(missing));
  EXPECT_TRUE(player->PlayFile(good));
  player->FinishPlaying();
  EXPECT_FALSE(player->Playing());
  player->SetDeviceFailure("no sound card");
  EXPECT_FALSE(player->PlayFile(good));
  EXPECT_EQ(player->ErrorText(), "no sound card");
  player->Stop();

  const std::vector<SoundCall> calls = player->Calls();
  ASSERT_EQ(calls.size(), 6u);
  const std::vector<std::pair<std::string, bool>> expected{{"PlayFile", true},  {"PlayFile", false},
                                                           {"PlayFile", false}, {"PlayFile", true},
                                                           {"PlayFile", false}, {"Stop", true}};
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].name, expected[i].first) << i;
    EXPECT_EQ(calls[i].result, expected[i].second) << i;
  }
  EXPECT_EQ(calls[2].path, missing);
}

TEST(SoundPlay, PortAudioPlayerPlaysOrSaysWhy) {
  std::vector<uint8_t> data(4410 * 4, 0);  // a tenth of a second of silence
  const std::string path = WriteTemp("sound_play_pa.wav", Riff({FmtChunk(1, 2, 44100, 16), Chunk("data", data)}));
  auto player = CreatePortAudioSoundPlayer();
  EXPECT_FALSE(player->PlayFile(testing::TempDir() + "sound_play_missing.wav"));
  EXPECT_FALSE(player->ErrorText().empty());
  if (!player->PlayFile(path)) {
    EXPECT_FALSE(SoundRequired()) << player->ErrorText();
    EXPECT_FALSE(player->ErrorText().empty());
  } else {
    EXPECT_TRUE(player->PlayFile(path));  // again, cutting the first
  }
  player->Stop();
  EXPECT_FALSE(player->Playing());
  player->Stop();
  // A data chunk without one whole sample: an empty sound, which plays
  // silence (nothing is read from it).
  const std::string empty = WriteTemp("sound_play_empty.wav", Riff({FmtChunk(1, 2, 44100, 16), Chunk("data", {7})}));
  if (player->PlayFile(empty)) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  player->Stop();
}

// --- tick count ----------------------------------------------------------------

TEST(TickCount, FakeMovesOnlyWhenToldAndWrapsLikeTheRealCount) {
  {
    ScopedFakeTickCount fake(0xFFFFFFF0u);
    EXPECT_TRUE(FakeTickCountSet());
    const uint32_t start = TickCount();
    EXPECT_EQ(start, 0xFFFFFFF0u);
    EXPECT_EQ(TickCount(), start);
    fake.Advance(0x20);
    EXPECT_EQ(TickCount(), 0x10u);
    EXPECT_EQ(uint32_t(TickCount() - start), 0x20u);  // elapsed time across the wrap
    SetFakeTickCount(83400);
    EXPECT_EQ(TickCount(), 83400u);
  }
  EXPECT_FALSE(FakeTickCountSet());
  // The real count never runs backwards.
  const uint32_t a = TickCount();
  const uint32_t b = TickCount();
  EXPECT_LT(uint32_t(b - a), 0x80000000u);
}

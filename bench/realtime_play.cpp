// realtime_play: plays through the program's own window and its real sound
// output for a while, the way a user would, and writes down what was played
// so that a recording of the sound device can be checked beat by beat.
//
//   realtime_play [--folder DIR] [--theme N | --theme densest | --click]
//                 [--seconds S] [--settle S] [--bpm N] [--out PREFIX] [--list]
//
// The window is built headless (QT_QPA_PLATFORM=offscreen unless set) with
// the default PortAudio output (VELARTO_AUDIO_HOST picks the sound system).
// Writes:
//   PREFIX-played.wav  every beat the sequencer queued on the output, back to
//                      back, 16-bit stereo at 44100 Hz
//   PREFIX-beats.txt   the start frame and length of each of those beats
//   PREFIX-export.wav  the theme's WAV export by the program's own export
//                      (themes only)
//
// Where the beats are expected: the start frames in PREFIX-beats.txt come
// from the beats the sequencer actually mixed and queued (OnBeatMixed), not
// from the export. The export plays one pass of the theme, while here the
// theme runs on for the whole time (passes repeated, with the ending between
// them), an unordered theme picks its entries at random, and a beat that
// clips lowers the gain of the beats after it. The queued beats are exactly
// what the device was given, so every frame of the recording has its
// counterpart in PREFIX-played.wav. The export is still written and compared
// with the start of the played stream, and the result is reported.
//
// Exit status: 0 played, 2 bad arguments or files, 3 no sound output.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "content/factory_set.h"
#include "engine/wav.h"
#include "engine/wav_export.h"
#include "platform/ui/dialogs.h"
#include "platform/audio/wave_out.h"

namespace {

struct Args {
  std::string folder;
  std::string theme = "densest";  // a 1-based theme number or "densest"
  bool click = false;
  double seconds = 60;
  double settle = 1;
  int bpm = 120;
  std::string out = "realtime";
  bool list = false;
};

void Usage() {
  std::fprintf(stderr,
               "usage: realtime_play [--folder DIR] [--theme N|densest | --click] [--seconds S]\n"
               "                     [--settle S] [--bpm N] [--out PREFIX] [--list]\n"
               "  --folder   working folder; the factory content is written there when it has none\n"
               "  --theme    theme number as the themes grid counts (1 = first) or densest (default)\n"
               "  --click    a loop of a click-only formula instead of a theme\n"
               "  --seconds  playing time (default 60)\n"
               "  --settle   wait between opening the output and play (default 1)\n"
               "  --bpm      tempo of the click loop (default 120)\n"
               "  --out      prefix of the files written (default realtime)\n"
               "  --list     print the themes with their strokes per second and exit\n");
}

bool ParseArgs(int argc, char** argv, Args* a) {
  for (int i = 1; i < argc; ++i) {
    const std::string k = argv[i];
    auto value = [&](std::string* v) {
      if (i + 1 >= argc) return false;
      *v = argv[++i];
      return true;
    };
    std::string v;
    if (k == "--folder") {
      if (!value(&a->folder)) return false;
    } else if (k == "--theme") {
      if (!value(&a->theme)) return false;
    } else if (k == "--click") {
      a->click = true;
    } else if (k == "--seconds" || k == "--settle") {
      if (!value(&v)) return false;
      char* end = nullptr;
      const double d = std::strtod(v.c_str(), &end);
      if (end == v.c_str() || *end || !(d >= 0)) return false;
      (k == "--seconds" ? a->seconds : a->settle) = d;
    } else if (k == "--bpm") {
      if (!value(&v)) return false;
      a->bpm = std::atoi(v.c_str());
      if (a->bpm < 20 || a->bpm > 400) return false;
    } else if (k == "--out") {
      if (!value(&a->out)) return false;
    } else if (k == "--list") {
      a->list = true;
    } else {
      return false;
    }
  }
  return true;
}

// Sounding strokes per second of one pass of a theme: every stroke with a
// level (a rest does not count) on a track that has a sound, over the time
// the entries take at their tempos. The intro, the ending and the
// acceleration are left out: they change little and are the same clicks
// in every theme.
double StrokesPerSecond(const RhythmTables& rt, int t) {
  const Tema& th = rt.Temas[static_cast<size_t>(t)];
  double strokes = 0, seconds = 0;
  int tempo = 0;
  for (int e = 0; e < th.entryCount && e < kMaxEntries; ++e) {
    if (th.tempos[e] != 0) tempo = th.tempos[e];
    const int f = std::min<int>(th.formulas[e], kMaxFormulas - 1);
    const Formula& F = rt.Formulas[static_cast<size_t>(f)];
    int perCompas = 0;
    for (int b = 0; b < F.Beats() && b < kMaxBeats; ++b)
      for (int tr = 0; tr < kTracks; ++tr) {
        if (F.sounds[tr] == 0) continue;
        for (int s = 0; s < F.StrokeCount(b, tr) && s < kMaxStrokes; ++s)
          if (F.Stroke(b, tr, s) != 0) ++perCompas;
      }
    const double bpm = std::clamp(tempo > 0 ? tempo : 120, 20, 400);
    strokes += double(th.times[e]) * perCompas;
    seconds += double(th.times[e]) * F.Beats() * 60.0 / bpm;
  }
  return seconds > 0 ? strokes / seconds : 0;
}

// Record names are Latin-1.
std::string Utf8(const std::string& latin1) {
  return QString::fromLatin1(latin1.data(), qsizetype(latin1.size())).toStdString();
}

struct Beat {
  int64_t start;  // first frame in the played stream
  int frames;     // SamplesPerBeat
  float bpm;
  const char* kind;
  int formula;    // 1-based, as the formulas grid counts
};

bool WriteWav(const std::string& path, const std::vector<int16_t>& frames) {
  WavStreamWriter w(path, 2, 44100);
  if (!w.Open() || !w.Append(frames.data(), frames.size() * sizeof(int16_t)) || !w.Finish()) {
    std::fprintf(stderr, "realtime_play: cannot write %s: %s\n", path.c_str(), w.Error().c_str());
    return false;
  }
  return true;
}

// The sample frames of a plain 16-bit stereo WAV file written by the program.
bool ReadPlainWav(const std::string& path, std::vector<int16_t>* samples) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  if (bytes.size() < size_t(kWavHeaderBytes)) return false;
  samples->resize((bytes.size() - kWavHeaderBytes) / 2);
  std::memcpy(samples->data(), bytes.data() + kWavHeaderBytes, samples->size() * 2);
  return true;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Lets the window's events run for `ms` milliseconds, or until done() holds.
template <typename Done>
void RunFor(int ms, Done done) {
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  deadline.start(ms);
  poll.start(20);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // lines in order with the other tools' output
  Args args;
  if (!ParseArgs(argc, argv, &args)) {
    Usage();
    return 2;
  }
  const std::string outPrefix = std::filesystem::absolute(args.out).string();
  if (!args.folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(args.folder, ec);
    std::filesystem::current_path(args.folder, ec);
    if (ec) {
      std::fprintf(stderr, "realtime_play: cannot use folder %s: %s\n", args.folder.c_str(), ec.message().c_str());
      return 2;
    }
  }
  if (!std::filesystem::exists("datos/Original.vl2")) {
    std::string err;
    if (!WriteWorkingFolder(".", &err)) {
      std::fprintf(stderr, "realtime_play: cannot write the factory content: %s\n", err.c_str());
      return 2;
    }
    std::printf("factory content written to %s\n", std::filesystem::current_path().c_str());
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  auto dialogsOwned = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs* dialogs = dialogsOwned.get();
  TMainForm::Options options;
  options.dialogs = std::move(dialogsOwned);
  options.iniPath = "DRAV_PROF.ini";
  // No waveOut: the window opens the default PortAudio output itself.
  auto form = std::make_unique<TMainForm>(std::move(options));
  form->FormCreate();
  EngineState& E = *form->Work->Engine;

  if (args.list) {
    for (int t = 0; t < form->TemaCount(); ++t)
      std::printf("%3d  %-32s %6.2f strokes/s\n", t + 1, Utf8(form->Rhythm->Temas[static_cast<size_t>(t)].Name()).c_str(),
                  StrokesPerSecond(*form->Rhythm, t));
    return 0;
  }
  if (!form->WaveOut || !form->WaveOut->IsOpen()) {
    std::fprintf(stderr, "realtime_play: no sound output: %s\n", form->WaveOut ? form->WaveOut->ErrorText().c_str() : "");
    for (const QString& m : dialogs->messages) std::fprintf(stderr, "  message: %s\n", m.toLocal8Bit().constData());
    return 3;
  }
  auto* queued = dynamic_cast<audio::QueuedWaveOut*>(form->WaveOut.get());
  const uint32_t deviceRate = queued ? queued->DeviceFormat().sampleRate : 44100;
  std::printf("output: 44100 Hz, device at %u Hz%s\n", deviceRate, deviceRate != 44100 ? " (converted)" : "");

  // What to play.
  std::string what;
  if (args.click) {
    // A click-only formula made with the window's own commands: a new
    // formula (a copy of the first), its pattern cleared, its tracks set to
    // silence and no accented beats, so that every beat is the same click;
    // then click preset "1" on the metronome sound at the tempo asked for.
    form->SGFormulas->Select(1, 1);
    form->SGFormulasSelectCell(1, 1);
    form->Nuevafrmula1Click();
    form->Limpiarfrmula1Click();
    const int f = form->SGFormulas->Row() - 1;
    Formula& F = form->Rhythm->Formulas[static_cast<size_t>(f)];
    std::fill(std::begin(F.sounds), std::end(F.sounds), uint8_t{0});
    F.accents = 0;
    form->SGFormulasSelectCell(1, f + 1);
    form->ClickPresetButtons[1]->click();
    const int metro = form->CBMetro->findText("Metronomo");
    if (metro < 1) {
      std::fprintf(stderr, "realtime_play: no sound \"Metronomo\" in the sound list\n");
      return 2;
    }
    form->CBMetro->setCurrentIndex(metro);
    form->TB2->setValue(420 - args.bpm);
    what = "click loop, formula " + std::to_string(f + 1) + " (" + std::to_string(F.Beats()) + " beats, clicks only) at " +
           std::to_string(args.bpm) + " bpm";
  } else {
    const int count = form->TemaCount();
    int t = -1;
    if (args.theme == "densest") {
      double best = -1;
      for (int i = 0; i < count; ++i) {
        const double d = StrokesPerSecond(*form->Rhythm, i);
        if (d > best) best = d, t = i;
      }
    } else {
      t = std::atoi(args.theme.c_str()) - 1;
    }
    if (t < 0 || t >= count) {
      std::fprintf(stderr, "realtime_play: no theme %s (the set has %d)\n", args.theme.c_str(), count);
      return 2;
    }
    form->SGTemas->Select(1, t + 1);
    form->SGTemasSelectCell(1, t + 1);
    const Tema& th = form->Rhythm->Temas[static_cast<size_t>(t)];
    // The theme plays for the whole time: its passes repeat until stopped
    // ("Veces" 0), as a user practising with it would set it.
    const int parts = th.Parts();
    if (parts != 0) form->Partes->setText("0");
    char buf[160];
    std::snprintf(buf, sizeof buf, "theme %d \"%s\", %.2f strokes/s%s", t + 1, Utf8(th.Name()).c_str(),
                  StrokesPerSecond(*form->Rhythm, t), parts != 0 ? ", passes repeated until stopped" : "");
    what = buf;
  }
  std::printf("playing %s for %.1f s\n", what.c_str(), args.seconds);

  // Every beat the sequencer mixes is queued on the output right away; its
  // samples are still in the half it was mixed into.
  std::vector<int16_t> played;
  played.reserve(static_cast<size_t>((args.seconds + 5) * 44100 * 2));
  std::vector<Beat> beats;
  int64_t next = 0;
  form->OnBeatMixed = [&] {
    const int half = E.OutputHalf ^ 1;
    const int n = E.SamplesPerBeat;
    const int16_t* d = E.OutputHalfData(half);
    played.insert(played.end(), d, d + 2 * static_cast<size_t>(n));
    const char* kind = E.IntroCounter != 0 ? "intro" : E.EndingCounter != 0 ? "ending" : "beat";
    beats.push_back({next, n, E.CurrentBpm, kind, form->Rhythm->CurrentFormula + 1});
    next += n;
  };

  // The output has been streaming silence since the start-up; a moment more
  // lets a recorder that follows the device's connections catch up.
  RunFor(static_cast<int>(args.settle * 1000), [] { return false; });
  const uint64_t missedBefore = queued ? queued->MissedPeriods() : 0;
  const double playStart = WallSeconds();
  if (args.click)
    form->botonplayClick();
  else
    form->BotonPlayCompClick();
  if (E.PlayState != 1) {
    std::fprintf(stderr, "realtime_play: playback did not start\n");
    return 2;
  }
  RunFor(static_cast<int>(args.seconds * 1000), [&] { return E.PlayState == 0; });
  const bool stoppedItself = E.PlayState == 0;
  // The beats still queued at the stop are cut short by it.
  int cut = 0;
  for (const auto& h : form->Playback->Halves()) cut += h.Queued() ? 1 : 0;
  form->botonstopClick();
  const double playStop = WallSeconds();
  RunFor(200, [] { return false; });
  const uint64_t missed = queued ? queued->MissedPeriods() - missedBefore : 0;
  form->OnBeatMixed = nullptr;
  std::printf("played %zu beats (%.2f s)%s; %d cut by the stop; %llu periods missed by the output\n", beats.size(),
              double(next) / 44100.0, stoppedItself ? ", the theme ended by itself" : "", cut,
              static_cast<unsigned long long>(missed));

  // Wall-clock seconds of the play and the stop, for lining up the log of
  // the sound server.
  std::printf("play window: %.3f %.3f\n", playStart, playStop);

  bool ok = WriteWav(outPrefix + "-played.wav", played);

  // The theme's export by the program, compared with the start of the
  // played stream beat by beat.
  std::string exportNote = "none (a formula loop, not a theme)";
  if (!args.click) {
    const std::string exportPath = outPrefix + "-export.wav";
    std::filesystem::remove(exportPath);
    dialogs->saveNames = {QString::fromLocal8Bit(exportPath.c_str())};
    form->SpeedButton6Click();
    std::vector<int16_t> exported;
    if (!ReadPlainWav(exportPath, &exported)) {
      std::fprintf(stderr, "realtime_play: the export did not write %s\n", exportPath.c_str());
      for (const QString& m : dialogs->messages) std::fprintf(stderr, "  message: %s\n", m.toLocal8Bit().constData());
      ok = false;
    } else {
      size_t same = 0;
      size_t inExport = 0;
      for (const Beat& b : beats) {
        const size_t from = 2 * static_cast<size_t>(b.start);
        const size_t len = 2 * static_cast<size_t>(b.frames);
        if (from + len > exported.size()) break;
        ++inExport;
        if (std::equal(exported.begin() + from, exported.begin() + from + len, played.begin() + from)) ++same;
        else break;
      }
      char buf[200];
      std::snprintf(buf, sizeof buf, "%s: %.2f s; its first %zu beats are the first %zu played", exportPath.c_str(),
                    double(exported.size() / 2) / 44100.0, inExport, same);
      exportNote = buf;
    }
    std::printf("export %s\n", exportNote.c_str());
  }

  const std::string beatsPath = outPrefix + "-beats.txt";
  if (FILE* f = std::fopen(beatsPath.c_str(), "w")) {
    std::fprintf(f,
                 "# Beats queued on the sound output by the sequencer, in the order played.\n"
                 "# start: first frame of the beat in %s-played.wav (44100 Hz),\n"
                 "# frames: its length (SamplesPerBeat); a beat starts where the one before ends.\n",
                 std::filesystem::path(outPrefix).filename().c_str());
    std::fprintf(f, "# what: %s\n", what.c_str());
    std::fprintf(f, "# rate 44100\n# device_rate %u\n# beats %zu\n# cut_at_stop %d\n# missed_periods %llu\n",
                 deviceRate, beats.size(), cut, static_cast<unsigned long long>(missed));
    std::fprintf(f, "# export %s\n", exportNote.c_str());
    std::fprintf(f, "# index start frames bpm kind formula\n");
    for (size_t i = 0; i < beats.size(); ++i)
      std::fprintf(f, "%zu %lld %d %.3f %s %d\n", i, static_cast<long long>(beats[i].start), beats[i].frames,
                   double(beats[i].bpm), beats[i].kind, beats[i].formula);
    ok = std::fclose(f) == 0 && ok;
  } else {
    std::fprintf(stderr, "realtime_play: cannot write %s: %s\n", beatsPath.c_str(), std::strerror(errno));
    ok = false;
  }
  form.reset();  // closes the output
  return ok ? 0 : 2;
}

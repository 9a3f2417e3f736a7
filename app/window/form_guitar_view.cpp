// The guitar panel's two views, the beat (Chart1) and the bar (Chart2), and
// moving between bars and beats: buttons, scroll bar, clicks on the bar
// view, marking a run of beats, the capo, the orientation, playing from the
// bar on display, and the view following playback.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/window/mainform.h"
#include "guitar/chords.h"
#include "guitar/notes.h"
#include "guitar/render.h"
#include "guitar/window/tab_chart.h"
#include "platform/audio/tick.h"

namespace {
const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

// "%3d/%3d"
QString Fraction(int a, int b) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%3d/%3d", a, b);
  return QString::fromLatin1(buf);
}

// A beat's division count as the views use it.
int DivisionsOf(const TiempoG& t) { return std::clamp<int>(t.divisions, 1, kMaxDivisions); }

// The text of a note on the tablature, by its mode.
QString TabLabel(const DivisionG& d, int j) {
  switch (d.mode[j]) {
    case kModeLigado:
      return "L" + QString::number(d.fret[j]);
    case kModeTapado:
      return "T";
    case kModeSilencio:
      return "S";
    default:
      return QString::number(d.fret[j]);
  }
}

// Both points of a line across the whole bar view at x, labelled at the end
// that stands below the strings on screen.
void VerticalAcross(ChartSeries& s, float x, const QString& label, bool tab) {
  if (tab) {
    s.Add(x, 8.05f, label);
    s.Add(x, -1.0f, QString());
  } else {
    s.Add(x, -1.05f, label);
    s.Add(x, 7.0f, QString());
  }
}
}  // namespace

// --- drawing -------------------------------------------------------------------

void TMainForm::PlaceBeatMarker(float x) {
  ChartSeries& marker = Chart2->Series[1];
  marker.Clear();
  VerticalAcross(marker, x, QString::number(Guitar->GuitarBeat), CBTab->isChecked());
  Chart2->update();
}

void TMainForm::RefrescaTG() {
  GuitarState& g = *Guitar;
  Chart2->Series[1].Clear();
  Chart2->Series[2].Clear();
  g.MarkedBeats = 0;
  ShowMarkedBeats();
  // The accent box of the beat, when the beat has one.
  const bool accented = g.GuitarBeat >= 1 && g.GuitarBeat <= static_cast<int>(AccentBoxes.size()) &&
                        AccentBoxes[static_cast<size_t>(g.GuitarBeat - 1)]->isChecked();
  Chart2->Series[1].markColor = accented ? kRed : kLime;
  PlaceBeatMarker(static_cast<float>(g.GuitarBeat - 1));

  const TiempoG& t = g.CurrentTiempoG;
  const int count = DivisionsOf(t);
  Chart1->BottomMax = count;
  LGPartes->setText(QString::number(count));
  ChartSeries& tab = Chart1->Series[0];
  tab.Clear();
  // Each note's label on its string's line.
  const float o = 0.0f;
  for (int i = 0; i < count; ++i) {
    const DivisionG& d = t.division[i];
    for (int j = 0; j < kGuitarStrings; ++j) {
      if (d.strength[j] == 0) continue;
      const float dx = static_cast<float>(count) * 0.4f / 24.0f + static_cast<float>(d.delay[j]) * 0.01f;
      tab.Add(static_cast<float>(i) + dx, static_cast<float>(6 - j) + o, TabLabel(d, j));
    }
  }
  Chart1->update();
}

void TMainForm::RefrescaCG() {
  GuitarState& g = *Guitar;
  ChartSeries& notes = Chart2->Series[0];
  notes.Clear();
  g.GuitarBeatsInBar = BeatsInBar(g, g.GuitarBar);
  Chart2->BottomMax = g.GuitarBeatsInBar;
  const float o = 0.0f;
  const std::optional<uint32_t> start = BarOffset(g, g.GuitarBar);
  for (int i = 0; start && i < g.GuitarBeatsInBar; ++i) {
    const TiempoG* t = SlotAt(g, *start + static_cast<uint32_t>(i) * kBeatBytes);
    if (!t) break;  // past the end of the track: empty beats
    const int n = DivisionsOf(*t);
    for (int k = 0; k < n; ++k) {
      const DivisionG& d = t->division[k];
      for (int j = 0; j < kGuitarStrings; ++j) {
        if (d.strength[j] == 0) continue;
        const float m = static_cast<float>(d.delay[j]) / static_cast<float>(n) * 0.01f +
                        static_cast<float>(g.GuitarBeatsInBar) * 0.09f / 12.0f;
        const float x = static_cast<float>(k) / static_cast<float>(n) + static_cast<float>(i) + m;
        notes.Add(x, static_cast<float>(6 - j) + o, QString::number(d.fret[j]));
      }
    }
  }
  Chart2->update();
}

// Divisions and beats are numbered from 1 at their left edge; the right end
// of the axis carries no number.
QString TMainForm::Chart1GetAxisLabel(const QString& text, int) const {
  const int v = text.toInt();
  return v == static_cast<int>(Chart1->BottomMax) ? QString() : QString::number(v + 1);
}

QString TMainForm::Chart2GetAxisLabel(const QString& text, int) const {
  const int v = text.toInt();
  return v == static_cast<int>(Chart2->BottomMax) ? QString() : QString::number(v + 1);
}

void TMainForm::ShowGuitarBarLabel() { LGCompas->setText(Fraction(Guitar->GuitarBar, Guitar->GuitarBarCount)); }

void TMainForm::ShowGuitarBeatLabel() { LGTiempo->setText(Fraction(Guitar->GuitarBeat, Guitar->GuitarBeatsInBar)); }

void TMainForm::SetGuitarScrollBar() {
  const QSignalBlocker hold(SBCompas);
  SBCompas->setMaximum(std::max(1, Guitar->GuitarBarCount));
  SBCompas->setValue(Guitar->GuitarBar);
}

// --- the bar and the beat on display ----------------------------------------------

void TMainForm::MiUDCompasClick() {
  GuitarState& g = *Guitar;
  HideEditBox();
  ShowGuitarBarLabel();
  SetGuitarScrollBar();
  ReadCursorBeat(g);
  RefrescaTG();
  RefrescaCG();
  ShowGuitarBeatLabel();
  // While a theme plays the sequencer goes on from the bar chosen.
  if (Engine->PlayState == 1) Deck->SetCompas(g.GuitarBar);
}

void TMainForm::MiUDTiemposClick() {
  GuitarState& g = *Guitar;
  HideEditBox();
  ShowGuitarBeatLabel();
  ReadCursorBeat(g);
  RefrescaTG();
  RefrescaCG();
  PlayTiempoGClick();
}

void TMainForm::MiUDCejillaClick() {
  LGCejilla->setText(QString::number(Guitar->Capo));
  // The capo picture stands at its fret, as the finger marks do.
  ImCejilla->move(FretPosition(Guitar->Capo) + 234, ImCejilla->y());
  ImCejilla->setVisible(Guitar->Capo != 0);
  if (Guitar->Capo != 0) ImCejilla->raise();
  // The chord's marks on the fretboard follow the capo.
  TakeAllChordRows(Chords, GuitarAudio->Tuning, Guitar->Capo);
  ShowChordGrid();
}

// --- buttons and scroll bar ---------------------------------------------------------

void TMainForm::SpeedButton13Click() {
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty() || g.GuitarBar <= 1) return;
  g.GuitarBeat = 1;
  g.GuitarBar -= 1;
  MiUDCompasClick();
}

void TMainForm::SpeedButton14Click() {
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty() || g.GuitarBar >= g.GuitarBarCount) return;
  g.GuitarBeat = 1;
  g.GuitarBar += 1;
  MiUDCompasClick();
}

void TMainForm::SpeedButton18Click() {
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty()) return;
  if (g.GuitarBeat > 1) {
    g.GuitarBeat -= 1;
    MiUDTiemposClick();
  } else if (g.GuitarBar > 1) {
    g.GuitarBar -= 1;
    g.GuitarBeat = 1;
    MiUDCompasClick();
    // The last beat of that bar (a bar without beats keeps beat 1).
    g.GuitarBeat = std::max(1, g.GuitarBeatsInBar);
    MiUDTiemposClick();
  }
}

void TMainForm::SpeedButton17Click() {
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty()) return;
  if (g.GuitarBeat < g.GuitarBeatsInBar) {
    g.GuitarBeat += 1;
    MiUDTiemposClick();
  } else if (g.GuitarBar < g.GuitarBarCount) {
    g.GuitarBar += 1;
    g.GuitarBeat = 1;
    MiUDCompasClick();
    MiUDTiemposClick();
  }
}

void TMainForm::SpeedButton21Click() {
  if (Guitar->Capo >= 12) return;
  Guitar->Capo += 1;
  MiUDCejillaClick();
}

void TMainForm::SpeedButton22Click() {
  if (Guitar->Capo <= 0) return;
  Guitar->Capo -= 1;
  MiUDCejillaClick();
}

void TMainForm::SpeedButton11Click() {
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty()) return;
  const EngineState& E = *Engine;
  if (E.PlayState != 0) {
    // Playing: the sequencer goes on from this bar; paused: play resumes.
    if (E.PlayState == 1) Deck->SetCompas(g.GuitarBar);
    BotonPlayCompClick();
    return;
  }
  Deck->SetPlayFromBar(true);
  Deck->SetCompas(g.GuitarBar);
  BotonPlayCompClick();
  // A start that did not take the bar (nothing to play) leaves no request behind.
  Deck->SetPlayFromBar(false);
}

void TMainForm::SBCompasScroll() {
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty()) return;
  g.GuitarBeat = 1;
  g.GuitarBar = std::clamp(SBCompas->value(), 1, std::max(1, g.GuitarBarCount));
  MiUDCompasClick();
}

void TMainForm::CBTabClick() {
  HideEditBox();
  SetChordTab(Chords, CBTab->isChecked());
  ShowChordGrid();
  Chart1->LeftInverted = CBTab->isChecked();
  Chart2->LeftInverted = CBTab->isChecked();
  RefrescaTG();
  RefrescaCG();
}

// --- clicks on the bar view ---------------------------------------------------------

void TMainForm::Chart2ClickSeries(Qt::MouseButton button, Qt::MouseButtons shift, int x, int y) {
  Chart2ClickBackground(button, shift, x, y);
}

void TMainForm::Chart2ClickBackground(Qt::MouseButton, Qt::MouseButtons shift, int x, int y) {
  if (Engine->PlayState != 0) return;
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty()) return;
  // The beat under the pointer. A bar without beats, and the margins left
  // and right of its beats, hold no beat to select or mark.
  const int beats = g.GuitarBeatsInBar;
  const QRect plot = Chart2->Plot();
  if (beats <= 0 || x < plot.left()) return;
  const int w = plot.width() / beats;
  if (w <= 0) return;
  const int b = (x - plot.left()) / w;
  if (b >= beats) return;

  if (shift & Qt::LeftButton) {
    Chart2->Series[2].Clear();
    g.MarkedBeats = 0;
    ShowMarkedBeats();
    if (y <= 95) {
      g.GuitarBeat = b + 1;
      MiUDTiemposClick();
    } else if (b + 1 >= g.GuitarBeat) {
      // The beats from the current one to the clicked one, both included.
      g.MarkedBeats = b + 2 - g.GuitarBeat;
      ShowMarkedBeats();
      VerticalAcross(Chart2->Series[2], static_cast<float>(b + 1), ">" + QString::number(g.MarkedBeats),
                     CBTab->isChecked());
    }
    Chart2->update();
    return;
  }
  g.GuitarBeat = b + 1;
  MiUDTiemposClick();
  CopiarTiempoG->setText(Tr("Copiar tiempo ", "Copy beat ") + QString::number(g.GuitarBeat));
  CopiarCompasG->setText(Tr("Copiar compás ", "Copy compass ") + QString::number(g.GuitarBar));
  PegarTiempoG->setText(Tr("Pegar tiempo ", "Paste beat ") + QString::number(g.BeatClipboard.beat) +
                        Tr(" del compás ", " of compass ") + QString::number(g.BeatClipboard.bar));
  PegarCompasG->setText(Tr("Pegar compás ", "Paste compass ") + QString::number(g.BarClipboard.bar) +
                        Tr(" en el compás ", " into compass ") + QString::number(g.GuitarBar));
  PopupMenu6->popup(Chart2->mapToGlobal(QPoint(x, y)));
}

// The pointer over the tablature and keys on the bar view do nothing here.
void TMainForm::Chart1MouseMove() {}
void TMainForm::Chart2KeyDown() {}
void TMainForm::Chart2KeyPress() {}

// --- following playback -------------------------------------------------------------

void TMainForm::OnGuitarBeat(const BeatCue& cue) {
  if (!Guitarra1->isChecked()) return;
  GuitarState& g = *Guitar;
  if (g.GuitarBars.empty()) return;
  if (cue.stopped) {
    // The theme has played to its end: the view goes back to its start, as
    // the sequence does.
    if (Engine->PlayState != 0) return;
    g.GuitarBar = 1;
    g.GuitarBeat = 1;
    MiUDCompasClick();
    PlaceBeatMarker(0);
    return;
  }
  if (cue.beatIntro) return;
  // Only bars and beats the track has: a theme lengthened while the panel
  // is open, or a formula longer than the bar, leaves the view where it is.
  const int bar = cue.beat == 1 ? cue.beatCompas : g.GuitarBar;
  if (bar < 1 || bar > g.GuitarBarCount || cue.beat < 1 || cue.beat > BeatsInBar(g, bar)) return;
  g.GuitarBeat = cue.beat;
  if (cue.beat == 1) {
    g.GuitarBar = bar;
    RefrescaCG();
    ShowGuitarBarLabel();
    SetGuitarScrollBar();
  }
  ShowGuitarBeatLabel();
  ReadCursorBeat(g);
  RefrescaTG();
  // The beat marker runs across the beat in the colour of the beat's lamp.
  Chart2->Series[1].lineColor = cue.accent ? kRed : kLime;
  GuitarFollow.BeatStartTick = TickCount();
  GuitarFollow.CursorOffset = 0;
  GuitarFollow.CursorBeats = 0;
  GuitarFollow.Bpm = cue.bpm > 0 ? cue.bpm : Engine->CurrentBpm;
  GuitarFollow.Paused = false;
  if (!GuitarCursorTimer->isActive()) GuitarCursorTimer->start();

  // The fretboard follows the notes of this beat: its divisions start at
  // the frames its renderer gave them, the beat's length being the one it
  // was mixed with (the player mixes one beat ahead).
  GuitarFollowState& f = GuitarFollow;
  const int spb = f.NextSamplesPerBeat > 0 ? f.NextSamplesPerBeat : Engine->SamplesPerBeat;
  f.NextSamplesPerBeat = Engine->SamplesPerBeat;
  f.PlayedTiempoG = g.CurrentTiempoG;
  const int n = DivisionsOf(f.PlayedTiempoG);
  const double rate = Engine->Format.SampleRate > 0 ? Engine->Format.SampleRate : 44100.0;
  for (int d = 0; d < n; ++d)
    f.DivisionTimes[static_cast<size_t>(d)] = static_cast<float>(1000.0 * DivisionStartFrame(spb, n, d) / rate);
  f.DivisionIndex = 0;
  f.DivisionStart = TickCount();
  f.DivisionPaused = false;
  GuitarDivisionTick();
}

void TMainForm::ShowPlayedDivision(int d) {
  const DivisionG& div = GuitarFollow.PlayedTiempoG.division[d];
  for (int j = 0; j < kGuitarStrings; ++j) {
    QLabel* l = StringNoteLabels[static_cast<size_t>(j)];
    if (div.strength[j] == 0) {
      // A string without a note keeps its mark, but a beat starts without it.
      if (d == 0) l->hide();
      continue;
    }
    const FingerMark m = PlayedNoteMark(j, div.fret[j], Guitar->Capo, GuitarAudio->Tuning);
    l->setText(QString::fromLatin1(m.text.c_str()).trimmed());
    l->move(m.left, m.top);
    l->show();
    l->raise();
  }
}

void TMainForm::GuitarDivisionTick() {
  GuitarFollowState& f = GuitarFollow;
  if (!Guitarra1->isChecked() || Engine->PlayState == 0) return;
  const int64_t now = TickCount();
  if (Engine->PlayState == 2) {
    // In pause the marks stand still: every look at the clock moves the
    // beat's start on by the time paused since the last one (the time after
    // the last look before the music goes on, at most 10 ms, counts as played).
    if (f.DivisionPaused) f.DivisionStart += static_cast<uint32_t>(now - f.PausedAt);
    f.PausedAt = now;
    f.DivisionPaused = true;
    GuitarDivisionTimer->start(10);
    return;
  }
  f.DivisionPaused = false;
  const int n = DivisionsOf(f.PlayedTiempoG);
  const float e = static_cast<float>(static_cast<uint32_t>(now - f.DivisionStart));
  while (f.DivisionIndex < n && e >= f.DivisionTimes[static_cast<size_t>(f.DivisionIndex)]) {
    ShowPlayedDivision(f.DivisionIndex);
    f.DivisionIndex += 1;
  }
  if (f.DivisionIndex < n) {
    const float wait = f.DivisionTimes[static_cast<size_t>(f.DivisionIndex)] - e;
    GuitarDivisionTimer->start(std::max(0, static_cast<int>(std::ceil(wait))));
  }
}

void TMainForm::GuitarCursorTick() {
  if (!Guitarra1->isChecked() || Engine->PlayState == 0) {
    GuitarCursorTimer->stop();
    return;
  }
  const uint32_t now = TickCount();
  if (Engine->PlayState == 2) {
    // In pause the line stands still and goes on from there.
    if (!GuitarFollow.Paused) GuitarFollow.CursorOffset = GuitarFollow.CursorBeats;
    GuitarFollow.Paused = true;
    GuitarFollow.BeatStartTick = now;
    return;
  }
  GuitarFollow.Paused = false;
  const float msPerBeat = 60000.0f / std::max(GuitarFollow.Bpm, 1.0f);
  const float elapsed = static_cast<float>(now - static_cast<uint32_t>(GuitarFollow.BeatStartTick));
  GuitarFollow.CursorBeats = std::min(1.0f, elapsed / msPerBeat + GuitarFollow.CursorOffset);
  PlaceBeatMarker(static_cast<float>(Guitar->GuitarBeat - 1) + GuitarFollow.CursorBeats);
}

void TMainForm::GuitarAfterStop() {
  GuitarCursorTimer->stop();
  GuitarDivisionTimer->stop();
  GuitarFollow.NextSamplesPerBeat = 0;
  // The fretboard shows the chord again.
  ShowFingerMarks();
  if (!Guitarra1->isChecked() || Guitar->GuitarBars.empty()) return;
  // The beat where the view stands, and the marker back at its left edge.
  ReadCursorBeat(*Guitar);
  PlaceBeatMarker(static_cast<float>(Guitar->GuitarBeat - 1));
}

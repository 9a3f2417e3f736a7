// Export of the selected theme to a WAV file, and the waveform views.
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <tuple>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>

#include "app/window/mainform.h"
#include "platform/ui/widgets.h"
#include "platform/ui/string_grid.h"
#include "engine/window/export_steps.h"
#include "engine/window/sample_chart.h"
#include "engine/wav_export.h"
#include "platform/files/text.h"

namespace {
void SetPoints(QWidget* w, const QList<QPointF>& pts) {
  auto* view = static_cast<QChartView*>(w);
  auto* series = static_cast<QLineSeries*>(view->chart()->series().value(0));
  series->replace(pts);
  if (auto* ax = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).value(0)))
    ax->setRange(0, std::max<qreal>(1, static_cast<qreal>(pts.size() - 1)));
}
}  // namespace

void TMainForm::BuildExportControls() {
  SpeedButton6 = new QPushButton("WAV", PanelTemas);
  SpeedButton6->setObjectName("SpeedButton6");
  SpeedButton6->setToolTip("Exportar tema a WAV");
  SpeedButton6->setGeometry(600, 168, 44, 26);
  connect(SpeedButton6, &QPushButton::clicked, this, [this] { SpeedButton6Click(); });
  for (const auto& [name, text, y] : {std::tuple{"Label38", "Guardar tema", 198}, std::tuple{"Label39", "como WAV", 211}}) {
    MakeLabel(PanelTemas, name, QString::fromUtf8(text), {596, y, 64, 13});
  }
  // Below the panel's caption strip.
  OndaL = MakeSampleChart(PanelOnda, "OndaL", {5, 20, 568, 73}, 32768);
  OndaR = MakeSampleChart(PanelOnda, "OndaR", {5, 94, 568, 73}, 32768);
  ClearWaveViews();
}

void TMainForm::ClearWaveViews() {
  SetPoints(OndaL, {QPointF(0, 0), QPointF(1, 0)});
  SetPoints(OndaR, {QPointF(0, 0), QPointF(1, 0)});
}

void TMainForm::DrawWaveViews() {
  const EngineState& E = *Engine;
  const int width = std::max(1, OndaL->width());
  const int step = std::max(1, E.SamplesPerBeat / width);
  // The half that has just started playing is the one the mixer is not about to fill.
  const size_t base = static_cast<size_t>(E.Format.HalfSamples()) - static_cast<size_t>(E.OutputOffset);
  const int n = E.SamplesPerBeat / step;
  QList<QPointF> left, right;
  left.reserve(n);
  right.reserve(n);
  for (int k = 0; k < n; ++k) {
    const size_t i = base + 2 * static_cast<size_t>(k) * static_cast<size_t>(step);
    if (i + 1 >= E.OutputBuffer.size()) break;
    left.append(QPointF(k, E.OutputBuffer[i]));
    right.append(QPointF(k, E.OutputBuffer[i + 1]));
  }
  SetPoints(OndaL, left);
  SetPoints(OndaR, right);
}

void TMainForm::SaveDialogWavFolderChange() { WavInitialDir = "datos/wavs"; }

void TMainForm::SpeedButton6Click() {
  Deck->RebuildPlan(BeginWavExport(*this));
  SelectEntryRow(1, true);
  // Every export starts in the set's wav folder; a folder change in the
  // dialog points it there again (relative to the working folder).
  WavInitialDir = QDir::currentPath() + "/datos/wavs";
  if (Deck->Plan().entries.empty() || Deck->Plan().entries[0].times == 0) return;

  // The theme's tempo is the one the first sequence row shows.
  FileDialogRequest req = WavExportRequest(*this, WavInitialDir, SGSaco->Cells(2, 1));
  req.onFolderChange = [this](const QString&) { SaveDialogWavFolderChange(); };
  const QString chosen = dialogs->SaveFileName(req);
  if (chosen.isEmpty()) return;
  std::string path = FsPath(chosen);
  if (!EndsWithNoCase(path, ".wav")) path += ".wav";

  ResetGuitarVoices(GuitarAudio->SilentVoices, true);  // the guitar starts silent in the file too
  const WavExportResult r = Deck->ExportPlan(path);
  // The grid stands where the export left the sequence: back to the first entry.
  SelectEntryRow(1, true);
  TellWavExport(*this, path, r, true);
}

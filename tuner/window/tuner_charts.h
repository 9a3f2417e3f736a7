// The tuner panel's two charts: the needle (a vertical red line over a
// bottom axis from -50 to +50) and the waveform of the last frame.
#pragma once

#include <QRect>
#include <cstdint>

class QWidget;

QWidget* MakeNeedleChart(QWidget* parent, const char* name, QRect geometry);
// Both points of the needle move to x.
void SetNeedle(QWidget* chart, double x);
double NeedleAt(const QWidget* chart);

// Bottom axis 0..samples, left axis -32768..32768, one blue line.
QWidget* MakeWaveChart(QWidget* parent, const char* name, QRect geometry, int samples);
// The frame replaces whatever the chart showed: sample k at x = k, its y
// the sample itself for the microphone, 3 x sample - 1024 for the device.
void PlotWave(QWidget* chart, const int16_t* samples, int n, bool microphone);
int PlottedPoints(const QWidget* chart);

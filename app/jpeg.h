// JPEG pictures of the windows: decoded with libjpeg into a QImage.
#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>

// Decodes a complete JPEG file image. Grey and colour pictures come back as
// Format_RGB888. On failure *image is left null and *error (when given) says
// what libjpeg reported; damaged data that libjpeg would only warn about
// (a file cut short, a broken entropy segment) counts as a failure too.
bool DecodeJpeg(const uint8_t* data, size_t size, QImage* image, QString* error = nullptr);
bool DecodeJpeg(const QByteArray& bytes, QImage* image, QString* error = nullptr);

// Reads and decodes a picture file; a null image when it is missing or bad.
QImage LoadJpegFile(const QString& path, QString* error = nullptr);

// Pictures larger than this many pixels are refused before any allocation.
constexpr int64_t kMaxJpegPixels = 64LL * 1024 * 1024;

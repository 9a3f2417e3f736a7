// JPEG pictures of the windows: decoded with libjpeg into a QImage.
#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

// Decodes a complete JPEG file image. Grey and colour pictures come back as
// Format_RGB888. On failure *image is left null and *error (when given) says
// what libjpeg reported; damaged data that libjpeg would only warn about
// (a file cut short, a broken entropy segment) counts as a failure too.
bool DecodeJpeg(const uint8_t* data, size_t size, QImage* image, QString* error = nullptr);
bool DecodeJpeg(const QByteArray& bytes, QImage* image, QString* error = nullptr);

// Reads and decodes a picture file; a null image when it is missing or bad.
QImage LoadJpegFile(const QString& path, QString* error = nullptr);

// A picture of a window: as LoadJpegFile, and a file that is missing or
// damaged is said through `say`, in the language asked ("La imagen ... está
// dañada y no se muestra: " with libjpeg's own text after it), instead of
// leaving a blank place without a word.
QImage LoadWindowPicture(const QString& path, bool english, const std::function<void(const QString&)>& say);

// What a picture may be. The program's own pictures are a few hundred pixels
// a side in baseline JPEG; a replacement may be larger and progressive, but
// anything beyond these bounds is refused before the work it would cost:
// pictures wider or taller than kMaxJpegSide (checked on the header, before
// any allocation), data with more than kMaxJpegScans scans (a common
// progressive file has 6 to 10), files of more than kMaxJpegFileBytes.
constexpr unsigned kMaxJpegSide = 2048;
constexpr int64_t kMaxJpegPixels = int64_t{kMaxJpegSide} * kMaxJpegSide;
constexpr int kMaxJpegScans = 100;
constexpr int64_t kMaxJpegFileBytes = 16LL * 1024 * 1024;

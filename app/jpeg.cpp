#include "app/jpeg.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "platform/files/jpeg_errors.h"

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// ours jumps back to the decode call. Warnings are counted, not printed.

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) {
    // A warning about the data; keep the first one's text.
    if (cinfo->err->num_warnings == 0) {
      auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
      (*cinfo->err->format_message)(cinfo, err->message);
    }
    cinfo->err->num_warnings++;
  }
}


// Where the decoder puts the pixels: the caller's image, allocated once the
// header has told the size. Kept outside the function that calls setjmp, so
// that a jump back never skips a C++ destructor.
struct PixelSink {
  QImage* image;
  uint8_t* Allocate(int width, int height, size_t* stride) {
    *image = QImage(width, height, QImage::Format_RGB888);
    if (image->isNull()) return nullptr;
    *stride = static_cast<size_t>(image->bytesPerLine());
    return image->bits();
  }
};

enum class DecodeStatus { Ok, JpegError, Warning, TooLarge, NoMemory, Unsupported, TooManyScans };

// Stops a decode once the data has started more scans than any picture of
// ours needs: a progressive file can repeat scans by the thousand, each one a
// pass over the whole picture, and would keep the window waiting for seconds.
// libjpeg calls the monitor between scans and at every row of blocks while it
// reads them, so the check comes before the extra scan is decoded.
struct ScanLimit {
  jpeg_progress_mgr pub;
  JpegErrorManager* err;
  bool exceeded;
};

void WatchScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* limit = reinterpret_cast<ScanLimit*>(cinfo->progress);
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
    limit->exceeded = true;
    std::snprintf(limit->err->message, JMSG_LENGTH_MAX, "more than %d scans", kMaxJpegScans);
    std::longjmp(limit->err->jump, 1);
  }
}

// Plain C-style body: only trivially destructible locals between setjmp and
// the libjpeg calls.
DecodeStatus DecodeBody(const uint8_t* data, size_t size, PixelSink* sink, char* message) {
  jpeg_decompress_struct cinfo;
  JpegErrorManager err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = JpegSilentOutput;
  err.message[0] = '\0';
  ScanLimit limit;
  std::memset(&limit, 0, sizeof limit);
  limit.pub.progress_monitor = WatchScans;
  limit.err = &err;
  if (setjmp(err.jump)) {
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
    jpeg_destroy_decompress(&cinfo);
    return limit.exceeded ? DecodeStatus::TooManyScans : DecodeStatus::JpegError;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &limit.pub;
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  const J_COLOR_SPACE space = cinfo.jpeg_color_space;
  if (space != JCS_GRAYSCALE && space != JCS_YCbCr && space != JCS_RGB) {
    std::snprintf(message, JMSG_LENGTH_MAX, "unsupported colour space %d", static_cast<int>(space));
    jpeg_destroy_decompress(&cinfo);
    return DecodeStatus::Unsupported;
  }
  const int64_t pixels = static_cast<int64_t>(cinfo.image_width) * cinfo.image_height;
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxJpegSide ||
      cinfo.image_height > kMaxJpegSide || pixels > kMaxJpegPixels) {
    std::snprintf(message, JMSG_LENGTH_MAX, "picture of %ux%u pixels refused", cinfo.image_width,
                  cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return DecodeStatus::TooLarge;
  }
  const bool grey = space == JCS_GRAYSCALE;
  cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  size_t stride = 0;
  uint8_t* bits = sink->Allocate(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), &stride);
  if (!bits) {
    std::snprintf(message, JMSG_LENGTH_MAX, "out of memory");
    jpeg_destroy_decompress(&cinfo);
    return DecodeStatus::NoMemory;
  }
  const unsigned width = cinfo.output_width;
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* row = bits + stride * cinfo.output_scanline;
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    if (grey) {
      // Spread the grey samples over the RGB triplets, from the end backwards.
      for (unsigned x = width; x-- > 0;) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = row[x];
    }
  }
  jpeg_finish_decompress(&cinfo);
  const long warnings = err.pub.num_warnings;
  if (warnings > 0) std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
  jpeg_destroy_decompress(&cinfo);
  return warnings > 0 ? DecodeStatus::Warning : DecodeStatus::Ok;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, QImage* image, QString* error) {
  *image = QImage();
  if (!data || size == 0) {
    if (error) *error = "empty JPEG data";
    return false;
  }
  char message[JMSG_LENGTH_MAX] = {};
  PixelSink sink{image};
  const DecodeStatus status = DecodeBody(data, size, &sink, message);
  if (status == DecodeStatus::Ok) return true;
  *image = QImage();
  if (error) *error = QString::fromLocal8Bit(message);
  return false;
}

bool DecodeJpeg(const QByteArray& bytes, QImage* image, QString* error) {
  return DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()), image,
                    error);
}

QImage LoadJpegFile(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = "cannot open " + path;
    return QImage();
  }
  // One byte past the limit tells a file that is too large from one that is
  // just within it, without reading the rest.
  const QByteArray bytes = f.read(kMaxJpegFileBytes + 1);
  if (bytes.size() > kMaxJpegFileBytes) {
    if (error) *error = path + " is larger than any picture of the program";
    return QImage();
  }
  QImage image;
  DecodeJpeg(bytes, &image, error);
  return image;
}

QImage LoadWindowPicture(const QString& path, bool english, const std::function<void(const QString&)>& say) {
  QString why;
  QImage image = LoadJpegFile(path, &why);
  if (image.isNull() && say) {
    if (!QFile::exists(path))
      say(english ? "The picture " + path + " is missing and is not shown"
                  : "La imagen " + path + " no se encuentra y no se muestra");
    else
      say((english ? "The picture " + path + " is damaged and is not shown: "
                   : "La imagen " + path + QString::fromUtf8(" está dañada y no se muestra: ")) +
          why);
  }
  return image;
}

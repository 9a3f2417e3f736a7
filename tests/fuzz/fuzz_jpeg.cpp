// Pictures: any data either decodes to a picture within the bounds or
// leaves the frame empty.
#include <QImage>
#include <cstddef>
#include <cstdint>

#include "app/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QImage image;
  if (DecodeJpeg(data, size, &image)) {
    if (image.isNull() || image.width() > static_cast<int>(kMaxJpegSide) ||
        image.height() > static_cast<int>(kMaxJpegSide))
      __builtin_trap();
  } else if (!image.isNull()) {
    __builtin_trap();
  }
  return 0;
}

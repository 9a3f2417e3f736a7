// JPEG pictures: our drawn pictures through our encoder and decoder, and
// damaged data reported instead of crashing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <csetjmp>
#include <cstring>
#include <cstdlib>
#include <vector>

#include "app/jpeg.h"
#include "platform/files/jpeg_errors.h"
#include "content/pictures.h"

namespace {

std::vector<uint8_t> Encode(const QImage& img, int quality = 90) {
  std::vector<uint8_t> out;
  std::string err;
  EXPECT_TRUE(EncodeJpeg(img, quality, &out, &err)) << err;
  return out;
}

// Mean absolute difference per channel, and the largest over 8x8 blocks.
struct Difference {
  double mean = 0;
  double worstBlock = 0;
};

Difference Compare(const QImage& a0, const QImage& b0) {
  const QImage a = a0.convertToFormat(QImage::Format_RGB888), b = b0.convertToFormat(QImage::Format_RGB888);
  Difference d;
  double total = 0;
  for (int by = 0; by < a.height(); by += 8)
    for (int bx = 0; bx < a.width(); bx += 8) {
      double block = 0;
      int n = 0;
      for (int y = by; y < std::min(by + 8, a.height()); ++y)
        for (int x = bx; x < std::min(bx + 8, a.width()); ++x)
          for (int c = 0; c < 3; ++c) {
            const int diff = std::abs(a.constScanLine(y)[3 * x + c] - b.constScanLine(y)[3 * x + c]);
            block += diff;
            total += diff;
            ++n;
          }
      d.worstBlock = std::max(d.worstBlock, block / n);
    }
  d.mean = total / (3.0 * a.width() * a.height());
  return d;
}

QImage Decode(const std::vector<uint8_t>& bytes, QString* error = nullptr) {
  QImage img;
  DecodeJpeg(bytes.data(), bytes.size(), &img, error);
  return img;
}

// A valid progressive script of exactly `scans` scans for a grey picture
// (64 to 64 * 11): the DC and each AC coefficient in a band of its own,
// the bands then refined bit by bit in turn until the count is reached.
std::vector<jpeg_scan_info> ProgressiveScript(int scans) {
  constexpr int kBands = 64, kMaxBits = 10;
  std::vector<int> bits(kBands, 0);
  if (scans < kBands || scans > kBands * (kMaxBits + 1)) return {};
  for (int extra = scans - kBands, k = 0; extra > 0; --extra, k = (k + 1) % kBands) {
    while (bits[static_cast<size_t>(k)] == kMaxBits) k = (k + 1) % kBands;
    ++bits[static_cast<size_t>(k)];
  }
  std::vector<jpeg_scan_info> script;
  for (int band = 0; band < kBands; ++band) {
    const int d = bits[static_cast<size_t>(band)];
    for (int ah = 0, al = d; al >= 0; ah = al, --al) {
      jpeg_scan_info s{};
      s.comps_in_scan = 1;
      s.component_index[0] = 0;
      s.Ss = band;
      s.Se = band;
      s.Ah = ah;
      s.Al = al;
      script.push_back(s);
    }
  }
  return script;
}

bool CompressBody(const uint8_t* pixels, int width, int height, size_t stride, const jpeg_scan_info* script,
                  int scans, unsigned char** buffer, unsigned long* size) {
  jpeg_compress_struct cinfo;
  JpegErrorManager err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.output_message = JpegSilentOutput;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  cinfo.scan_info = script;
  cinfo.num_scans = scans;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row[1] = {const_cast<uint8_t*>(pixels + stride * cinfo.next_scanline)};
    jpeg_write_scanlines(&cinfo, row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

// A grey progressive JPEG of `picture` in exactly `scans` scans.
std::vector<uint8_t> EncodeProgressive(const QImage& picture, int scans) {
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  const std::vector<jpeg_scan_info> script = ProgressiveScript(scans);
  EXPECT_EQ(static_cast<int>(script.size()), scans);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = CompressBody(grey.constBits(), grey.width(), grey.height(), static_cast<size_t>(grey.bytesPerLine()),
                               script.data(), static_cast<int>(script.size()), &buffer, &size);
  EXPECT_TRUE(ok);
  std::vector<uint8_t> out(buffer, buffer + (ok ? size : 0));
  std::free(buffer);
  return out;
}

// The number of start-of-scan markers in a JPEG file.
int CountScans(const std::vector<uint8_t>& bytes) {
  int n = 0;
  for (size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) ++n;
  return n;
}

}  // namespace

TEST(Jpeg, EveryPictureSurvivesTheRoundTrip) {
  for (const PictureFile& picture : AllPictures()) {
    SCOPED_TRACE(picture.path);
    const QImage drawn = DrawPicture(picture);
    ASSERT_EQ(drawn.size(), QSize(picture.width, picture.height));
    const std::vector<uint8_t> bytes = Encode(drawn);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    QString err;
    const QImage back = Decode(bytes, &err);
    ASSERT_FALSE(back.isNull()) << err.toStdString();
    EXPECT_EQ(back.size(), drawn.size());
    const Difference d = Compare(drawn, back);
    // Small, sharp-edged pictures lose most to the colour subsampling.
    EXPECT_LT(d.mean, 6.0);
    EXPECT_LT(d.worstBlock, 25.0);
  }
}

TEST(Jpeg, PicturesAreDrawnNotBlank) {
  for (const PictureFile& picture : AllPictures()) {
    const QImage img = DrawPicture(picture).convertToFormat(QImage::Format_RGB888);
    int lit = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const uint8_t* p = img.constScanLine(y) + 3 * x;
        if (p[0] + p[1] + p[2] > 150) ++lit;
      }
    // Between a tenth of a percent and most of the picture is drawn on.
    EXPECT_GT(lit, img.width() * img.height() / 1000) << picture.path;
    EXPECT_LT(lit, img.width() * img.height() * 9 / 10) << picture.path;
  }
}

TEST(Jpeg, LowerQualityIsSmallerAndStillDecodes) {
  const QImage drawn = DrawPicture(kAboutSidePicture);
  const std::vector<uint8_t> high = Encode(drawn, 95), low = Encode(drawn, 20);
  EXPECT_LT(low.size(), high.size());
  const QImage back = Decode(low);
  ASSERT_FALSE(back.isNull());
  EXPECT_LT(Compare(drawn, back).mean, 12.0);
}

TEST(Jpeg, GreyPicturesComeBackAsEqualChannels) {
  QImage grey(40, 24, QImage::Format_Grayscale8);
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x) grey.scanLine(y)[x] = static_cast<uint8_t>(x * 6);
  const QImage back = Decode(Encode(grey));
  ASSERT_FALSE(back.isNull());
  ASSERT_EQ(back.format(), QImage::Format_RGB888);
  for (int y = 0; y < back.height(); ++y)
    for (int x = 0; x < back.width(); ++x) {
      const uint8_t* p = back.constScanLine(y) + 3 * x;
      ASSERT_EQ(p[0], p[1]);
      ASSERT_EQ(p[1], p[2]);
      EXPECT_NEAR(p[0], x * 6, 6);
    }
}

TEST(Jpeg, DamagedDataIsAnErrorNotACrash) {
  const std::vector<uint8_t> good = Encode(DrawPicture(kAboutLogoPicture));
  // Offset of the frame header (SOF0) and its fields.
  size_t sof = 0;
  for (size_t i = 2; i + 1 < good.size(); ++i)
    if (good[i] == 0xFF && good[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  ASSERT_GT(sof, 0u);
  auto with = [&](auto change) {
    std::vector<uint8_t> b = good;
    change(b);
    return b;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"not a JPEG", {'P', 'N', 'G', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"only the start marker", {0xFF, 0xD8}},
      {"cut in the header", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(sof) + 6)},
      {"cut in the picture data", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
      {"a lossless frame", with([&](std::vector<uint8_t>& b) { b[sof + 1] = 0xC3; })},
      {"zero height", with([&](std::vector<uint8_t>& b) { b[sof + 5] = 0; b[sof + 6] = 0; })},
      {"too large", with([&](std::vector<uint8_t>& b) {
         b[sof + 5] = 0xEA; b[sof + 6] = 0x60;  // 60000 x 60000
         b[sof + 7] = 0xEA; b[sof + 8] = 0x60;
       })},
      {"four components announced", with([&](std::vector<uint8_t>& b) { b[sof + 9] = 4; })},
  };
  for (const auto& c : cases) {
    QImage img(3, 3, QImage::Format_RGB888);  // must come back null
    QString err;
    EXPECT_FALSE(DecodeJpeg(c.bytes.data(), c.bytes.size(), &img, &err)) << c.what;
    EXPECT_TRUE(img.isNull()) << c.what;
    EXPECT_FALSE(err.isEmpty()) << c.what;
  }
  QImage img;
  QString err;
  EXPECT_FALSE(DecodeJpeg(nullptr, 0, &img, &err));
  EXPECT_FALSE(err.isEmpty());
  // The good one still decodes after all that.
  EXPECT_TRUE(DecodeJpeg(good.data(), good.size(), &img, &err)) << err.toStdString();
}

TEST(Jpeg, ProgressivePicturesDecodeUpToTheScanLimit) {
  const QImage drawn = DrawPicture(kAboutLogoPicture);
  const std::vector<uint8_t> most = EncodeProgressive(drawn, kMaxJpegScans);
  ASSERT_EQ(CountScans(most), kMaxJpegScans);
  QString err;
  const QImage back = Decode(most, &err);
  ASSERT_FALSE(back.isNull()) << err.toStdString();
  EXPECT_EQ(back.size(), drawn.size());
  EXPECT_LT(Compare(drawn.convertToFormat(QImage::Format_Grayscale8), back).mean, 6.0);
}

TEST(Jpeg, OneScanTooManyIsRefusedLikeADamagedFile) {
  const QImage drawn = DrawPicture(kAboutLogoPicture);
  for (const int scans : {kMaxJpegScans + 1, 64 * 11}) {
    SCOPED_TRACE(scans);
    const std::vector<uint8_t> bytes = EncodeProgressive(drawn, scans);
    ASSERT_EQ(CountScans(bytes), scans);
    QImage img(3, 3, QImage::Format_RGB888);
    QString err;
    EXPECT_FALSE(DecodeJpeg(bytes.data(), bytes.size(), &img, &err));
    EXPECT_TRUE(img.isNull());
    EXPECT_TRUE(err.contains("scans")) << err.toStdString();
  }
}

TEST(Jpeg, PicturesWiderOrTallerThanTheLimitAreRefused) {
  auto plain = [](int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(90, 140, 30));
    return img;
  };
  QString err;
  EXPECT_FALSE(Decode(Encode(plain(kMaxJpegSide, 8)), &err).isNull()) << err.toStdString();
  EXPECT_FALSE(Decode(Encode(plain(8, kMaxJpegSide)), &err).isNull()) << err.toStdString();
  for (const QSize size : {QSize(kMaxJpegSide + 1, 8), QSize(8, kMaxJpegSide + 1)}) {
    err.clear();
    EXPECT_TRUE(Decode(Encode(plain(size.width(), size.height())), &err).isNull()) << size.width() << "x" << size.height();
    EXPECT_TRUE(err.contains("refused")) << err.toStdString();
  }
}

TEST(Jpeg, AFileLargerThanAnyPictureIsNotRead) {
  const QString path = QDir::temp().filePath("velarto_jpeg_large_test.jpg");
  std::vector<uint8_t> bytes = Encode(DrawPicture(kGuitarPicture));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    f.close();
    EXPECT_FALSE(LoadJpegFile(path).isNull());
    // Padding after the end of the picture, which libjpeg never reads.
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_TRUE(f.resize(kMaxJpegFileBytes + 1));
  }
  QString err;
  EXPECT_TRUE(LoadJpegFile(path, &err).isNull());
  EXPECT_TRUE(err.contains("larger")) << err.toStdString();
  QFile::remove(path);
}

TEST(Jpeg, MissingFileIsANullPicture) {
  QString err;
  EXPECT_TRUE(LoadJpegFile("/nonexistent/folder/none.jpg", &err).isNull());
  EXPECT_FALSE(err.isEmpty());
}

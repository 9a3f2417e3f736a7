#include "content/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <jpeglib.h>

#include "platform/files/jpeg_errors.h"

#include "platform/files/atomic_file.h"

namespace {

// ---- drawing ----------------------------------------------------------------

const QColor kGold(214, 170, 70);
const QColor kDeepRed(120, 0, 0);
const QColor kLampRed(230, 30, 20);
const QColor kLampAmber(255, 170, 40);

// A classical guitar standing upright in `box` (head at the top).
void DrawGuitar(QPainter& p, const QRectF& box) {
  const qreal w = box.width(), h = box.height();
  const qreal cx = box.center().x();
  // Body: lower and upper bouts joined at the waist.
  const QRectF lower(cx - 0.46 * w, box.top() + 0.62 * h, 0.92 * w, 0.36 * h);
  const QRectF upper(cx - 0.36 * w, box.top() + 0.44 * h, 0.72 * w, 0.28 * h);
  QPainterPath lowerBout, upperBout, waist;
  lowerBout.addEllipse(lower);
  upperBout.addEllipse(upper);
  waist.addRect(QRectF(cx - 0.30 * w, upper.center().y(), 0.60 * w, lower.center().y() - upper.center().y()));
  const QPainterPath body = lowerBout.united(upperBout).united(waist);
  QRadialGradient wood(QPointF(cx - 0.1 * w, box.top() + 0.72 * h), 0.6 * w);
  wood.setColorAt(0.0, QColor(250, 200, 110));
  wood.setColorAt(0.6, QColor(200, 130, 50));
  wood.setColorAt(1.0, QColor(110, 55, 20));
  p.setPen(QPen(QColor(60, 25, 10), qMax<qreal>(1.0, w * 0.015)));
  p.setBrush(wood);
  p.drawPath(body);
  // Sound hole with its rosette.
  const QPointF hole(cx, box.top() + 0.60 * h);
  const qreal r = 0.13 * w;
  for (int ring = 3; ring >= 1; --ring) {
    p.setPen(Qt::NoPen);
    p.setBrush(ring % 2 ? kGold : kDeepRed);
    p.drawEllipse(hole, r + ring * 0.025 * w, r + ring * 0.025 * w);
  }
  p.setBrush(QColor(20, 8, 4));
  p.drawEllipse(hole, r, r);
  // Bridge.
  p.setBrush(QColor(50, 20, 8));
  p.drawRoundedRect(QRectF(cx - 0.22 * w, box.top() + 0.85 * h, 0.44 * w, 0.035 * h), 2, 2);
  // Neck, frets, head and pegs.
  const QRectF neck(cx - 0.07 * w, box.top() + 0.13 * h, 0.14 * w, 0.36 * h);
  p.setBrush(QColor(70, 35, 15));
  p.drawRect(neck);
  p.setPen(QPen(QColor(200, 200, 200), qMax<qreal>(1.0, h * 0.003)));
  for (int f = 0; f < 10; ++f) {
    const qreal y = neck.top() + neck.height() * (1.0 - std::pow(0.84, f + 1)) * 1.15;
    if (y < neck.bottom()) p.drawLine(QPointF(neck.left(), y), QPointF(neck.right(), y));
  }
  QPainterPath head;
  head.moveTo(cx - 0.07 * w, neck.top());
  head.lineTo(cx - 0.11 * w, box.top() + 0.01 * h);
  head.lineTo(cx + 0.11 * w, box.top() + 0.01 * h);
  head.lineTo(cx + 0.07 * w, neck.top());
  head.closeSubpath();
  p.setPen(QPen(QColor(40, 15, 5), 1));
  p.setBrush(QColor(90, 40, 15));
  p.drawPath(head);
  p.setBrush(kGold);
  p.setPen(Qt::NoPen);
  for (int k = 0; k < 3; ++k) {
    const qreal y = box.top() + (0.03 + 0.035 * k) * h;
    p.drawEllipse(QPointF(cx - 0.14 * w, y), 0.025 * w, 0.012 * h);
    p.drawEllipse(QPointF(cx + 0.14 * w, y), 0.025 * w, 0.012 * h);
  }
  // Six strings from the bridge to the head.
  p.setPen(QPen(QColor(235, 235, 220), qMax<qreal>(0.6, w * 0.006)));
  for (int s = 0; s < 6; ++s) {
    const qreal x = cx - 0.05 * w + s * 0.02 * w;
    p.drawLine(QPointF(x, box.top() + 0.03 * h), QPointF(x, box.top() + 0.86 * h));
  }
}

// The twelve beats of a compás as a clock face; the accented beats of the
// bulerías count (12, 3, 6, 8, 10) are the large red ones.
void DrawCompasWheel(QPainter& p, const QPointF& c, qreal radius) {
  p.setPen(QPen(kGold, qMax<qreal>(1.0, radius * 0.04)));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, radius, radius);
  const int accents[] = {12, 3, 6, 8, 10};
  for (int beat = 1; beat <= 12; ++beat) {
    const qreal a = qDegreesToRadians(beat * 30.0 - 90.0);
    const QPointF at(c.x() + 0.78 * radius * std::cos(a), c.y() + 0.78 * radius * std::sin(a));
    const bool accent = std::find(std::begin(accents), std::end(accents), beat) != std::end(accents);
    p.setPen(Qt::NoPen);
    p.setBrush(accent ? kLampRed : kLampAmber);
    const qreal r = radius * (accent ? 0.13 : 0.07);
    p.drawEllipse(at, r, r);
  }
  // The hand, pointing at beat 12.
  p.setPen(QPen(Qt::white, qMax<qreal>(1.0, radius * 0.05), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c, QPointF(c.x(), c.y() - 0.55 * radius));
  p.setBrush(Qt::white);
  p.drawEllipse(c, radius * 0.06, radius * 0.06);
}

// A pyramid metronome with its pendulum swung to the right.
void DrawMetronome(QPainter& p, const QRectF& box) {
  const qreal w = box.width(), h = box.height();
  QPainterPath body;
  body.moveTo(box.left() + 0.12 * w, box.bottom());
  body.lineTo(box.left() + 0.38 * w, box.top() + 0.04 * h);
  body.lineTo(box.left() + 0.62 * w, box.top() + 0.04 * h);
  body.lineTo(box.left() + 0.88 * w, box.bottom());
  body.closeSubpath();
  QLinearGradient wood(box.topLeft(), box.topRight());
  wood.setColorAt(0.0, QColor(120, 60, 20));
  wood.setColorAt(0.5, QColor(200, 120, 50));
  wood.setColorAt(1.0, QColor(100, 45, 15));
  p.setPen(QPen(QColor(40, 15, 5), 1));
  p.setBrush(wood);
  p.drawPath(body);
  // Scale.
  p.setBrush(QColor(240, 230, 200));
  const QRectF scale(box.left() + 0.44 * w, box.top() + 0.15 * h, 0.12 * w, 0.6 * h);
  p.drawRect(scale);
  p.setPen(QPen(QColor(60, 30, 10), 1));
  for (int k = 1; k < 8; ++k) {
    const qreal y = scale.top() + k * scale.height() / 8;
    p.drawLine(QPointF(scale.left() + 1, y), QPointF(scale.center().x(), y));
  }
  // Pendulum.
  const QPointF pivot(box.left() + 0.5 * w, box.top() + 0.85 * h);
  const QPointF tip(box.left() + 0.72 * w, box.top() + 0.02 * h);
  p.setPen(QPen(QColor(220, 220, 220), qMax<qreal>(1.0, w * 0.025)));
  p.drawLine(pivot, tip);
  const QPointF weight = pivot + (tip - pivot) * 0.55;
  p.setPen(Qt::NoPen);
  p.setBrush(kGold);
  p.drawRect(QRectF(weight.x() - 0.06 * w, weight.y() - 0.04 * h, 0.12 * w, 0.08 * h));
}

// A row of twelve beat lamps, the accented ones large and red.
void DrawLampRow(QPainter& p, const QRectF& box) {
  const int accents[] = {12, 3, 6, 8, 10};
  const qreal step = box.width() / 12.0;
  const qreal cy = box.center().y();
  for (int beat = 1; beat <= 12; ++beat) {
    const bool accent = std::find(std::begin(accents), std::end(accents), beat) != std::end(accents);
    const QPointF at(box.left() + (beat - 0.5) * step, cy);
    const qreal r = std::min(step, box.height()) * (accent ? 0.42 : 0.26);
    QRadialGradient glow(at, r);
    glow.setColorAt(0.0, Qt::white);
    glow.setColorAt(0.35, accent ? kLampRed : kLampAmber);
    glow.setColorAt(1.0, accent ? QColor(80, 0, 0) : QColor(90, 50, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(at, r, r);
  }
}

QImage Canvas(const PictureFile& s, const QColor& fill) {
  QImage img(s.width, s.height, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

// ---- encoding ---------------------------------------------------------------



// C-style body: no object with a destructor lives between setjmp and the
// libjpeg calls. *buffer is libjpeg's (malloc'd) output, freed by the caller.
bool EncodeBody(const uint8_t* pixels, int width, int height, size_t stride, bool grey, int quality,
                unsigned char** buffer, unsigned long* size, char* message) {
  jpeg_compress_struct cinfo;
  JpegErrorManager err;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.output_message = JpegSilentOutput;
  if (setjmp(err.jump)) {
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row[1] = {const_cast<JSAMPLE*>(pixels + stride * cinfo.next_scanline)};
    jpeg_write_scanlines(&cinfo, row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

const std::vector<PictureFile>& AllPictures() {
  static const std::vector<PictureFile> all = {kAboutSidePicture,       kAboutLogoPicture,      kAboutStripPicture,
                                               kMetronomeEmblemPicture, kMetronomeStripPicture, kGuitarPicture};
  return all;
}

const std::vector<PictureFile>& BasicPictures() {
  static const std::vector<PictureFile> all = {kBasicAboutSidePicture, kBasicAboutLogoPicture,
                                               kBasicAboutStripPicture};
  return all;
}

QImage DrawPicture(const PictureFile& picture) {
  const std::string path = picture.path;
  QImage img;
  if (path == kAboutSidePicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, picture.height);
    bg.setColorAt(0.0, QColor(100, 0, 0));
    bg.setColorAt(0.55, QColor(40, 0, 0));
    bg.setColorAt(1.0, Qt::black);
    p.fillRect(img.rect(), bg);
    DrawCompasWheel(p, QPointF(picture.width * 0.5, picture.height * 0.62), picture.width * 0.46);
    DrawGuitar(p, QRectF(picture.width * 0.18, picture.height * 0.04, picture.width * 0.64, picture.height * 0.92));
  } else if (path == kAboutLogoPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawCompasWheel(p, QPointF(picture.height * 0.5 + 6, picture.height * 0.5), picture.height * 0.42);
    DrawMetronome(p, QRectF(picture.width * 0.55, picture.height * 0.1, picture.width * 0.38, picture.height * 0.8));
  } else if (path == kAboutStripPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLampRow(p, QRectF(4, 10, picture.width - 8, picture.height * 0.6));
    p.setPen(QPen(kGold, 2));
    p.drawLine(QPointF(8, picture.height - 14), QPointF(picture.width - 8, picture.height - 14));
  } else if (path == kMetronomeEmblemPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMetronome(p, QRectF(2, 2, picture.width - 4, picture.height - 4));
  } else if (path == kMetronomeStripPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLampRow(p, QRectF(0, 0, picture.width, picture.height));
  } else if (path == kGuitarPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Lying on its side, head to the right.
    p.translate(picture.width, 0);
    p.rotate(90);
    DrawGuitar(p, QRectF(0, 0, picture.height, picture.width));
  } else if (path == kBasicAboutSidePicture.path) {
    // On the orange of the box: a dark red column, the compás wheel and the guitar.
    img = Canvas(picture, QColor(255, 128, 0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, picture.height);
    bg.setColorAt(0.0, QColor(150, 20, 0));
    bg.setColorAt(0.6, QColor(70, 0, 0));
    bg.setColorAt(1.0, QColor(20, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(4, 4, picture.width - 8, picture.height - 8), 10, 10);
    DrawCompasWheel(p, QPointF(picture.width * 0.5, picture.height * 0.64), picture.width * 0.44);
    DrawGuitar(p, QRectF(picture.width * 0.16, picture.height * 0.05, picture.width * 0.68, picture.height * 0.9));
  } else if (path == kBasicAboutLogoPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMetronome(p, QRectF(picture.width * 0.5 - picture.height * 0.35, 2, picture.height * 0.7, picture.height - 4));
    DrawCompasWheel(p, QPointF(picture.height * 0.5 + 8, picture.height * 0.5), picture.height * 0.42);
    DrawCompasWheel(p, QPointF(picture.width - picture.height * 0.5 - 8, picture.height * 0.5),
                    picture.height * 0.42);
  } else if (path == kBasicAboutStripPicture.path) {
    img = Canvas(picture, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLampRow(p, QRectF(4, 4, picture.width - 8, picture.height - 12));
    p.setPen(QPen(kGold, 2));
    p.drawLine(QPointF(8, picture.height - 4), QPointF(picture.width - 8, picture.height - 4));
  } else {
    img = Canvas(picture, Qt::black);
  }
  return img;
}

bool EncodeJpeg(const QImage& image, int quality, std::vector<uint8_t>* out, std::string* error) {
  out->clear();
  if (image.isNull()) {
    if (error) *error = "no picture to encode";
    return false;
  }
  // Grey pictures stay grey (one component); everything else goes as RGB.
  const bool grey = image.format() == QImage::Format_Grayscale8;
  const QImage src = grey ? image : image.convertToFormat(QImage::Format_RGB888);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  char message[JMSG_LENGTH_MAX] = {};
  const bool ok = EncodeBody(src.constBits(), src.width(), src.height(), static_cast<size_t>(src.bytesPerLine()),
                             grey, std::clamp(quality, 1, 100), &buffer, &size, message);
  if (ok && buffer) out->assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok && error) *error = std::string("JPEG encoder: ") + message;
  return ok;
}

namespace {
bool WritePictureList(const std::vector<PictureFile>& pictures, const std::string& root, std::string* error) {
  std::vector<FileToWrite> files;
  for (const PictureFile& picture : pictures) {
    const std::filesystem::path target = std::filesystem::path(root) / picture.path;
    if (!MakeDirs(target.parent_path().string())) {
      if (error) *error = "cannot create the folder " + target.parent_path().string();
      return false;
    }
    FileToWrite f{target.string(), {}};
    std::string why;
    if (!EncodeJpeg(DrawPicture(picture), 90, &f.bytes, &why)) {
      if (error) *error = std::string(picture.path) + ": " + why;
      return false;
    }
    files.push_back(std::move(f));
  }
  return WriteFilesAtomically(files, error);
}
}  // namespace

bool WritePictures(const std::string& root, std::string* error) {
  return WritePictureList(AllPictures(), root, error);
}

bool WriteBasicPictures(const std::string& root, std::string* error) {
  return WritePictureList(BasicPictures(), root, error);
}

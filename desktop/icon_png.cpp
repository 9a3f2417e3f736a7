// Renders one of our hand-written SVG icons into a PNG of a given size, at
// build time, for the icon theme's fixed sizes beside the scalable one. It
// reads the few SVG elements our icons are made of (rect, polygon, line,
// circle; fill, opacity, stroke, rounded corners and a rotation), so the PNG
// sizes always follow the SVG.
//   icon_png <icon.svg> <size> <out.png>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cstdio>
#include <cstdlib>

namespace {

double Num(const QXmlStreamAttributes& a, const char* name, double fallback = 0) {
  bool ok = false;
  const double v = a.value(name).toDouble(&ok);
  return ok ? v : fallback;
}

QColor Colour(const QXmlStreamAttributes& a, const char* name) {
  const QString v = a.value(name).toString();
  if (v.isEmpty() || v == "none") return QColor();
  QColor c(v);
  c.setAlphaF(static_cast<float>(Num(a, "opacity", 1.0)));
  return c;
}

// "rotate(angle cx cy)", the only transform our icons use.
void ApplyTransform(QPainter& p, const QString& t) {
  static const QRegularExpression rotate(R"(rotate\(\s*([-\d.]+)(?:[\s,]+([-\d.]+)[\s,]+([-\d.]+))?\s*\))");
  const auto m = rotate.match(t);
  if (!m.hasMatch()) return;
  const double cx = m.captured(2).toDouble(), cy = m.captured(3).toDouble();
  p.translate(cx, cy);
  p.rotate(m.captured(1).toDouble());
  p.translate(-cx, -cy);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: icon_png <icon.svg> <size> <out.png>\n");
    return 2;
  }
  const int size = std::atoi(argv[2]);
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (size < 8 || size > 1024 || !in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "icon_png: cannot read %s at size %s\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QXmlStreamReader xml(&in);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const QXmlStreamAttributes a = xml.attributes();
    const QStringView tag = xml.name();
    if (tag == u"svg") {
      const QStringList box = a.value("viewBox").toString().split(' ', Qt::SkipEmptyParts);
      const double w = box.size() == 4 ? box[2].toDouble() : Num(a, "width", 256);
      p.scale(size / w, size / w);
      continue;
    }
    p.save();
    ApplyTransform(p, a.value("transform").toString());
    const QColor fill = Colour(a, "fill");
    p.setPen(Qt::NoPen);
    p.setBrush(fill.isValid() ? QBrush(fill) : Qt::NoBrush);
    if (tag == u"rect") {
      const double rx = Num(a, "rx");
      p.drawRoundedRect(QRectF(Num(a, "x"), Num(a, "y"), Num(a, "width"), Num(a, "height")), rx, rx);
    } else if (tag == u"polygon") {
      QPolygonF poly;
      const QStringList pts = a.value("points").toString().split(QRegularExpression("[\\s]+"), Qt::SkipEmptyParts);
      for (const QString& pt : pts) {
        const QStringList xy = pt.split(',');
        if (xy.size() == 2) poly << QPointF(xy[0].toDouble(), xy[1].toDouble());
      }
      p.drawPolygon(poly);
    } else if (tag == u"circle") {
      const double r = Num(a, "r");
      p.drawEllipse(QPointF(Num(a, "cx"), Num(a, "cy")), r, r);
    } else if (tag == u"line") {
      QPen pen(Colour(a, "stroke"), Num(a, "stroke-width", 1));
      pen.setCapStyle(a.value("stroke-linecap") == u"round" ? Qt::RoundCap : Qt::FlatCap);
      p.setPen(pen);
      p.drawLine(QPointF(Num(a, "x1"), Num(a, "y1")), QPointF(Num(a, "x2"), Num(a, "y2")));
    }
    p.restore();
  }
  p.end();
  if (xml.hasError() || !image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "icon_png: %s: %s\n", argv[1], xml.hasError() ? qPrintable(xml.errorString()) : "cannot write");
    return 1;
  }
  return 0;
}

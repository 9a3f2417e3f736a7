// The program's pictures, drawn by us: the about box's guitar, emblem and
// beat strip, the metronome panel's emblem and strip, the guitar panel's
// guitar. The content generator writes them as JPEG files into the working
// folder; the windows decode them at run time.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

struct PictureFile {
  const char* path;  // relative to the working folder
  int width;
  int height;
};

inline constexpr PictureFile kAboutSidePicture{"Imagenes/acercade.jpg", 269, 484};
inline constexpr PictureFile kAboutLogoPicture{"Imagenes/logo.jpg", 277, 158};
inline constexpr PictureFile kAboutStripPicture{"Imagenes/compas.jpg", 283, 109};
inline constexpr PictureFile kMetronomeEmblemPicture{"Imagenes/metronomo.jpg", 56, 56};
inline constexpr PictureFile kMetronomeStripPicture{"Imagenes/lamparas.jpg", 200, 20};
inline constexpr PictureFile kGuitarPicture{"Imagenes/guitarra.jpg", 100, 48};

// The basic edition's about box: the tall picture on its left, the emblem at
// the top of its black panel and the beat strip under the addresses.
inline constexpr PictureFile kBasicAboutSidePicture{"Imagenes/acercade_basico.jpg", 150, 314};
inline constexpr PictureFile kBasicAboutLogoPicture{"Imagenes/logo_basico.jpg", 285, 64};
inline constexpr PictureFile kBasicAboutStripPicture{"Imagenes/compas_basico.jpg", 285, 40};

// Every picture of the professional edition, in a fixed order.
const std::vector<PictureFile>& AllPictures();
// The basic edition's pictures.
const std::vector<PictureFile>& BasicPictures();

// Draws one picture at its size (Format_RGB32). Shapes only: no text, so it
// needs no fonts and no application object.
QImage DrawPicture(const PictureFile& picture);

// Baseline JPEG of an image (quality 1..100). False with *error on failure.
bool EncodeJpeg(const QImage& image, int quality, std::vector<uint8_t>* out, std::string* error);

// Draws, encodes and writes every picture below root (atomically, replacing
// files of the same names).
bool WritePictures(const std::string& root, std::string* error);
// The same for the basic edition's pictures.
bool WriteBasicPictures(const std::string& root, std::string* error);

// make_factory <folder>: writes the factory sound bank, the factory data set,
// the empty folders, the pictures and the user manual of a working folder.
// make_factory --basic <folder>: the same for the basic edition: its factory
// set with its own sounds, its pictures and the documents of its help menu.
#include <QApplication>
#include <cstdio>
#include <string>

#include "app/window/manual_window.h"
#include "basic/window/basic_manual_window.h"
#include "content/basic_factory.h"
#include "content/factory_set.h"
#include "content/pictures.h"
#include "platform/ui/quiet_start.h"

int main(int argc, char** argv) {
  QuietStart();
  // make_factory --basic <folder>: the basic edition's working folder.
  if (argc == 3 && std::string(argv[1]) == "--basic") {
    std::string error;
    if (!WriteBasicWorkingFolder(argv[2], &error) || !WriteBasicPictures(argv[2], &error)) {
      std::fprintf(stderr, "make_factory: %s\n", error.c_str());
      return 1;
    }
    // The documents of the help menu show the basic window, built offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (!WriteBasicDocuments(argv[2], &error)) {
      std::fprintf(stderr, "make_factory: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s [--basic] <working folder>\n", argc > 0 ? argv[0] : "make_factory");
    return 1;
  }
  const std::string root = argv[1];
  std::string error;
  if (!WriteWorkingFolder(root, &error)) {
    std::fprintf(stderr, "make_factory: %s\n", error.c_str());
    return 1;
  }
  // The manual is laid out with real fonts and shows pictures of the
  // program's window, which takes an application object; no display is
  // needed for it.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  if (!WritePictures(root, &error) || !WriteManual(root, &error)) {
    std::fprintf(stderr, "make_factory: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

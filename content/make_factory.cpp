// make_factory <folder>: writes the factory sound bank, the factory data set
// and the empty folders of a working folder.
#include <cstdio>
#include <string>

#include "content/factory_set.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <working folder>\n", argc > 0 ? argv[0] : "make_factory");
    return 1;
  }
  std::string error;
  if (!WriteWorkingFolder(argv[1], &error)) {
    std::fprintf(stderr, "make_factory: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

// Uses nothing of the library but its version: linked against either form, the library's start-up
// work must have run all the same. Prints the version; fails when no picture quantizer is installed.
#include <cstdio>

#include "host/graphics/Graphics.h"
#include "util/Version.h"

int main() {
  std::puts(vantora::VersionString());
  return vantora::host::PictureQuantizer() ? 0 : 1;
}

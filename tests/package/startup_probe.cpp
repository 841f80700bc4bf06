// Uses nothing of the library but its version and its class registry: linked against either form,
// the library's start-up work must have run all the same. Prints the version; fails when no picture
// quantizer is installed or when a form stream could not find a control, widget or dialog class.
#include <cstdio>

#include "host/classes/TypeInfo.h"
#include "host/graphics/Graphics.h"
#include "util/Version.h"

int main() {
  std::puts(vantora::VersionString());
  for (const char* name : {"TFulgoLabel", "TFulgoButton", "TLabel", "TColorDialog"})
    if (!vantora::host::GetClass(name)) {
      std::fprintf(stderr, "class %s is not registered\n", name);
      return 1;
    }
  return vantora::host::PictureQuantizer() ? 0 : 1;
}

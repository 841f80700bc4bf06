// What the library sets up when a program loads it. The shared library and the static one (its
// objects linked into one) both bring this unit along whole, so no program has to ask for it.
#include "palette/PicturePalette.h"

namespace vantora {

namespace {

struct tLibraryStartup {
  tLibraryStartup() { InstallPictureQuantizer(); }
};

const tLibraryStartup startup;

}  // namespace

}  // namespace vantora

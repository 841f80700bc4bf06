// render_look: renders a look (a control file, in text or binary form, whose root holds an art) to
// an 8-bit PNG (or BMP, by the name's extension) through Vantora's public API.
//
//   render_look LOOK OUT.png [SHAPES]
//
// SHAPES names the shape file to warp shaped objects with; without it the settings file names one.
#include <iostream>

#include "core/Fuldib.h"
#include "effects/Shapes.h"
#include "host/classes/Errors.h"
#include "host/classes/Stream.h"
#include "model/Fullblart.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: render_look LOOK OUT.png [SHAPES]\n";
    return 2;
  }
  if (argc == 4) vantora::SetShapeFilePath(argv[3]);
  try {
    vantora::host::TFileStream look(argv[1], vantora::host::TFileMode::fmOpenRead);
    vantora::tFulgoLabelArt art(nullptr);
    art.LoadFromStream(look);
    art.Render();
    vantora::SavePicture(*art.Dib, argv[2]);
  } catch (const vantora::host::Exception& e) {
    std::cerr << "render_look: " << e.Message() << "\n";
    return 1;
  }
  return 0;
}

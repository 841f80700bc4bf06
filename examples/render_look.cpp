// render_look: renders a look (a control file, in text or binary form, whose root holds an art) to
// an 8-bit PNG through Vantora's public API.
//
//   render_look LOOK OUT.png [SHAPES]
//
// SHAPES names the shape file to warp shaped objects with; without it the settings file names one.
#include <cstring>
#include <iostream>
#include <string>

#include "core/DibLayout.h"
#include "effects/Shapes.h"
#include "host/classes/Errors.h"
#include "host/classes/Stream.h"
#include "host/graphics/PictureFile.h"
#include "model/Fullblart.h"

namespace {

// A rendered face is an 8-bit DIB block: headers, colour table, rows.
void WritePng(const vantora::tFulgoDib& face, const std::string& path) {
  // Blocks are only 2-byte aligned, so the headers are copied out before they are read.
  vantora::host::BITMAPINFO256 info;
  std::memcpy(&info, face.Dib + vantora::dib::kFileHeaderSize, sizeof info);
  vantora::host::WritePngFile(path, reinterpret_cast<const vantora::host::BITMAPINFO*>(&info),
                              vantora::dib::Bits(face.Dib));
}

}  // namespace

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
    WritePng(*art.Dib, argv[2]);
  } catch (const vantora::host::Exception& e) {
    std::cerr << "render_look: " << e.Message() << "\n";
    return 1;
  }
  return 0;
}

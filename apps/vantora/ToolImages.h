// Pictures the tool writes: 8-bit faces as PNG or BMP files, and contact sheets of labelled faces.
#pragma once

#include <string>
#include <vector>

#include "core/Fuldib.h"
#include "core/RgbaImage.h"

namespace vantora::tool {

// Raises UsageError unless Path ends in .png or .bmp (in any case), the forms a face is written in;
// checked before the work that makes the face.
void CheckFacePath(const std::string& Path);
// Writes the face as an 8-bit PNG, or as its DIB block when Path ends in .bmp. With
// ClearTransparent the PNG's transparency chunk makes the transparent index clear.
void WriteFace(const tFulgoDib& Dib, const std::string& Path, bool ClearTransparent = false);
// Writes a picture with alpha as an RGBA PNG; Path must end in .png.
void WriteRgbaFace(const TRgbaImage& Image, const std::string& Path);
// The pictures in a row, Gap clear pixels apart, top-aligned.
TRgbaImage SideBySide(const std::vector<TRgbaImage>& Images, int Gap);

// Faces laid out in a grid on white, each in its own colours, with a caption under each.
class ContactSheet {
 public:
  explicit ContactSheet(int Columns) : columns_(Columns) {}
  void Add(const std::string& Caption, const tFulgoDib& Dib) { cells_.push_back({Caption, &Dib}); }
  void Write(const std::string& Path) const;

 private:
  struct Cell {
    std::string caption;
    const tFulgoDib* dib;
  };
  int columns_;
  std::vector<Cell> cells_;
};

}  // namespace vantora::tool

// Fonts of the drawing layer: fontconfig finds the face a font record names, FreeType renders its
// letters as two-state (not anti-aliased) bitmaps. Faces, sizes and rendered letters are cached.
// Only the drawing layer's own sources include this header.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora::host::detail {

// A two-state bitmap: rows of Pitch bytes, most significant bit first. Left and Top place its
// top-left pixel relative to an origin, in device directions (y grows downwards).
struct MonoBitmap {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int pitch = 0;
  std::vector<std::uint8_t> bits;
  bool Empty() const { return width <= 0 || height <= 0; }
};

// Placement of one letter along the unrotated baseline, in pixels.
struct LetterMetrics {
  int a = 0;        // from the pen position to the left edge of the black box
  int b = 0;        // width of the black box
  int c = 0;        // from its right edge to the next pen position
  int advance = 0;  // a + b + c
};

struct FtFace;

// One font record made concrete: a face at a size, with its style and rotation.
class RealizedFont {
 public:
  RealizedFont(std::shared_ptr<FtFace> face, const LOGFONTA& record);
  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;
  ~RealizedFont();

  const TEXTMETRICA& Metrics() const { return metrics_; }
  bool HasOutlines() const { return outlines_; }
  const std::string& FaceName() const { return faceName_; }
  double Angle() const { return angle_; }  // radians, counter-clockwise
  // Distances below the baseline (negative: above) of the top of the underline and strike-out
  // strokes, and their thicknesses.
  int UnderlineTop() const { return underlineTop_; }
  int UnderlineSize() const { return underlineSize_; }
  int StrikeOutTop() const { return strikeOutTop_; }
  int StrikeOutSize() const { return strikeOutSize_; }

  // Character codes are Windows-1252 bytes.
  const LetterMetrics& Measure(std::uint8_t code);
  // The letter as drawn, rotated by the escapement; its origin is the pen position on the baseline.
  const MonoBitmap& Glyph(std::uint8_t code);

 private:
  struct Letter {
    LetterMetrics metrics;
    MonoBitmap bitmap;
  };
  Letter Render(std::uint8_t code, bool rotated);
  unsigned GlyphIndex(std::uint8_t code) const;
  // The steps of the constructor: what the record alone decides, then the sizes of an outline face
  // (its strokes apart) or of a bitmap face.
  void SetRecordMetrics();
  void SizeOutlines();
  void SizeStrokes(double scale, double em);
  void SelectStrike();

  std::shared_ptr<FtFace> face_;
  void* size_ = nullptr;  // the FreeType size object of this font
  LOGFONTA record_;
  TEXTMETRICA metrics_{};
  std::string faceName_;
  bool outlines_ = false;
  long embolden_ = 0;   // 26.6 pixels added to every stem, 0 when the face is bold itself
  bool slant_ = false;  // the face is upright and the record asks for italic
  double angle_ = 0;
  int underlineTop_ = 0, underlineSize_ = 1, strikeOutTop_ = 0, strikeOutSize_ = 1;
  std::array<std::unique_ptr<Letter>, 256> upright_{};
  std::array<std::unique_ptr<Letter>, 256> turned_{};
};

// The realised font for a record, from the cache when it has been realised before. Never null.
std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA& record);

// Makes the faces in a font file available to the matching; answers how many were added.
int AddFontFile(const std::string& path);

// Fills a polygon (device coordinates) within Clip as the two-state rasteriser does for letters:
// the pixels whose centres lie inside. The result is placed relative to the device origin.
MonoBitmap RasterizePolygon(const double (*points)[2], int count, const RECT& clip);

}  // namespace vantora::host::detail
VANTORA_API_END

// Unit Fulgrd: tFulgoGradient, a gradient of up to ten colour stops drawn linear at an angle, as
// concentric rectangles or as concentric circles into an 8-bit bitmap whose colour table holds one
// entry per ramp position. The colour fill owns one and asks it for a bitmap when it fills with a
// gradient; the gradient editor edits it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "base/Prophelp.h"
#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "host/classes/Filer.h"
#include "host/classes/Stream.h"

VANTORA_API_BEGIN
namespace vantora {

// A colour stop. The colour bytes are in colour-table order, so they copy into a table as they are.
struct tVortex {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;  // always streamed as 0
  // Ramp steps from this stop to the next; zero or less ends the list.
  std::int16_t Steps = 0;
  std::uint8_t Index = 0;  // streamed, not used by rendering
  std::uint8_t Padding = 0;

  bool operator==(const tVortex&) const = default;
};
static_assert(sizeof(tVortex) == 8);

inline constexpr int kMaxVortex = 10;

// Values of GradType.
inline constexpr std::int16_t kGradLinear = 1;
inline constexpr std::int16_t kGradRectangular = 2;
inline constexpr std::int16_t kGradCircular = 4;

// The longest ramp: one palette entry per position, and 247 (transparent) must stay out of reach.
inline constexpr int kMaxRamp = 235;

// A gradient ready to paint: its colour table, and a working picture from which any pixel of the
// gradient's bitmap is read without drawing that bitmap whole. Pixel (row, column) of the working
// picture is Pixels()[RowStart[row] + ColumnOffset[column]]; a linear gradient keeps only its ramp
// line there, which every row (or column) shows shifted.
class tGradientPicture {
 public:
  tGradientPicture() = default;
  tGradientPicture(const tGradientPicture&) = delete;
  tGradientPicture& operator=(const tGradientPicture&) = delete;

  // The size of the gradient's bitmap.
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // The working picture's size; it is stretched to Width x Height when they differ.
  std::int32_t WorkWidth = 0;
  std::int32_t WorkHeight = 0;
  // The ramp colour of pixels that no ring reaches, and of a linear bitmap's row padding.
  std::uint8_t Highest = 0;
  std::array<std::uint8_t, dib::kColorTableSize> Table{};
  std::vector<std::uint8_t> Line;
  // Rectangles and circles: the rings drawn at the working size.
  tFulgoDib Rings;
  std::vector<std::int32_t> RowStart;
  std::vector<std::int32_t> ColumnOffset;

  const std::uint8_t* Pixels() const { return Rings.Empty() ? Line.data() : dib::Bits(Rings.Dib); }
  // The gradient's bitmap, whole.
  MemBlock RenderOwned() const;
  // The pixels of the gradient stretched to W x H: pixel (i, j), memory rows, is Rows[j][Columns[i]].
  void SampleGrid(std::int32_t W, std::int32_t H, std::vector<std::int32_t>& Columns,
                  std::vector<const std::uint8_t*>& Rows) const;
  // Paints Target as StretchThrough of the gradient's bitmap would, reading only the pixels the
  // stretch lands on.
  void StretchOnto(tFulgoDib& Target, const std::uint8_t* Map, std::uint8_t Transparent) const;
};

class tFulgoGradient : public tFulgoPersistent, public IChangeRecord {
  VANTORA_PERSISTENT(tFulgoGradient)

  explicit tFulgoGradient(tFulgoPersistent* AOwner);

  // One word behind the legacy properties Width, Height, GradientNo, x and y: older form streams
  // still load, and the values have no effect.
  std::int16_t LegacyStorage = 0;
  std::uint8_t BackColour = 0;  // legacy, not used by rendering
  std::int16_t GradType = kGradLinear;
  std::int16_t GradWidth = 110;
  std::int16_t GradHeight = 110;
  // Direction of a linear gradient in degrees, counter-clockwise, 0 = left to right.
  std::int16_t Angle = 0;
  bool Discr = false;       // flat bands instead of interpolated colours
  std::int16_t InMode = 0;  // 0 linear, 1..4 the curves
  std::array<tVortex, kMaxVortex> Vortex{};
  // Whether "ZizeruWiz" is written; kept by the owning colour fill.
  bool StoreVortex = false;

  void SetDefaults();
  void Init() override;

  std::int16_t GetGradType() const { return GradType; }
  void SetGradType(std::int16_t Value);
  std::int16_t GetGradWidth() const { return GradWidth; }
  void SetGradWidth(std::int16_t Value);
  std::int16_t GetGradHeight() const { return GradHeight; }
  void SetGradHeight(std::int16_t Value);
  std::int16_t GetAngle() const { return Angle; }
  void SetAngle(std::int16_t Value);
  bool GetDiscr() const { return Discr; }
  void SetDiscr(bool Value);
  std::int16_t GetInMode() const { return InMode; }
  void SetInMode(std::int16_t Value);

  // Renders the gradient and gives the block to Dib. A gradient that cannot be rendered (no steps,
  // no memory) shows "Error while creating gradient" and leaves Dib as it was; an unknown GradType
  // draws nothing. Linear rendering stores Angle back normalised to 0..359.
  void CreateGradient(tFulgoDib& Dib);
  // What CreateGradient draws, as a picture to paint from; nullptr where CreateGradient would leave
  // Dib as it was (after the same message).
  std::unique_ptr<tGradientPicture> MakePicture();
  // What MakePicture makes, kept while the settings it is made from stay the same: a fill paints
  // from it at every render, and most renders do not change the gradient.
  std::shared_ptr<const tGradientPicture> SharedPicture();

  // Copies the shape, size, mode and all ten stops into another gradient, without rebuilding it.
  void AssignTo(host::TPersistent* Dest) const override;
  void DefineProperties(host::TFiler& Filer) override;

  // The "ZizeruWiz" list: six integers per stop (blue, green, red, 0, steps, index), up to and
  // including the first stop with no steps. Reading keeps at most ten stops and changes nothing
  // when the list is malformed.
  void ReadVortexArray(host::TReader& Reader);
  void WriteVortexArray(host::TWriter& Writer) const;
  void SaveToStream(host::TStream& Stream) const;
  void LoadFromStream(host::TStream& Stream);

  // The change record that stands in for a nested difference record (tagged integers). A record
  // that is malformed or holds values that do not fit their fields raises "Error reading stream"
  // and changes nothing.
  bool WriteChanges(host::TStream& Stream, const host::TPersistent* Reference) override;
  void ReadChanges(host::TStream& Stream) override;

  // Interpolates one channel from C1 (position 0) to C2 (position Len) into Out[0..Len]; InMode 1..4
  // follows a curve, anything else is linear. Len must be at least 1.
  static void CalcInnerColors(std::uint8_t C1, std::uint8_t C2, std::int16_t Len, std::uint8_t* Out,
                              std::int16_t InMode);

 private:
  // Everything a picture is made from; the fields are public, so the picture is checked against
  // them rather than told of changes.
  struct tPictureSource {
    std::int16_t GradType, GradWidth, GradHeight, Angle;
    bool Discr;
    std::int16_t InMode;
    std::array<tVortex, kMaxVortex> Vortex;
    bool operator==(const tPictureSource&) const = default;
  };
  tPictureSource PictureSource() const;
  std::optional<tPictureSource> pictureSource_;
  std::shared_ptr<const tGradientPicture> picture_;
};

}  // namespace vantora
VANTORA_API_END

// The library's one bitmap class, tFulgoDib: the owner of a DIB block (an 8-bit BMP image in memory)
// with its logical palette and transparent index, and the operations that make, measure, recolour,
// mask, crop, compose, scale, capture and draw it. tFulgoGlyph makes a bitmap a streamable published
// property ("DIB1" records).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "VantoraExport.h"
#include "core/DibLayout.h"
#include "core/Grputil.h"
#include "core/uMemory.h"
#include "host/classes/Filer.h"
#include "host/classes/Persistent.h"
#include "host/classes/Stream.h"
#include "host/classes/Types.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora {

namespace host {
class TBitmap;
class TCanvas;
}  // namespace host

// Bitmap sizes: 0..32048.
using TWidth = std::uint16_t;
using THeight = std::uint16_t;
inline constexpr std::uint16_t kMaxBitmapSide = 32048;

// The library's transparent index: no pixel.
inline constexpr std::uint8_t kTransparentIndex = 247;

class tFulgoDib {
 public:
  tFulgoDib() = default;
  tFulgoDib(const tFulgoDib&) = delete;
  tFulgoDib& operator=(const tFulgoDib&) = delete;
  ~tFulgoDib();

  // The pixels: a block from mGETMEM, owned by this object; null when empty.
  std::uint8_t* Dib = nullptr;
  // The logical palette made by GetLogPalette; null when none.
  host::Owned<host::HPALETTE> PaletteHandle;
  // The index that means no pixel for MakeEmpty, MakeMask and the compositing.
  std::uint8_t TransparentIndex = kTransparentIndex;

  // Releases the block and the palette.
  void FreeDib();
  bool Empty() const { return Dib == nullptr; }
  // Takes over Other's block after releasing this one's; Other becomes empty.
  void GrabDib(tFulgoDib& Other);
  // Takes Block as its pixels, releasing the block and the palette held before, as GrabDib does.
  void AdoptBlock(MemBlock Block);
  // Hands the block over to the caller; the bitmap becomes empty and keeps its palette.
  MemBlock ReleaseBlock();

  // Each stores a fresh block in Dib without releasing one held before: callers empty the bitmap
  // first. A side above kMaxBitmapSide raises EFulgoError. MakeNew clears the rows.
  void MakeNew(TWidth Width, THeight Height);
  void NewColored(TWidth Width, THeight Height, std::uint8_t Index);
  void MakeEmpty(TWidth Width, THeight Height);
  // MakeNew with the rows left as they come: the caller writes every byte of them, padding included.
  void MakeUnwritten(TWidth Width, THeight Height);
  // MakeNew holding Source scaled as Stretch does: only the row padding needs clearing.
  void MakeStretched(const tFulgoDib& Source, TWidth Width, THeight Height);

  TWidth GetWidth() const { return Dib ? dib::Width(Dib) : 0; }
  THeight GetHeight() const { return Dib ? dib::Height(Dib) : 0; }
  // Bytes from one memory row to the next: the width rounded up to 4.
  std::size_t Stride() const { return dib::RowStride(GetWidth()); }
  // The first pixel of memory row Y (row 0 is the bottom row of the picture).
  std::uint8_t* Row(std::int32_t Y) { return const_cast<std::uint8_t*>(std::as_const(*this).Row(Y)); }
  const std::uint8_t* Row(std::int32_t Y) const {
    assert(Dib && Y >= 0 && Y < GetHeight());
    return dib::Bits(Dib) + static_cast<std::size_t>(Y) * Stride();
  }
  // Headers, colour table and padded rows: what streaming and saving write. 0 when empty.
  std::uint32_t GetDibMemorySize() const;

  // Colour-table entries as 32-bit values, blue in the low byte, through RGBToTColor. These and the
  // other operations on the block raise ENoBMPInSource on an empty bitmap.
  TColor GetColor(std::uint8_t Index) const;
  void SetColor(std::uint8_t Index, TColor Value);
  // Copies the 256 colour-table entries of Block; the palette made from the old ones is deleted.
  void GetPaletteFrom(const std::uint8_t* Block);
  // A logical palette of the colour table, kept in PaletteHandle (the one held before is deleted):
  // the current system palette with every non-black table entry put in its place, the free entries
  // marked PC_NOCOLLAPSE. Raises EDontCreatDib on an empty bitmap.
  host::HPALETTE GetLogPalette();

  // An 8-bit capture of Bitmap through its own palette, replacing the block held before. A side
  // above kMaxBitmapSide raises EFulgoError, an empty bitmap EInvalidGraphic "Invalid Bitmap".
  void GetGlyphData(host::TBitmap& Bitmap);

  // Converts a 4-bit block held in Dib into an 8-bit one (static colours at their fixed indices, the
  // others from 10 on). Raises EFulgoError for a block of another depth.
  void From16To256();
  // Pixels of the first table entry (0..254) equal to Color become TransparentIndex, all others 255.
  void MakeMask(TColor Color);

  struct TOrigin {
    std::int32_t X = 0;  // column
    std::int32_t Y = 0;  // memory row, from the bottom
  };
  // The bounding box of the pixels that are not 247. Answers false, with zero results, when there
  // is none (an empty or all-transparent bitmap).
  bool FindMinSize(TWidth& Width, THeight& Height, TOrigin& Origin) const;
  // Crops to that box; a bitmap without one is left unchanged.
  void ChangeToMinSize();

  // Replaces the block by the union of Self over Other, Other's memory-row origin at (X, Y) of
  // Self's. With Swap the roles of the two blocks are exchanged first (for CopyOver).
  void IndCopy(tFulgoDib& Other, std::int16_t X, std::int16_t Y, bool Swap);
  // Other laid over Self, Other's top-left corner at top-down (X, Y); the result grows to hold both.
  void CopyOver(tFulgoDib& Other, std::int16_t X, std::int16_t Y);
  // Self laid over Other placed at top-down (X, Y); the result grows to hold both.
  void CopyUnder(tFulgoDib& Other, std::int16_t X, std::int16_t Y);
  // CopyUnder for an Other that is used no more, which is left empty: when Other's rectangle holds
  // Self's, the result is made in Other's block and only Self's pixels move.
  void LayUnder(tFulgoDib& Other, std::int16_t X, std::int16_t Y);
  // CopyOver with Y counted between the bottom edges.
  void DibCopyData(tFulgoDib& Other, std::int16_t X, std::int16_t Y);
  // Other's pixels that are not 247 written into Self at top-down (X, Y), clipped to Self.
  void CutCopy(const tFulgoDib& Other, std::int16_t X, std::int16_t Y);
  // CopyDIB of Source into Self's block with Self's TransparentIndex.
  void CopyFromDib(const std::uint8_t* Source, std::int16_t X, std::int16_t Y);
  // A new block of the given size holding the picture scaled as Stretch does, with this bitmap's
  // colour table. The caller owns it.
  std::uint8_t* ResizeDib(TWidth Width, THeight Height) const;
  // ResizeDib with the block in an owner.
  MemBlock ResizeDibOwned(TWidth Width, THeight Height) const;

  // Drawing on a device, positions top-down. An empty bitmap draws nothing.
  // The whole picture at (X, Y), opaque, in the colours of its table.
  void Draw(host::HDC DC, std::int16_t X, std::int16_t Y) const;
  // The picture at (X, Y) with its 247 pixels left out, clipped to ClipWidth x ClipHeight from the
  // device origin: a mask ANDed onto the device, then the picture ORed into the holes. The colour
  // table is the same after the call as before.
  void DrawTransparent(host::HDC DC, std::int32_t ClipWidth, std::int32_t ClipHeight, std::int16_t X,
                       std::int16_t Y) const;
  // The picture merged with what the device shows under it at (X, Y), then drawn opaque. What lies
  // under the 247 pixels is taken at the nearest colour of the table.
  void DrawTransp(host::HDC DC, std::int16_t X, std::int16_t Y) const;
  // An AreaWidth x AreaHeight area filled with Color and carrying the picture at (X, Y), drawn at
  // (0, 0) of Canvas. The table entry at TransparentIndex takes Color and keeps it.
  void DrawFill(host::TCanvas& Canvas, TColor Color, std::int32_t AreaWidth, std::int32_t AreaHeight,
                std::int16_t X, std::int16_t Y);
};

// Source's pixels other than Transparent written into Dest with Source's memory-row origin at
// (X, Y) of Dest's, clipped on all four edges.
void CopyDIB(std::uint8_t* Dest, const std::uint8_t* Source, std::int16_t X, std::int16_t Y,
             std::uint8_t Transparent);

// The streamable owner of a bitmap, used by every picture property. Its pixels are stored as the
// binary property "ButtonStates": the "DIB1" record.
class tFulgoGlyph : public host::TPersistent {
  VANTORA_PERSISTENT(tFulgoGlyph)

  tFulgoGlyph();
  ~tFulgoGlyph() override;

  bool HasDib = false;
  std::unique_ptr<tFulgoDib> Dib;
  // The has-data flag of the stream property; the owning colour fill also sets it directly.
  bool HasData = false;
  host::TNotifyEvent OnChange;

  void Init();
  void FreeDib();
  void SetHasData(bool Value);
  bool Empty() const;
  TWidth GetWidth() const;
  THeight GetHeight() const;

  // Target gets a copy of the whole block (headers, colour table, rows); empty when this is.
  void MakeDuplicate(tFulgoDib& Target) const;
  // Dest must be a tFulgoGlyph, else EFulgoError "Can assign only to a FulgoGlyph".
  void AssignTo(host::TPersistent* Dest) const override;
  virtual void Changed();
  void DefineProperties(host::TFiler& Filer) override;

  void ReadImage(host::TStream& Stream) { LoadFromStream(Stream); }
  void WriteImage(host::TStream& Stream) const { SaveToStream(Stream); }
  void SaveToStream(host::TStream& Stream) const;
  // Reads a "DIB1" record. The block is checked before it is taken: a record whose block is not a
  // consistent 8-bit DIB raises EFulgoError naming the fault, and any failure after the first string
  // leaves the glyph empty.
  void LoadFromStream(host::TStream& Stream);

  // An 8-bit capture of Bitmap; an empty host bitmap leaves the glyph empty.
  void GetGlyphData(host::TBitmap& Bitmap);
  // Loads a BMP, PNG or JPEG file and captures it; the picture file's errors pass on, with the glyph
  // as it was.
  void LoadFromFile(const std::string& FileName);

  // Lend a bitmap object to the glyph and take it back; between ReleaseDib and GetDib the glyph
  // holds no bitmap object.
  void GetDib(std::unique_ptr<tFulgoDib> ADib);
  std::unique_ptr<tFulgoDib> ReleaseDib();
};

// Writes the block unchanged (GetDibMemorySize bytes): a BMP file. An empty bitmap writes nothing.
void SaveDib(const tFulgoDib& Dib, const std::string& FileName);
void SaveDib(const tFulgoDib& Dib, host::TStream& Stream);
// Writes the bitmap as a picture file chosen by FileName's extension, in any case: ".png" an 8-bit
// palette PNG of the colour table, ".bmp" an 8-bit BMP. Another extension raises EFulgoError, an empty
// bitmap ENoBMPInSource; the file is not touched then. With ClearTransparent a PNG marks the
// bitmap's TransparentIndex clear in its transparency chunk.
void SavePicture(const tFulgoDib& Dib, const std::string& FileName, bool ClearTransparent = false);

}  // namespace vantora
VANTORA_API_END

// The palette builder, tFulgoOnePalette: collects the colours of many 8-bit bitmaps and brushes,
// reduces the distinct colours to what a 256-colour display can show at once (median cut, least
// split box first, then a nearest-colour inverse map), lays out the palette around the system's
// static colours, and remaps each bitmap's pixels to it. A builder serves one render, or one render
// after another through Restart; a caller that keeps the palette takes PaletteHandle
// (PaletteHandle.release()).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "VantoraExport.h"
#include "core/Fuldib.h"
#include "core/Grputil.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoOnePalette {
 public:
  // A distinct colour, linked into the list of the box that holds it.
  struct TColorRecord {
    std::uint8_t Color[4];  // blue, green, red, reserved: exactly as in a colour table
    std::int32_t Number;    // its own position
    std::int32_t Next;      // next record of the same list, -1 at the end
  };

  struct TBox {
    std::int32_t Head;    // first record of its list
    std::int32_t Count;   // records in the list
    std::uint16_t Level;  // splits in its history
    std::uint8_t RedMin, RedMax, GreenMin, GreenMax, BlueMin, BlueMax;
  };

  // One palette entry in colour-table layout; Flag is 4 for a fixed brush.
  struct TEntry {
    std::uint8_t Blue, Green, Red, Flag;
  };

  struct TRGBTriple {
    std::uint8_t Blue, Green, Red;
  };

  // At most this many reduced colours (entries 10..245).
  static constexpr int kMaxReduced = 236;
  // Bitmap numbers are 16-bit; slot 0 of DibMaps is not used.
  static constexpr int kMaxDibs = 0xFFFF;
  // 256 table entries: the record numbers of one registered bitmap's colours.
  using TDibMap = std::array<std::int32_t, 256>;
  // The reduced colours of a median cut, box by box; entries past the last box are black.
  using TReducedColors = std::array<TRGBTriple, kMaxReduced>;

  tFulgoOnePalette();
  tFulgoOnePalette(const tFulgoOnePalette&) = delete;
  tFulgoOnePalette& operator=(const tFulgoOnePalette&) = delete;
  // Deletes PaletteHandle unless a caller has taken it.
  ~tFulgoOnePalette();

  host::Owned<host::HPALETTE> PaletteHandle;
  // 255 when BuildPalette had to reduce the colours, 0 when they fit.
  std::uint8_t UseMedianCut = 0;
  // Per registered bitmap (numbers 1, 2, ...), the record number of each table entry.
  std::vector<TDibMap> DibMaps;
  // Per colour record, the reduced colour it maps to; made by BuildPalette when reducing.
  std::vector<std::uint16_t> ColorMap;
  // The fixed brush colours (red in the low byte), in registration order; FixCount are used.
  std::vector<TColor> FixBrushes;
  // Makes room for records without clearing it: a record is written whole when its colour is added,
  // and none past ColorCount is read.
  template <class T>
  struct TUnclearedAllocator : std::allocator<T> {
    TUnclearedAllocator() = default;
    template <class U>
    explicit TUnclearedAllocator(const TUnclearedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* at) noexcept {
      ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
      ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
  };
  // The distinct colours; ColorCount are used. The table holds 1024 records at first and grows by
  // 1024 whenever fewer than 256 are left, so one bitmap's table always fits.
  std::vector<TColorRecord, TUnclearedAllocator<TColorRecord>> Colors;
  std::array<TBox, 256> Boxes{};
  std::array<TEntry, 256> Palette{};
  // Entries kept free after the 10 low static colours.
  std::int16_t Reserved = 0;
  // Entries for brushes and colours; capped by BuildPalette to 236 - Reserved.
  std::int16_t MaxColors = kMaxReduced;
  std::int16_t FixCount = 0;
  std::int32_t ColorCount = 0;
  std::int32_t DibCount = 0;
  // When non-zero every colour maps to its own box instead of the nearest box colour.
  std::int16_t ExactMap = 0;
  // K-means passes over the registered colours after a median cut, each moving the reduced colours
  // to the means of what maps to them; every colour then maps to its nearest reduced colour
  // (squared distance), ExactMap or not. 0, the default, keeps the median cut's colours and map.
  std::uint8_t RefinePasses = 0;

  // Host colour (red in the low byte; a system colour is resolved) -> its palette index. Raises
  // EFulgoError when every entry for brushes is already taken.
  std::uint16_t AddFixBrush(TColor Color);
  // Colour-table order (blue in the low byte): one more colour for the median cut.
  void AddBrush(std::uint32_t Color);
  // Registers all 256 table entries of the bitmap and answers its number for ChangeDib.
  std::uint16_t AddDib(const tFulgoDib& Dib);
  // The same for a picture known only by its colour table (256 entries) so far.
  std::uint16_t AddColorTable(const std::uint8_t* Table);
  // Reduces and lays out Palette, then makes PaletteHandle; a handle it already holds with the same
  // entries is kept.
  void BuildPalette();
  // Readies a builder that has served a render for the next one. Registrations that repeat the last
  // build's, in the same order, are only compared; when all of them, the entry counts and the
  // system palette are as they were, BuildPalette keeps that build rather than making it again.
  // Until BuildPalette the public records may still be the last build's.
  void Restart();
  // Rewrites every raster byte (padding included) of bitmap Number to index Palette; the colour
  // table is left as it is.
  void ChangeDib(tFulgoDib& Dib, std::uint16_t Number) const;
  // What ChangeDib does to each byte value of bitmap Number, for a caller that maps only the pixels
  // it uses.
  using TRasterMap = std::array<std::uint8_t, 256>;
  TRasterMap RasterMap(const tFulgoDib& Dib, std::uint16_t Number) const;
  // The same for a bitmap registered by its colour table alone. A map is made once per build and
  // kept while a restarted build repeats it.
  TRasterMap RasterMap(std::uint16_t Number) const;
  // Colour-table order -> index of the nearest Palette entry.
  std::uint16_t FindBrush(TColor Color) const;
  // Palette becomes the bitmap's colour table.
  void SetColorTabelTo(tFulgoDib& Dib) const;
  void CreateLogicalPalette();
  void CreatePaletteFrom(const tFulgoDib& Dib);

  // The steps of BuildPalette. MedianCut(N) splits the records into at most N boxes (1..236),
  // fills ColorMap and answers the box colours.
  TReducedColors MedianCut(int N);
  void Shrink(TBox& Box) const;
  TReducedColors InvMap(int B);

 private:
  // Finds records by their 4 colour bytes in constant time: open addressing, each slot holding
  // the bytes as a table value and the record number + 1 (0: free). Written by AddBrush and AddDib.
  struct TIndexSlot {
    std::uint32_t Key;
    std::int32_t Record;
  };
  std::vector<TIndexSlot> colorIndex_;
  // While cutting, each box holds one run of these, in the order of its list; a split sorts the
  // run in place instead of relinking the list, and the lists are written once at the end.
  struct TWork {
    std::uint32_t Color;  // the record's 4 bytes as a table value
    std::int32_t Record;
  };
  std::vector<TWork> work_, scratch_;
  std::array<std::int32_t, 256> boxStart_{};
  // The boxes the last median cut made.
  int cutBoxes_ = 0;

  // Every registration as words: its kind, then its colour or its 256 table entries. The last
  // build's are kept with what else it was built from, so that a render repeating them can skip
  // the building.
  enum TRegistration : std::uint32_t { kFixBrushWord = 1, kBrushWord, kTableWord };
  std::vector<std::uint32_t> registered_, built_;
  struct TBuildInputs {
    std::int16_t Reserved, MaxColors, ExactMap;
    std::uint8_t RefinePasses;
    std::array<host::PALETTEENTRY, 256> System;
    bool operator==(const TBuildInputs&) const;
  };
  std::optional<TBuildInputs> builtFrom_;
  // After Restart, while the registrations repeat the last build's: nothing is recorded, and the
  // answers are counted here.
  bool repeating_ = false;
  std::int16_t repeatedFixCount_ = 0;
  std::int32_t repeatedDibCount_ = 0;
  // Whether this registration repeats the last build's at the same place; at the first that does
  // not, the records are made again from everything registered before it.
  bool Repeats(TRegistration Kind, const std::uint8_t* Words, std::size_t Count);
  void RecordAgain(std::size_t Words);
  // The records change: neither the last build nor its raster maps hold any more.
  void Forget();
  void ClearRecords();
  // The entry of a brush colour among the first Count; a new colour takes the next, recorded in
  // FixBrushes when Record is set.
  std::uint16_t PlaceFixBrush(TColor Color, std::int16_t& Count, bool Record);
  void RecordBrush(const std::uint8_t* Color);
  void RecordColorTable(const std::uint8_t* Table);

  // Entries available to fixed brushes; raises EFulgoError for counts out of range.
  int BrushRoom() const;
  void PrepareForColors();
  void GrowRecords();
  void GrowIndex();
  std::int32_t FindOrAddColor(const std::uint8_t* Color);
  struct TBoxCursor {
    int Level = 0;     // no box below this level can be split
    int Next = 0;      // nor any box of Level numbered below this
    int TopLevel = 0;  // the highest level of any box
  };
  int ChooseBox(TBoxCursor& Cursor, int B, int N) const;
  void SplitBox(int Chosen, int NewBox);
  void MeasureRun(int Box);
  void LinkBoxes(int B);
  TReducedColors MapBoxes(int B);
  void Refine(TReducedColors& Reduced);
  void NearestBoxes(int B, const TReducedColors& Reduced);
  void MakeRasterMap(std::uint16_t Number, std::uint8_t* Map) const;
  // The raster maps made since the records last changed, by bitmap number; empty ones are not made.
  mutable std::vector<std::optional<TRasterMap>> rasterMaps_;
  // CreateLogicalPalette over the system palette as BuildPalette has read it, or as read now (nullptr).
  void MakePaletteHandle(const host::PALETTEENTRY* System);
};

}  // namespace vantora
VANTORA_API_END

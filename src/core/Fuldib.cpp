#include "core/Fuldib.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "base/Fultype.h"
#include "base/Prophelp.h"
#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "core/LogPalette.h"
#include "core/RowOps.h"
#include "core/uMemory.h"
#include "host/classes/Errors.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/PictureFile.h"

namespace vantora {

namespace {

[[noreturn]] void NoBitmap() {
  throw ENoBMPInSource("No bmp in source");
}

[[noreturn]] void SizeOutOfRange(std::int64_t width, std::int64_t height) {
  throw EFulgoError("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                    " out of range (0.." + std::to_string(kMaxBitmapSide) + ")");
}

// Allocates a block with headers and a fresh colour table; the rows, padding included, are left to
// the caller, which writes them all: clearing them first would only double the work.
MemBlock NewBlock(TWidth width, THeight height) {
  if (width > kMaxBitmapSide || height > kMaxBitmapSide) SizeOutOfRange(width, height);
  const std::uint32_t size = dib::RowStride(width) * height + dib::kBitsOffset;
  MemBlock block = GetUnclearedBlock(static_cast<std::int32_t>(size));
  dib::WriteHeaders(block.get(), width, height);
  return block;
}

// Puts Block in the place of the one Dib holds, which is released; the palette stays.
void ReplaceBlock(std::uint8_t*& dib, MemBlock block) {
  const MemBlock old(std::exchange(dib, block.release()));
}

// Padding bytes at the end of each row.
void ClearPadding(std::uint8_t* bits, TWidth width, THeight height) {
  const std::size_t stride = dib::RowStride(width);
  if (stride == width) return;
  for (std::size_t r = 0; r < height; ++r) std::memset(bits + r * stride + width, 0, stride - width);
}

// The 20 static colours of the default palette at their fixed indices, as table values.
struct StaticColor {
  std::uint32_t color;
  std::uint8_t index;
};
constexpr std::array<StaticColor, 20> kStaticColors = {{
    {0x000000, 0},   {0x800000, 1},   {0x008000, 2},   {0x808000, 3},   {0x000080, 4},
    {0x800080, 5},   {0x008080, 6},   {0xC0C0C0, 7},   {0xC0DCC0, 8},   {0xA6CAF0, 9},
    {0xFFFBF0, 246}, {0xA0A0A4, 247}, {0x808080, 248}, {0xFF0000, 249}, {0x00FF00, 250},
    {0xFFFF00, 251}, {0x0000FF, 252}, {0xFF00FF, 253}, {0x00FFFF, 254}, {0xFFFFFF, 255},
}};

// The header and colour table of a block in an aligned record, as the drawing calls take them
// (blocks from mGETMEM are only 2-byte aligned).
host::BITMAPINFO256 InfoOf(const std::uint8_t* block) {
  host::BITMAPINFO256 info;
  std::memcpy(&info, block + dib::kFileHeaderSize, sizeof info);
  return info;
}

const host::BITMAPINFO* AsInfo(const host::BITMAPINFO256& info) {
  return reinterpret_cast<const host::BITMAPINFO*>(&info);
}

// A logical palette holding the 256 colours of a block's table at their own indices.
host::HPALETTE TablePalette(const std::uint8_t* block) {
  std::vector<host::BYTE> log(kLogPaletteBytes);
  dib::Put16(log.data(), host::PALETTE_VERSION);
  dib::Put16(log.data() + 2, kLogPaletteEntries);
  auto* entries = reinterpret_cast<host::PALETTEENTRY*>(log.data() + kLogPaletteEntriesOffset);
  const std::uint8_t* table = dib::ColorTable(block);
  for (std::size_t i = 0; i < kLogPaletteEntries; ++i)
    entries[i] = host::PALETTEENTRY{table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
  return host::CreatePalette(reinterpret_cast<const host::LOGPALETTE*>(log.data()));
}

// A host colour value (red in the low byte) as a colour-table value (blue in the low byte).
std::uint32_t TableValue(TColor color) {
  const auto v = static_cast<std::uint32_t>(color);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A run of columns of the composite with one coverage: which images lie under it.
struct Span {
  std::int32_t from = 0, to = 0;
  bool upper = false, lower = false;
};

}  // namespace

// --- tFulgoDib: life and size -----------------------------------------------------------------

tFulgoDib::~tFulgoDib() {
  FreeDib();
}

void tFulgoDib::FreeDib() {
  ReleaseBlock().reset();
  PaletteHandle.reset();
}

void tFulgoDib::GrabDib(tFulgoDib& Other) {
  if (&Other == this) return;
  AdoptBlock(Other.ReleaseBlock());
}

void tFulgoDib::AdoptBlock(MemBlock Block) {
  FreeDib();
  Dib = Block.release();
}

MemBlock tFulgoDib::ReleaseBlock() {
  return MemBlock(std::exchange(Dib, nullptr));
}

void tFulgoDib::MakeNew(TWidth Width, THeight Height) {
  Dib = NewBlock(Width, Height).release();
  // Rows are cleared so no stale heap byte ever reaches a stream or a file.
  std::memset(dib::Bits(Dib), 0, std::size_t{dib::RowStride(Width)} * Height);
}

void tFulgoDib::MakeUnwritten(TWidth Width, THeight Height) {
  Dib = NewBlock(Width, Height).release();
}

void tFulgoDib::MakeStretched(const tFulgoDib& Source, TWidth Width, THeight Height) {
  const std::int32_t sw = Source.Empty() ? 0 : Source.GetWidth(),
                     sh = Source.Empty() ? 0 : Source.GetHeight();
  // Stretch writes every pixel only from a source with pixels.
  if (sw == 0 || sh == 0) return MakeNew(Width, Height);
  Dib = NewBlock(Width, Height).release();
  Stretch(dib::Bits(Source.Dib), dib::Bits(Dib), static_cast<std::uint16_t>(sw),
          static_cast<std::uint16_t>(sh), Width, Height);
  ClearPadding(dib::Bits(Dib), Width, Height);
}

void tFulgoDib::NewColored(TWidth Width, THeight Height, std::uint8_t Index) {
  Dib = NewBlock(Width, Height).release();
  SetMem(dib::Bits(Dib), Index, static_cast<std::int32_t>(dib::RowStride(Width) * Height));
}

void tFulgoDib::MakeEmpty(TWidth Width, THeight Height) {
  NewColored(Width, Height, TransparentIndex);
}

std::uint32_t tFulgoDib::GetDibMemorySize() const {
  if (!Dib) return 0;
  return dib::RowStride(GetWidth()) * GetHeight() + dib::kBitsOffset;
}

// --- Colours ----------------------------------------------------------------------------------

TColor tFulgoDib::GetColor(std::uint8_t Index) const {
  if (!Dib) NoBitmap();
  return RGBToTColor(static_cast<TColor>(dib::Get32(dib::ColorTable(Dib) + 4 * Index)));
}

void tFulgoDib::SetColor(std::uint8_t Index, TColor Value) {
  if (!Dib) NoBitmap();
  dib::Put32(dib::ColorTable(Dib) + 4 * Index, static_cast<std::uint32_t>(RGBToTColor(Value)));
}

void tFulgoDib::GetPaletteFrom(const std::uint8_t* Block) {
  if (!Dib || !Block) NoBitmap();
  std::memcpy(dib::ColorTable(Dib), dib::ColorTable(Block), dib::kColorTableSize);
  PaletteHandle.reset();
}

host::HPALETTE tFulgoDib::GetLogPalette() {
  PaletteHandle.reset();
  if (!Dib) throw EDontCreatDib("Palette could not be created - No Dib");
  PaletteHandle = MakeLogPalette(dib::ColorTable(Dib), "Palette creation falled");
  return PaletteHandle;
}

void tFulgoDib::GetGlyphData(host::TBitmap& Bitmap) {
  if (Bitmap.Width() > kMaxBitmapSide || Bitmap.Height() > kMaxBitmapSide)
    SizeOutOfRange(Bitmap.Width(), Bitmap.Height());
  std::int32_t size;
  AdoptBlock(DIBFromBitOwned(Bitmap.Handle(), Bitmap.Palette(), 256, size));
}

void tFulgoDib::From16To256() {
  if (!Dib) NoBitmap();
  const std::uint16_t bitCount = dib::Get16(Dib + dib::kBitCount);
  if (bitCount != 4)
    throw EFulgoError("Bitmap is not a 16-colour bitmap (bit count " + std::to_string(bitCount) + ")");
  const TWidth width = GetWidth();
  const THeight height = GetHeight();

  std::vector<StaticColor> table(kStaticColors.begin(), kStaticColors.end());
  std::array<std::uint8_t, 16> map{};
  std::uint8_t nextFree = 10;
  const std::uint8_t* sourceTable = Dib + dib::kFileHeaderSize + dib::Get32(Dib + dib::kHeaderSize);
  for (std::size_t k = 0; k < map.size(); ++k) {
    const std::uint32_t color = dib::Get32(sourceTable + 4 * k);
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const StaticColor& e) { return e.color == color; });
    if (found != table.end()) {
      map[k] = found->index;
    } else {
      table.push_back({color, nextFree});
      map[k] = nextFree++;
    }
  }

  tFulgoDib converted;
  converted.MakeEmpty(width, height);
  const std::uint8_t* sourceRows = Dib + dib::Get32(Dib + dib::kOffBits);
  const std::size_t sourceStride = ScanlineBytes(std::uint32_t{width} * 4);
  const std::size_t stride = dib::RowStride(width);
  std::uint8_t* rows = dib::Bits(converted.Dib);
  for (std::size_t r = 0; r < height; ++r) {
    const std::uint8_t* in = sourceRows + r * sourceStride;
    std::uint8_t* out = rows + r * stride;
    for (std::size_t c = 0; c < width; ++c) {
      const std::uint8_t packed = in[c / 2];
      out[c] = map[(c % 2 == 0) ? packed >> 4 : packed & 0x0F];
    }
  }
  for (const StaticColor& e : table) dib::Put32(dib::ColorTable(converted.Dib) + 4 * e.index, e.color);
  GrabDib(converted);
}

// --- Masks and cropping -----------------------------------------------------------------------

void tFulgoDib::MakeMask(TColor Color) {
  if (!Dib) NoBitmap();
  std::uint8_t key = 0;
  for (int i = 0; i < 255; ++i) {
    if (GetColor(static_cast<std::uint8_t>(i)) == Color) {
      key = static_cast<std::uint8_t>(i);
      break;
    }
  }
  rowops::SplitByte(dib::Bits(Dib), std::size_t{dib::RowStride(GetWidth())} * GetHeight(), key,
                    TransparentIndex, 255);
}

bool tFulgoDib::FindMinSize(TWidth& Width, THeight& Height, TOrigin& Origin) const {
  Width = 0;
  Height = 0;
  Origin = {};
  const std::int32_t width = GetWidth();
  const std::int32_t height = GetHeight();
  std::int32_t minCol = width, maxCol = 0, minRow = height, maxRow = 0;
  for (std::int32_t r = 0; r < height; ++r) {
    const std::uint8_t* row = Row(r);
    std::int32_t first = 0;
    while (first < width && row[first] == kTransparentIndex) ++first;
    if (first == width) continue;
    std::int32_t last = width - 1;
    while (row[last] == kTransparentIndex) --last;
    minCol = std::min(minCol, first);
    maxCol = std::max(maxCol, last);
    minRow = std::min(minRow, r);
    maxRow = std::max(maxRow, r);
  }
  if (minRow == height) return false;
  Width = static_cast<TWidth>(maxCol - minCol + 1);
  Height = static_cast<THeight>(maxRow - minRow + 1);
  Origin = {minCol, minRow};
  return true;
}

void tFulgoDib::ChangeToMinSize() {
  TWidth width;
  THeight height;
  TOrigin origin;
  if (!FindMinSize(width, height, origin)) return;
  const std::uint32_t image = dib::RowStride(width) * height;
  MemBlock block = GetMemBlock(static_cast<std::int32_t>(image + dib::kBitsOffset));
  std::memcpy(block.get(), Dib, dib::kBitsOffset);
  dib::Put32(block.get() + dib::kWidth, width);
  dib::Put32(block.get() + dib::kHeight, height);
  dib::Put32(block.get() + dib::kFileSize, image + dib::kBitsOffset);
  dib::Put32(block.get() + dib::kSizeImage, image);
  const std::size_t oldStride = Stride();
  const std::size_t newStride = dib::RowStride(width);
  const std::uint8_t* from = Row(origin.Y) + origin.X;
  std::uint8_t* to = dib::Bits(block.get());
  for (std::size_t r = 0; r < height; ++r) std::memcpy(to + r * newStride, from + r * oldStride, width);
  ClearPadding(to, width, height);
  ReplaceBlock(Dib, std::move(block));
}

// --- Compositing ------------------------------------------------------------------------------

void tFulgoDib::IndCopy(tFulgoDib& Other, std::int16_t X, std::int16_t Y, bool Swap) {
  const std::uint8_t t = TransparentIndex;
  const std::int32_t sw = GetWidth(), sh = GetHeight();
  const std::int32_t ow = Other.GetWidth(), oh = Other.GetHeight();
  const std::int32_t minX = std::min<std::int32_t>(X, 0), minY = std::min<std::int32_t>(Y, 0);
  const std::int32_t maxX = std::max(ow + X, sw), maxY = std::max(oh + Y, sh);
  const std::int32_t rw = maxX - minX, rh = maxY - minY;
  if (rw > kMaxBitmapSide || rh > kMaxBitmapSide) SizeOutOfRange(rw, rh);
  MemBlock result = NewBlock(static_cast<TWidth>(rw), static_cast<THeight>(rh));

  // Where each image lies in the composite.
  const std::int32_t sx = -minX, sy = -minY, ox = X - minX, oy = Y - minY;
  // Cut the columns into runs of equal coverage once; each row then only looks up its own coverage.
  std::array<std::int32_t, 6> cuts = {0, sx, sx + sw, ox, ox + ow, rw};
  std::sort(cuts.begin(), cuts.end());
  std::array<Span, 5> spans;
  std::size_t spanCount = 0;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const std::int32_t from = std::clamp(cuts[i], 0, rw), to = std::clamp(cuts[i + 1], 0, rw);
    if (from >= to) continue;
    spans[spanCount++] = {from, to, from >= sx && from < sx + sw, from >= ox && from < ox + ow};
  }

  const std::size_t rStride = dib::RowStride(static_cast<std::uint32_t>(rw));
  for (std::int32_t r = 0; r < rh; ++r) {
    std::uint8_t* out = dib::Bits(result.get()) + static_cast<std::size_t>(r) * rStride;
    const bool sRow = r >= sy && r < sy + sh, oRow = r >= oy && r < oy + oh;
    const std::uint8_t* sLine = sRow ? Row(r - sy) : nullptr;
    const std::uint8_t* oLine = oRow ? Other.Row(r - oy) : nullptr;
    for (std::size_t k = 0; k < spanCount; ++k) {
      const Span& span = spans[k];
      const auto n = static_cast<std::size_t>(span.to - span.from);
      const bool upper = span.upper && sRow, lower = span.lower && oRow;
      std::uint8_t* to = out + span.from;
      if (upper && lower)
        rowops::Merge(to, sLine + (span.from - sx), oLine + (span.from - ox), n, t);
      else if (upper)
        std::memcpy(to, sLine + (span.from - sx), n);
      else if (lower)
        std::memcpy(to, oLine + (span.from - ox), n);
      else
        std::memset(to, t, n);
    }
    std::memset(out + rw, 0, rStride - static_cast<std::size_t>(rw));
  }

  if (Swap) std::swap(Dib, Other.Dib);
  ReplaceBlock(Dib, std::move(result));
}

void tFulgoDib::CopyOver(tFulgoDib& Other, std::int16_t X, std::int16_t Y) {
  const std::int32_t oh = Other.GetHeight(), sh = GetHeight();
  std::swap(Dib, Other.Dib);
  try {
    IndCopy(Other, static_cast<std::int16_t>(-X), static_cast<std::int16_t>(Y + oh - sh), true);
  } catch (...) {
    // IndCopy fails only before it touches the blocks: give Other its picture back.
    std::swap(Dib, Other.Dib);
    throw;
  }
}

void tFulgoDib::CopyUnder(tFulgoDib& Other, std::int16_t X, std::int16_t Y) {
  IndCopy(Other, X, static_cast<std::int16_t>(GetHeight() - Y - Other.GetHeight()), false);
}

void tFulgoDib::LayUnder(tFulgoDib& Other, std::int16_t X, std::int16_t Y) {
  const std::int32_t sw = GetWidth(), sh = GetHeight();
  const std::int32_t ow = Other.GetWidth(), oh = Other.GetHeight();
  if (Other.Empty() || X > 0 || Y > 0 || ow + X < sw || oh + Y < sh) {
    CopyUnder(Other, X, Y);
    Other.FreeDib();
    return;
  }
  // Self's memory rows lie from Other's row oh + Y - sh up, its columns from -X.
  const std::uint8_t t = TransparentIndex;
  for (std::int32_t r = 0; r < sh; ++r)
    rowops::CopyExcept(Other.Row(oh + Y - sh + r) - X, Row(r), static_cast<std::size_t>(sw), t);
  MemBlock block = Other.ReleaseBlock();
  Other.FreeDib();
  // Headers, table and padding as a composite made in a new block has them.
  dib::WriteHeaders(block.get(), static_cast<TWidth>(ow), static_cast<THeight>(oh));
  ClearPadding(dib::Bits(block.get()), static_cast<TWidth>(ow), static_cast<THeight>(oh));
  ReplaceBlock(Dib, std::move(block));
}

void tFulgoDib::DibCopyData(tFulgoDib& Other, std::int16_t X, std::int16_t Y) {
  CopyOver(Other, X, static_cast<std::int16_t>(GetHeight() + Y - Other.GetHeight()));
}

void tFulgoDib::CutCopy(const tFulgoDib& Other, std::int16_t X, std::int16_t Y) {
  if (!Dib || !Other.Dib) return;
  const std::int32_t sw = GetWidth(), sh = GetHeight();
  const std::int32_t ow = Other.GetWidth(), oh = Other.GetHeight();
  if (X >= sw || Y >= sh || ow + X <= 0 || oh + Y <= 0) return;
  const std::int32_t width = std::min(ow + X, sw) - std::max<std::int32_t>(X, 0);
  const std::int32_t height = std::min(oh + Y, sh) - std::max<std::int32_t>(Y, 0);
  if (width <= 0 || height <= 0) return;  // a bitmap without rows or columns
  // Top-down rows turned into memory rows of both bitmaps.
  std::int32_t selfRow, otherRow;
  if (oh + Y < sh) {
    selfRow = sh - Y - oh;
    otherRow = 0;
  } else {
    selfRow = 0;
    otherRow = oh + Y - sh;
  }
  const std::int32_t selfCol = X > 0 ? X : 0, otherCol = X > 0 ? 0 : -X;
  const std::size_t sStride = Stride(), oStride = Other.Stride();
  std::uint8_t* to = Row(selfRow) + selfCol;
  const std::uint8_t* from = Other.Row(otherRow) + otherCol;
  for (std::int32_t r = 0; r < height; ++r, to += sStride, from += oStride)
    rowops::CopyExcept(to, from, static_cast<std::size_t>(width), kTransparentIndex);
}

void CopyDIB(std::uint8_t* Dest, const std::uint8_t* Source, std::int16_t X, std::int16_t Y,
             std::uint8_t Transparent) {
  if (!Dest || !Source) return;
  const std::int32_t dw = dib::Width(Dest), dh = dib::Height(Dest);
  const std::int32_t sw = dib::Width(Source), sh = dib::Height(Source);
  // Clipped on every edge: a negative position skips the source's first rows or columns.
  const std::int32_t c0 = std::max<std::int32_t>(0, -X), c1 = std::min(sw, dw - X);
  const std::int32_t r0 = std::max<std::int32_t>(0, -Y), r1 = std::min(sh, dh - Y);
  if (c0 >= c1 || r0 >= r1) return;
  const std::size_t dStride = dib::RowStride(static_cast<std::uint32_t>(dw));
  const std::size_t sStride = dib::RowStride(static_cast<std::uint32_t>(sw));
  for (std::int32_t r = r0; r < r1; ++r)
    rowops::CopyExcept(dib::Bits(Dest) + static_cast<std::size_t>(Y + r) * dStride + (X + c0),
                       dib::Bits(Source) + static_cast<std::size_t>(r) * sStride + c0,
                       static_cast<std::size_t>(c1 - c0), Transparent);
}

void tFulgoDib::CopyFromDib(const std::uint8_t* Source, std::int16_t X, std::int16_t Y) {
  if (!Dib) NoBitmap();
  CopyDIB(Dib, Source, X, Y, TransparentIndex);
}

std::uint8_t* tFulgoDib::ResizeDib(TWidth Width, THeight Height) const {
  return ResizeDibOwned(Width, Height).release();
}

MemBlock tFulgoDib::ResizeDibOwned(TWidth Width, THeight Height) const {
  if (!Dib) NoBitmap();
  tFulgoDib resized;
  resized.MakeEmpty(Width, Height);
  Stretch(dib::Bits(Dib), dib::Bits(resized.Dib), GetWidth(), GetHeight(), Width, Height);
  resized.GetPaletteFrom(Dib);
  return resized.ReleaseBlock();
}

// --- Drawing ----------------------------------------------------------------------------------

void tFulgoDib::Draw(host::HDC DC, std::int16_t X, std::int16_t Y) const {
  if (!Dib) return;
  const host::BITMAPINFO256 info = InfoOf(Dib);
  const THeight height = GetHeight();
  host::SetDIBitsToDevice(DC, X, Y, GetWidth(), height, 0, 0, 0, height, dib::Bits(Dib), AsInfo(info),
                          host::DIB_RGB_COLORS);
}

void tFulgoDib::DrawTransparent(host::HDC DC, std::int32_t ClipWidth, std::int32_t ClipHeight, std::int16_t X,
                                std::int16_t Y) const {
  if (!Dib || ClipWidth <= 0 || ClipHeight <= 0) return;
  const std::int32_t w = GetWidth(), h = GetHeight();
  // Source and destination corners, top-down.
  const std::int32_t sourceX = X < 0 ? -X : 0, destX = X < 0 ? 0 : X;
  const std::int32_t sourceY = Y < 0 ? -Y : 0, destY = Y < 0 ? 0 : Y;
  const std::int32_t width = w + X < ClipWidth ? w - sourceX : ClipWidth - destX;
  const std::int32_t height = h + Y < ClipHeight ? h - sourceY : ClipHeight - destY;
  if (width <= 0 || height <= 0) return;

  // The two colourings of the picture are made on copies of the header, so the bitmap's own table
  // never changes, even for a moment.
  host::BITMAPINFO256 info = InfoOf(Dib);
  std::memset(info.bmiColors, 0, sizeof info.bmiColors);
  info.bmiColors[kTransparentIndex] = host::RGBQUAD{255, 255, 255, 0};
  {
    const host::Owned<host::HBITMAP> mask(host::CreateCompatibleBitmap(DC, w, h));
    if (!mask) return;
    host::SetDIBits(DC, mask, 0, static_cast<host::UINT>(h), dib::Bits(Dib), AsInfo(info),
                    host::DIB_RGB_COLORS);
    const host::Owned<host::HDC> memory(host::CreateCompatibleDC(DC));
    const host::SelectGuard selected(memory, mask);
    // Opaque pixels blacken the device, transparent ones leave it.
    host::BitBlt(DC, destX, destY, width, height, memory, sourceX, sourceY, host::SRCAND);
  }

  // Transparent pixels add nothing; opaque ones fill their black holes. The image is clipped like
  // the mask, so nothing outside the clip area is lightened. The DIB counts its source rows from the
  // bottom.
  info = InfoOf(Dib);
  info.bmiColors[kTransparentIndex] = host::RGBQUAD{0, 0, 0, 0};
  host::StretchDIBits(DC, destX, destY, width, height, sourceX, h - sourceY - height, width, height,
                      dib::Bits(Dib), AsInfo(info), host::DIB_RGB_COLORS, host::SRCPAINT);
}

void tFulgoDib::DrawTransp(host::HDC DC, std::int16_t X, std::int16_t Y) const {
  if (!Dib) return;
  const TWidth w = GetWidth();
  const THeight h = GetHeight();
  // What the device shows under the picture, captured through the picture's own colours so that
  // its indices mean the same as the picture's.
  host::TBitmap under;
  under.SetSize(w, h);
  under.SetPalette(TablePalette(Dib));
  host::BitBlt(under.Canvas().Handle(), 0, 0, w, h, DC, X, Y, host::SRCCOPY);
  tFulgoDib merged;
  merged.GetGlyphData(under);
  merged.CutCopy(*this, 0, 0);
  merged.GetPaletteFrom(Dib);
  merged.Draw(DC, X, Y);
}

void tFulgoDib::DrawFill(host::TCanvas& Canvas, TColor Color, std::int32_t AreaWidth, std::int32_t AreaHeight,
                         std::int16_t X, std::int16_t Y) {
  const TColor rgb = RGBToTColor(Color);
  if (Dib) SetColor(TransparentIndex, static_cast<TColor>(TableValue(rgb)));
  if (AreaWidth <= 0 || AreaHeight <= 0) return;
  host::TBitmap area;
  area.SetSize(AreaWidth, AreaHeight);
  area.Canvas().Brush().SetColor(rgb);
  area.Canvas().FillRect(host::RECT{0, 0, AreaWidth, AreaHeight});
  if (Dib) {
    const TWidth w = GetWidth();
    const THeight h = GetHeight();
    host::TBitmap image;
    image.SetSize(w, h);
    const host::BITMAPINFO256 info = InfoOf(Dib);
    // Converted with the canvas's context, so the palette realised there applies.
    host::SetDIBits(Canvas.Handle(), image.Handle(), 0, h, dib::Bits(Dib), AsInfo(info),
                    host::DIB_RGB_COLORS);
    host::BitBlt(area.Canvas().Handle(), X, Y, w, h, image.Canvas().Handle(), 0, 0, host::SRCCOPY);
  }
  Canvas.Draw(0, 0, area);
}

// --- tFulgoGlyph ------------------------------------------------------------------------------

const host::TClass& tFulgoGlyph::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<tFulgoGlyph>("tFulgoGlyph", host::TPersistent::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoGlyph);

tFulgoGlyph::tFulgoGlyph() : Dib(std::make_unique<tFulgoDib>()) {
  Init();
}

tFulgoGlyph::~tFulgoGlyph() = default;

void tFulgoGlyph::Init() {
  HasData = false;
  FreeDib();
}

void tFulgoGlyph::FreeDib() {
  if (!HasDib) return;
  if (Dib) Dib->FreeDib();
  SetHasData(false);
}

void tFulgoGlyph::SetHasData(bool Value) {
  HasDib = Value;
  HasData = Value;
}

bool tFulgoGlyph::Empty() const {
  return !Dib || Dib->Empty();
}
TWidth tFulgoGlyph::GetWidth() const {
  return Dib ? Dib->GetWidth() : 0;
}
THeight tFulgoGlyph::GetHeight() const {
  return Dib ? Dib->GetHeight() : 0;
}

void tFulgoGlyph::MakeDuplicate(tFulgoDib& Target) const {
  if (&Target == Dib.get()) return;
  Target.FreeDib();
  if (Empty()) return;
  Target.MakeNew(GetWidth(), GetHeight());
  std::memcpy(Target.Dib, Dib->Dib, Dib->GetDibMemorySize());
}

void tFulgoGlyph::AssignTo(host::TPersistent* Dest) const {
  auto* glyph = dynamic_cast<tFulgoGlyph*>(Dest);
  if (!glyph) throw EFulgoError("Can assign only to a FulgoGlyph");
  if (glyph == this) return;
  glyph->FreeDib();
  if (Empty()) return;
  if (!glyph->Dib) glyph->Dib = std::make_unique<tFulgoDib>();
  MakeDuplicate(*glyph->Dib);
  glyph->SetHasData(true);
}

void tFulgoGlyph::Changed() {
  if (OnChange) OnChange(this);
}

void tFulgoGlyph::DefineProperties(host::TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "ButtonStates", [this](host::TStream& s) { ReadImage(s); }, [this](host::TStream& s) { WriteImage(s); },
      HasData);
}

void tFulgoGlyph::SaveToStream(host::TStream& Stream) const {
  WriteStreamString(Stream, "DIB1");
  const std::uint32_t size = Dib ? Dib->GetDibMemorySize() : 0;
  WriteStreamInteger(Stream, static_cast<std::int32_t>(size));
  if (size) Stream.WriteBuffer(Dib->Dib, size);
  WriteStreamString(Stream, "ENDDIB");
}

namespace {

[[noreturn]] void BadDib(const std::string& problem) {
  throw EFulgoError("Error reading stream Bad Dib: " + problem);
}

// Refuses a block that is not an 8-bit DIB of the library's layout whose size matches its
// headers, before anything is allocated for it.
void CheckDibHeaders(const std::uint8_t* h, std::int32_t size) {
  const auto expect = [](const char* field, std::uint32_t value, std::uint32_t wanted) {
    if (value != wanted)
      BadDib(std::string(field) + " " + std::to_string(value) + ", expected " + std::to_string(wanted));
  };
  expect("bits offset", dib::Get32(h + dib::kOffBits), dib::kBitsOffset);
  expect("info header size", dib::Get32(h + dib::kHeaderSize), dib::kInfoHeaderSize);
  expect("bit count", dib::Get16(h + dib::kBitCount), 8);
  expect("compression", dib::Get32(h + dib::kCompression), 0);
  const auto width = static_cast<std::int32_t>(dib::Get32(h + dib::kWidth));
  const auto height = static_cast<std::int32_t>(dib::Get32(h + dib::kHeight));
  const auto side = [](const char* name, std::int32_t value) {
    if (value < 1 || value > kMaxBitmapSide)
      BadDib(std::string(name) + " " + std::to_string(value) + " out of range (1.." +
             std::to_string(kMaxBitmapSide) + ")");
  };
  side("width", width);
  side("height", height);
  const std::int64_t wanted =
      std::int64_t{dib::RowStride(static_cast<std::uint32_t>(width))} * height + dib::kBitsOffset;
  if (size != wanted)
    BadDib("block of " + std::to_string(size) + " bytes, expected " + std::to_string(wanted) + " for " +
           std::to_string(width) + " x " + std::to_string(height));
}

}  // namespace

void tFulgoGlyph::LoadFromStream(host::TStream& Stream) {
  if (ReadStreamString(Stream) != "DIB1") throw EFulgoError("Error reading stream Not a Dib");
  FreeDib();
  const std::int32_t size = ReadStreamInteger(Stream);
  if (size == 0) {
    ReadStreamString(Stream);
    return;
  }
  if (size < static_cast<std::int32_t>(dib::kBitsOffset))
    BadDib("block of " + std::to_string(size) + " bytes is smaller than its headers (" +
           std::to_string(dib::kBitsOffset) + ")");
  std::array<std::uint8_t, dib::kColorTableOffset> headers;
  Stream.ReadBuffer(headers.data(), headers.size());
  CheckDibHeaders(headers.data(), size);
  // A record that claims more bytes than the stream holds fails before the block is allocated.
  if (Stream.Remaining() < size - static_cast<std::int64_t>(headers.size()))
    throw host::EReadError("Stream read error");
  MemBlock block = GetMemBlock(size);
  std::memcpy(block.get(), headers.data(), headers.size());
  Stream.ReadBuffer(block.get() + headers.size(), size - static_cast<std::int64_t>(headers.size()));
  // The terminator's text is not compared, only its tag.
  ReadStreamString(Stream);
  if (!Dib) Dib = std::make_unique<tFulgoDib>();
  Dib->AdoptBlock(std::move(block));
  SetHasData(true);
}

void tFulgoGlyph::GetGlyphData(host::TBitmap& Bitmap) {
  FreeDib();
  if (Bitmap.Empty()) return;
  if (!Dib) Dib = std::make_unique<tFulgoDib>();
  Dib->GetGlyphData(Bitmap);
  SetHasData(true);
}

void tFulgoGlyph::LoadFromFile(const std::string& FileName) {
  host::TBitmap bitmap;
  bitmap.LoadFromFile(FileName);
  GetGlyphData(bitmap);
  Changed();
}

void tFulgoGlyph::GetDib(std::unique_ptr<tFulgoDib> ADib) {
  Dib = std::move(ADib);
  HasDib = true;
}

std::unique_ptr<tFulgoDib> tFulgoGlyph::ReleaseDib() {
  HasDib = false;
  return std::move(Dib);
}

void SaveDib(const tFulgoDib& Dib, host::TStream& Stream) {
  if (!Dib.Empty()) Stream.WriteBuffer(Dib.Dib, Dib.GetDibMemorySize());
}

void SaveDib(const tFulgoDib& Dib, const std::string& FileName) {
  host::TMemoryStream file;
  SaveDib(Dib, file);
  file.SaveToFile(FileName);
}

void SavePicture(const tFulgoDib& Dib, const std::string& FileName, bool ClearTransparent) {
  std::string extension = std::filesystem::path(FileName).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension != ".png" && extension != ".bmp")
    throw EFulgoError("Cannot save a picture as \"" + FileName + "\": name a .png or a .bmp file");
  if (Dib.Empty()) NoBitmap();
  // The headers are copied out: blocks are only 2-byte aligned.
  host::BITMAPINFO256 header;
  std::memcpy(&header, Dib.Dib + dib::kFileHeaderSize, sizeof header);
  const auto* info = reinterpret_cast<const host::BITMAPINFO*>(&header);
  if (extension == ".png")
    host::WritePngFile(FileName, info, dib::Bits(Dib.Dib), ClearTransparent ? Dib.TransparentIndex : -1);
  else
    host::WriteBmpFile(FileName, info, dib::Bits(Dib.Dib));
}

}  // namespace vantora

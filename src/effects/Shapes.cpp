#include "effects/Shapes.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/DibLayout.h"
#include "host/classes/IniFile.h"
#include "host/classes/Stream.h"
#include "base/Fultype.h"

namespace vantora {

namespace {

// hi·65536 + lo: MakeLong(0xF000, n) is n + 0.9375 in 16.16, the bias that lets the last step of a
// scale land on the last pixel.
constexpr std::int64_t MakeLong(std::int64_t lo, std::int64_t hi) {
  return hi * 65536 + lo;
}

// The integer part of a 16.16 value (floor), kept within a 16-bit boundary value.
std::int16_t HiWord(std::int64_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v >> 16, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

std::int16_t Saturate16(std::int64_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

// Entries of a segment from P0 to P1, or 0 when it cannot be drawn into Dest.
std::size_t SegmentLength(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  const std::int64_t n = std::int64_t{P1.Pos} - P0.Pos + 1;
  if (n < 1 || static_cast<std::uint64_t>(n) > Dest.size()) return 0;
  return static_cast<std::size_t>(n);
}

// The first point with HiCurve 0 ends a half; -1 when none of the ten does.
int LastPoint(const tShapeHalf& Points) {
  for (int i = 0; i < kShapePointsPerHalf; ++i)
    if (Points[static_cast<std::size_t>(i)].HiCurve == 0) return i;
  return -1;
}

std::string& ShapeFilePathSetting() {
  static std::string path;
  return path;
}

std::unique_ptr<host::TFileStream> OpenShapeFile() {
  const std::string path = ShapeFilePath();
  if (path.empty()) return nullptr;
  try {
    return std::make_unique<host::TFileStream>(path, host::TFileMode::fmOpenRead);
  } catch (const host::EFOpenError&) {
    return nullptr;
  }
}

void DecodeHalf(const std::uint8_t* bytes, tShapeHalf& Half) {
  for (auto& p : Half) {
    std::int16_t* fields[] = {&p.Pos, &p.Lo, &p.Hi, &p.LoCurve, &p.HiCurve, &p.Reserved};
    for (std::int16_t* f : fields) {
      *f = static_cast<std::int16_t>(dib::Get16(bytes));
      bytes += 2;
    }
  }
}

bool DrawCurve(std::int16_t Curve, tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  switch (Curve) {
    case 1:
      return Curve1(P0, P1, Dest);
    case 2:
      return Curve2(P0, P1, Dest);
    case 3:
      return Curve3(P0, P1, Dest);
    case 4:
      return Curve4(P0, P1, Dest);
    case 5:
      return Curve5(P0, P1, Dest);
    default:
      return false;
  }
}

// The spans of one pass over Axis entries, each reaching over Across pixels; false when the half
// cannot be used at this size.
bool PassSpans(tShapeHalf Half, eShapePass Pass, std::int16_t Axis, std::int16_t Across,
               std::vector<tShapeSpan>& Spans) {
  if (!MatrixAdjustment(Axis, Across, Half)) return false;
  // Zeroed, so that entries a segment leaves alone (curve 5) hold a defined edge.
  std::vector<std::int16_t> lo(static_cast<std::size_t>(Axis), 0);
  std::vector<std::int16_t> hi(static_cast<std::size_t>(Axis), 0);
  for (std::size_t i = 0; i + 1 < Half.size() && Half[i].HiCurve != 0; ++i) {
    const tShapePoint& p = Half[i];
    const tShapePoint& q = Half[i + 1];
    if (p.Pos < 0 || p.Pos >= Axis) return false;
    const auto from = static_cast<std::size_t>(p.Pos);
    if (!DrawCurve(p.HiCurve, {p.Pos, p.Hi}, {q.Pos, q.Hi}, std::span(hi).subspan(from)) ||
        !DrawCurve(p.LoCurve, {p.Pos, p.Lo}, {q.Pos, q.Lo}, std::span(lo).subspan(from)))
      return false;
  }
  Spans.assign(static_cast<std::size_t>(Axis), tShapeSpan{});
  ResultShape(Pass, Across, lo, hi, Spans);
  return true;
}

// The part 0 <= k < Len of a span whose target Start + k lies inside 0..N-1.
struct Visible {
  std::int32_t first, last;
};
Visible Clip(const tShapeSpan& s, std::int32_t N) {
  return {std::max<std::int32_t>(0, -s.Start), std::min<std::int32_t>(s.Len, N - s.Start)};
}

// Each column of Src resampled into its span of the same column of Dst.
void ColumnPass(const tFulgoDib& Src, tFulgoDib& Dst, std::span<const tShapeSpan> Spans) {
  const std::int32_t width = Src.GetWidth(), height = Src.GetHeight();
  const std::size_t stride = Src.Stride();
  const std::uint8_t* src = dib::Bits(Src.Dib);
  for (std::int32_t c = 0; c < width; ++c) {
    const tShapeSpan& s = Spans[static_cast<std::size_t>(c)];
    const Visible v = Clip(s, height);
    if (v.first >= v.last) continue;
    std::int64_t acc = std::int64_t{v.first} * s.Step;
    std::uint8_t* to = Dst.Row(s.Start + v.first) + c;
    for (std::int32_t k = v.first; k < v.last; ++k, acc += s.Step, to += stride)
      *to = src[static_cast<std::size_t>(acc >> 16) * stride + static_cast<std::size_t>(c)];
  }
}

// Each row of Src resampled into its span of the same row of Dst.
void RowPass(const tFulgoDib& Src, tFulgoDib& Dst, std::span<const tShapeSpan> Spans) {
  const std::int32_t width = Src.GetWidth(), height = Src.GetHeight();
  for (std::int32_t r = 0; r < height; ++r) {
    const tShapeSpan& s = Spans[static_cast<std::size_t>(r)];
    const Visible v = Clip(s, width);
    if (v.first >= v.last) continue;
    const std::uint8_t* from = Src.Row(r);
    std::uint8_t* to = Dst.Row(r) + (s.Start + v.first);
    std::int64_t acc = std::int64_t{v.first} * s.Step;
    for (std::int32_t k = v.first; k < v.last; ++k, acc += s.Step) *to++ = from[acc >> 16];
  }
}

}  // namespace

void SetShapeFilePath(std::string Path) {
  ShapeFilePathSetting() = std::move(Path);
}

std::string ShapeFilePath() {
  if (!ShapeFilePathSetting().empty()) return ShapeFilePathSetting();
  try {
    return host::TIniFile(host::FulgoIniPath()).ReadString("FulgoLabel", "FulgoShapePath", "");
  } catch (const host::EInOutError&) {
    // An unreadable settings file names no shape file, like a missing key.
    return {};
  }
}

std::int16_t CheckShapesFile() {
  const auto file = OpenShapeFile();
  if (!file) return 0;
  const std::int64_t count = file->Size() / kShapeRecordSize;
  return static_cast<std::int16_t>(std::min<std::int64_t>(count, std::numeric_limits<std::int16_t>::max()));
}

tShapeRecord* MatrixNo(std::int16_t Number, tShapeRecord& Buffer) {
  const auto file = OpenShapeFile();
  if (!file) return nullptr;
  const std::int64_t size = file->Size();
  if (size == 0) return nullptr;
  const std::int64_t count = size / kShapeRecordSize;
  const std::int64_t number = (Number < 1 || Number > count) ? 1 : Number;
  std::uint8_t bytes[kShapeRecordSize];
  file->SetPosition((number - 1) * kShapeRecordSize);
  if (file->Read(bytes, kShapeRecordSize) != kShapeRecordSize) return nullptr;
  DecodeHalf(bytes, Buffer.Half1);
  DecodeHalf(bytes + kShapeRecordSize / 2, Buffer.Half2);
  return &Buffer;
}

bool MatrixAdjustment(std::int16_t AxisSize, std::int16_t ValueSize, tShapeHalf& Points) {
  const int last = LastPoint(Points);
  if (last < 0 || AxisSize < 1 || ValueSize < 1) return false;
  std::int32_t minV = 1, maxV = 1;
  for (int i = 0; i <= last; ++i) {
    minV = std::min<std::int32_t>(minV, Points[static_cast<std::size_t>(i)].Lo);
    maxV = std::max<std::int32_t>(maxV, Points[static_cast<std::size_t>(i)].Hi);
  }
  const std::int32_t pos0 = Points[0].Pos;
  const std::int32_t spread = Points[static_cast<std::size_t>(last)].Pos - pos0;
  if (maxV == minV || spread == 0) return false;
  const std::int64_t vScale = MakeLong(0xF000, ValueSize - 1) / (maxV - minV);
  const std::int64_t pScale = MakeLong(0xF000, AxisSize - 1) / spread;
  for (auto& p : Points) {
    p.Pos = Saturate16(((p.Pos - pos0) * pScale) >> 16);
    p.Lo = Saturate16(((p.Lo - minV) * vScale) >> 16);
    p.Hi = Saturate16(((p.Hi - minV) * vScale) >> 16);
  }
  return true;
}

void ResultShape(eShapePass Pass, std::int16_t N, std::span<const std::int16_t> Lo,
                 std::span<const std::int16_t> Hi, std::span<tShapeSpan> Spans) {
  const std::size_t count = std::min({Spans.size(), Lo.size(), Hi.size()});
  for (std::size_t i = 0; i < count; ++i) {
    tShapeSpan& s = Spans[i];
    const std::int32_t len = Hi[i] - Lo[i] + 1;
    s.Len = Saturate16(len);
    // With this step the last pixel of a span reads source pixel N - 1.
    s.Step = Hi[i] == Lo[i] ? 0 : static_cast<std::int32_t>(MakeLong(0xF000, N - 1) / (len - 1));
    s.Start = Pass == spColumns ? Saturate16(N - 1 - Hi[i]) : Lo[i];
  }
}

bool Curve1(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  const std::size_t n = SegmentLength(P0, P1, Dest);
  if (n < 2) return false;
  const std::int64_t slope =
      MakeLong(0xF000, std::int64_t{P1.Value} - P0.Value) / (std::int64_t{P1.Pos} - P0.Pos);
  std::int64_t v = std::int64_t{P0.Value} * 65536;
  for (std::size_t k = 0; k < n; ++k, v += slope) Dest[k] = HiWord(v);
  return true;
}

bool Curve2(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  const std::size_t n = SegmentLength(P0, P1, Dest);
  if (n == 0) return false;
  if (P0.Value == P1.Value) {
    std::fill_n(Dest.begin(), n, Saturate16(P0.Value));
    return true;
  }
  if (n == 1) return false;
  const auto sn = static_cast<std::int64_t>(n);
  const std::int64_t a = ((std::int64_t{P1.Value} - P0.Value) * 2 * 65536 / sn) / (sn - 1);
  std::int64_t v = std::int64_t{P0.Value} * 65536, s = 0;
  for (std::size_t k = 0; k < n; ++k, v += s, s += a) Dest[k] = HiWord(v);
  // The step sequence reaches P1 one entry beyond the segment: the ends are the points themselves.
  Dest[0] = Saturate16(P0.Value);
  Dest[n - 1] = Saturate16(P1.Value);
  return true;
}

bool Curve3(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  const std::size_t n = SegmentLength(P0, P1, Dest);
  if (n == 0) return false;
  if (P0.Value == P1.Value) {
    std::fill_n(Dest.begin(), n, Saturate16(P0.Value));
    return true;
  }
  if (n == 1) return false;
  const auto sn = static_cast<std::int64_t>(n);
  const std::int64_t a = ((std::int64_t{P1.Value} - P0.Value) * 2 * 65536 / sn) / (sn - 1);
  std::int64_t v = std::int64_t{P1.Value} * 65536, s = 0;
  for (std::size_t k = n; k-- > 0; v -= s, s += a) Dest[k] = HiWord(v);
  Dest[0] = Saturate16(P0.Value);
  Dest[n - 1] = Saturate16(P1.Value);
  return true;
}

bool Curve4(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  const std::size_t n = SegmentLength(P0, P1, Dest);
  if (n == 0) return false;
  const std::int64_t y0 = P0.Value, y1 = P1.Value;
  if (y0 == y1) {
    std::fill_n(Dest.begin(), n, Saturate16(y0));
    return true;
  }
  Dest[0] = Saturate16(y0);
  Dest[n - 1] = Saturate16(y1);
  const std::int64_t dy = y1 >= y0 ? y1 - y0 + 1 : y1 - y0 - 1;
  const std::int64_t xs = 144 * 65536 / static_cast<std::int64_t>(n);
  const std::int64_t ys = dy * 65536 / 62;
  // The first octant of a circle of radius 100, walked in whole steps: x advances every step, y
  // falls when the error passes its bound. The samples are spread over that walk by xs, and each
  // half of the S takes its height from how far y has fallen.
  std::int64_t x = 0, y = 100, d = 199, e = 0, xa = 0, ya = 0;
  std::size_t k = 0;
  while (x <= y) {
    e += 2 * x + 1;
    if (e > d) {
      d += 2 * y - 1;
      --y;
      ya += ys;
    }
    while (k < n && x == (xa >> 16)) {
      Dest[k] = Saturate16(y0 + (ya >> 16));
      Dest[n - 1 - k] = Saturate16(y1 - (ya >> 16));
      ++k;
      xa += xs;
    }
    ++x;
  }
  return true;
}

bool Curve5(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest) {
  return SegmentLength(P0, P1, Dest) != 0;
}

void GetMatrixShape(tFulgoDib& Dib, std::int16_t& Shape) {
  if (Shape == 0 || Dib.GetWidth() == 0 || Dib.GetHeight() == 0) return;
  tShapeRecord record;
  if (!MatrixNo(Shape, record)) {
    Shape = 0;
    return;
  }
  const TWidth width = Dib.GetWidth();
  const THeight height = Dib.GetHeight();
  tFulgoDib t1, t2;
  t1.MakeEmpty(width, height);
  if (t1.Empty()) throw EDontCreatDib("Cant create the first Temp DIB");
  t2.MakeEmpty(width, height);
  if (t2.Empty()) throw EDontCreatDib("Cant create the second Temp DIB");

  const auto w = static_cast<std::int16_t>(width), h = static_cast<std::int16_t>(height);
  std::vector<tShapeSpan> columns, rows;
  if (!PassSpans(record.Half1, spColumns, w, h, columns) || !PassSpans(record.Half2, spRows, h, w, rows)) {
    Shape = 0;
    return;
  }
  ColumnPass(Dib, t2, columns);
  RowPass(t2, t1, rows);
  // Warping moves pixels, not colours.
  t1.GetPaletteFrom(Dib.Dib);
  Dib.GrabDib(t1);
}

}  // namespace vantora

#include "effects/Fulgrd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "core/uMemory.h"
#include "host/classes/Platform.h"
#include "util/Gen.h"

namespace vantora {

const host::TClass& tFulgoGradient::StaticClass() {
  using G = tFulgoGradient;
  static const host::TClass& cls = host::ClassBuilder<G>("tFulgoGradient", tFulgoPersistent::StaticClass())
                                       .Field("Width", &G::LegacyStorage, 200)
                                       .Stored(false)
                                       .Field("Height", &G::LegacyStorage, 100)
                                       .Stored(false)
                                       .Field("GradientNo", &G::LegacyStorage, 3)
                                       .Stored(false)
                                       .Field("x", &G::LegacyStorage, 30)
                                       .Stored(false)
                                       .Field("y", &G::LegacyStorage, 30)
                                       .Stored(false)
                                       .Field("BackColour", &G::BackColour, 0)
                                       .Stored(false)
                                       .Property("GradType", &G::GetGradType, &G::SetGradType, kGradLinear)
                                       .Property("GradWidth", &G::GetGradWidth, &G::SetGradWidth, 110)
                                       .Property("GradHeight", &G::GetGradHeight, &G::SetGradHeight, 110)
                                       .Property("Angle", &G::GetAngle, &G::SetAngle, 0)
                                       .Property("Discr", &G::GetDiscr, &G::SetDiscr, false)
                                       .Property("InMode", &G::GetInMode, &G::SetInMode, 0)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoGradient);

namespace {

// Items of the change record.
constexpr std::int32_t kTagGradType = 0;
constexpr std::int32_t kTagInMode = 3;
constexpr std::int32_t kTagGradWidth = 4;
constexpr std::int32_t kTagGradHeight = 5;
constexpr std::int32_t kTagAngle = 8;
constexpr std::int32_t kTagDiscr = 10;
constexpr std::int32_t kFieldsEnd = 11;
constexpr std::int32_t kStopsEnd = 1234567;

// A ramp that would reach 236 positions is drawn at this size and stretched afterwards.
constexpr std::int32_t kFallbackSide = 112;

// Breakpoints (percent of the segment) and curve values (16.16 percent) of the four curves.
constexpr std::int32_t kCurveX[8] = {0, 40, 60, 70, 80, 90, 97, 100};
constexpr std::int32_t kCurveY[4][8] = {
    {0x640000, 0x474CCD, 0x340000, 0x29999A, 0x1D0000, 0x0ECCCD, 0x048000, 0x000000},
    {0x640000, 0x508000, 0x416666, 0x36B333, 0x28CCCD, 0x164CCD, 0x070000, 0x000000},
    {0x640000, 0x57E666, 0x4CCCCD, 0x443333, 0x376666, 0x22B333, 0x0C0000, 0x000000},
    {0x640000, 0x5DB333, 0x569999, 0x504CCD, 0x466666, 0x340000, 0x188000, 0x000000},
};

// The working bitmap and the ramp that fits it.
struct Geometry {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t Length = 0;  // ramp positions, at most kMaxRamp
  // Linear only: whether the inner loop runs down the columns, and the shift of the line across
  // the whole outer extent.
  bool Steep = false;
  std::int32_t Offset = 0;
};

// Palette index of every ramp position and the colour table the positions refer to.
struct Ramp {
  // The picture's own table, cleared, so it is written once and not copied.
  std::array<std::uint8_t, dib::kColorTableSize>& Table;
  std::array<std::uint8_t, kMaxRamp> Index{};
  std::uint8_t Highest = 0;
};

std::int16_t NormalisedAngle(std::int16_t angle) {
  return static_cast<std::int16_t>((angle % 360 + 360) % 360);
}

// Shallow angles (0..44, 135..224, 315..359) sweep along the rows, steep ones along the columns.
bool IsSteep(std::int32_t angle) {
  return (angle + 45) / 90 % 2 == 1;
}

double LinearTangent(std::int32_t angle, bool steep) {
  const double degrees = steep ? 90 - angle : angle;
  return std::tan(degrees * 3.1415927 * (1.0 / 180));
}

std::int32_t LinearOffset(std::int32_t across, double tangent) {
  return std::abs(static_cast<std::int32_t>(std::trunc(across * tangent)));
}

// Sizes are kept within the bitmap size types, and at least 2 so that stretching works.
std::int32_t RenderSide(std::int16_t side) {
  return std::clamp<std::int32_t>(side, 2, static_cast<std::int32_t>(kMaxBitmapSide));
}

Geometry WorkingGeometry(std::int16_t gradType, std::int32_t width, std::int32_t height, std::int32_t angle) {
  Geometry g;
  if (gradType == kGradLinear) {
    g.Steep = IsSteep(angle);
    const double tangent = LinearTangent(angle, g.Steep);
    const auto fit = [&](std::int32_t w, std::int32_t h) {
      g.Width = w;
      g.Height = h;
      g.Offset = LinearOffset(g.Steep ? w : h, tangent);
      g.Length = (g.Steep ? h : w) + g.Offset;
    };
    fit(width, height);
    if (g.Length > kMaxRamp) fit(kFallbackSide, kFallbackSide);
  } else if (gradType == kGradRectangular) {
    // Odd, so that the rings have a centre pixel.
    std::int32_t side = max(Align(width), Align(height)) - 1;
    if (side > kMaxRamp) side = kFallbackSide - 1;
    g.Width = g.Height = g.Length = side;
  } else {
    std::int32_t side = max(Align(width), Align(height));
    if (side > kMaxRamp) side = kFallbackSide;
    g.Width = g.Height = g.Length = side;
  }
  return g;
}

// Where each segment ends on a ramp of Length positions. The running sums are scaled in 64 bits,
// so step totals beyond 32767 from a stream still give ordered ends within the ramp.
void GradientResize(const std::int32_t* sums, int n, std::int32_t length, std::int32_t* ends) {
  const std::int64_t total = sums[n - 1];
  for (int j = 0; j < n; ++j)
    ends[j] = static_cast<std::int32_t>(((std::int64_t{sums[j]} * 65536 / total) * length) >> 16);
  ends[n - 1] = length;
}

void PutColor(Ramp& ramp, std::int32_t entry, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  std::uint8_t* e = ramp.Table.data() + 4 * entry;
  e[0] = blue;
  e[1] = green;
  e[2] = red;
}

// One palette entry per ramp position, even where neighbouring colours are equal.
void GradientDIBColourTable(Ramp& ramp, const tVortex* stops, const std::int32_t* ends, int n,
                            std::int32_t length, std::int16_t inMode) {
  std::array<std::uint8_t, kMaxRamp + 1> blue, green, red;
  std::int32_t begin = 0;
  for (int j = 0; j < n; ++j) {
    const auto len = static_cast<std::int16_t>(ends[j] - begin);
    if (len > 0) {
      tFulgoGradient::CalcInnerColors(stops[j].Blue, stops[j + 1].Blue, len, blue.data(), inMode);
      tFulgoGradient::CalcInnerColors(stops[j].Green, stops[j + 1].Green, len, green.data(), inMode);
      tFulgoGradient::CalcInnerColors(stops[j].Red, stops[j + 1].Red, len, red.data(), inMode);
      // The segment's last value is the next stop's colour, where the next segment starts.
      for (std::int32_t i = 0; i < len; ++i) PutColor(ramp, begin + i, blue[i], green[i], red[i]);
    }
    begin = ends[j];
  }
  for (std::int32_t k = 0; k < length; ++k) ramp.Index[k] = static_cast<std::uint8_t>(k);
  ramp.Highest = static_cast<std::uint8_t>(length - 1);
}

// Each segment is one band in the colour of the stop that starts it.
void DiscrGradDIBColourTable(Ramp& ramp, const tVortex* stops, const std::int32_t* ends, int n) {
  std::int32_t begin = 0;
  for (int j = 0; j < n; ++j) {
    PutColor(ramp, j, stops[j].Blue, stops[j].Green, stops[j].Red);
    for (std::int32_t k = begin; k < ends[j]; ++k) ramp.Index[k] = static_cast<std::uint8_t>(j);
    begin = ends[j];
  }
  ramp.Highest = static_cast<std::uint8_t>(n - 1);
}

// The ramp laid out as one line that each outer row (or column) shows shifted a little further,
// so the bands slant by the angle. Rows are memory rows: row 0 is the bottom row as displayed.
void LinearLayout(tGradientPicture& picture, const Ramp& ramp, std::int32_t angle, const Geometry& g) {
  const std::int32_t length = g.Length;
  const bool reversed = (angle + 45) / 180 % 2 == 1;
  picture.Line.resize(static_cast<std::size_t>(length));
  for (std::int32_t k = 0; k < length; ++k) picture.Line[k] = ramp.Index[reversed ? length - 1 - k : k];

  // Where the line starts in each outer row (or column). A start never exceeds the offset, which
  // is below 236.
  const std::int32_t outer = g.Steep ? g.Width : g.Height;
  std::vector<std::int32_t> starts(static_cast<std::size_t>(outer));
  const bool backwards = angle / 90 % 2 == 1;
  std::int32_t start = backwards ? g.Offset : 0;
  std::int32_t acc = 0;
  for (std::int32_t& s : starts) {
    s = start;
    acc += g.Offset;
    if (acc >= outer) {
      start += backwards ? -1 : 1;
      acc -= outer;
    }
  }
  // Steep: the line runs up each column from the column's start.
  std::vector<std::int32_t> along(static_cast<std::size_t>(g.Steep ? g.Height : g.Width));
  for (std::size_t k = 0; k < along.size(); ++k) along[k] = static_cast<std::int32_t>(k);
  picture.RowStart = g.Steep ? std::move(along) : std::move(starts);
  picture.ColumnOffset = g.Steep ? std::move(starts) : std::move(along);
}

// Concentric rectangle outlines from the centre outwards, ring r in ramp position 2r. A ring's right
// column lies one further out than its left one; the outermost falls into the row padding.
void RectGrad(tFulgoDib& bitmap, const Ramp& ramp, std::int32_t side) {
  const std::int32_t stride = Align(side);
  std::uint8_t* bits = dib::Bits(bitmap.Dib);
  const std::int32_t half = side / 2;
  for (std::int32_t r = 0; r <= half; ++r) {
    const std::uint8_t colour = ramp.Index[2 * r];
    const std::int32_t low = half - r;
    const std::int32_t high = half + r;
    std::memset(bits + low * stride + low, colour, static_cast<std::size_t>(2 * r + 1));
    std::memset(bits + high * stride + low, colour, static_cast<std::size_t>(2 * r + 1));
    for (std::int32_t row = low; row <= high; ++row) {
      bits[row * stride + low] = colour;
      bits[row * stride + high + 1] = colour;
    }
  }
}

// Concentric two-pixel-thick circles from the outside in, ring R in ramp position 2R; the corners
// outside the largest ring keep the last ramp colour the bitmap was filled with.
void CircleGrad(tFulgoDib& bitmap, const Ramp& ramp, std::int32_t side) {
  const std::int32_t stride = Align(side);
  std::uint8_t* bits = dib::Bits(bitmap.Dib);
  const std::int32_t c = (stride - 1) / 2;
  const auto plot = [&](std::int32_t column, std::int32_t row, std::uint8_t colour) {
    bits[row * stride + column] = colour;
  };
  for (std::int32_t radius = c; radius >= 1; --radius) {
    const std::uint8_t colour = ramp.Index[2 * radius];
    std::int32_t x = 0;
    std::int32_t y = radius;
    std::int32_t d = 2 * radius - 1;
    std::int32_t e = 0;
    while (x <= y) {
      e += 2 * x + 1;
      if (e > d) {
        d += 2 * y - 1;
        --y;
      }
      // Each point and its inward neighbour, in all eight octants.
      plot(c + x, c + y, colour);
      plot(c + x, c + y - 1, colour);
      plot(c - x, c + y, colour);
      plot(c - x, c + y - 1, colour);
      plot(c + x, c - y, colour);
      plot(c + x, c - y + 1, colour);
      plot(c - x, c - y, colour);
      plot(c - x, c - y + 1, colour);
      plot(c + y, c + x, colour);
      plot(c + y - 1, c + x, colour);
      plot(c - y, c + x, colour);
      plot(c - y + 1, c + x, colour);
      plot(c + y, c - x, colour);
      plot(c + y - 1, c - x, colour);
      plot(c - y, c - x, colour);
      plot(c - y + 1, c - x, colour);
      ++x;
    }
  }
}

void ShowGradientError() {
  host::MessageBox("Error while creating gradient", "Oops", host::MB_OK);
}

// Values of a record that do not fit the field they are meant for.
template <class T>
T ChangeValue(std::int32_t value) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
    throw EFulgoError("Error reading stream: gradient value " + std::to_string(value) + " out of range");
  return static_cast<T>(value);
}

template <class T>
T ListValue(std::int64_t value, int stop, const char* what) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
    throw host::EReadError("ZizeruWiz: " + std::string(what) + " of stop " + std::to_string(stop) + " is " +
                           std::to_string(value) + ", outside " +
                           std::to_string(std::numeric_limits<T>::min()) + ".." +
                           std::to_string(std::numeric_limits<T>::max()));
  return static_cast<T>(value);
}

}  // namespace

tFulgoGradient::tFulgoGradient(tFulgoPersistent* AOwner) : tFulgoPersistent(AOwner) {
  SetDefaults();
}

void tFulgoGradient::SetDefaults() {
  GradType = kGradLinear;
  InMode = 0;
  GradWidth = 110;
  GradHeight = 110;
  Angle = 0;
  Discr = false;
  StoreVortex = false;
  Vortex = {};
  Vortex[0].Red = 248;
  Vortex[0].Green = 200;
  Vortex[0].Blue = 113;
  Vortex[0].Steps = 20;
  Vortex[1].Red = 48;
  Vortex[1].Green = 68;
  Vortex[1].Blue = 33;
  Vortex[1].Steps = 0;
}

void tFulgoGradient::Init() {
  tFulgoPersistent::Init();
  SetDefaults();
}

void tFulgoGradient::SetGradType(std::int16_t Value) {
  if (Value == GradType) return;
  GradType = Value;
  Rebuild();
}

void tFulgoGradient::SetGradWidth(std::int16_t Value) {
  if (Value == GradWidth) return;
  GradWidth = Value;
  Rebuild();
}

void tFulgoGradient::SetGradHeight(std::int16_t Value) {
  if (Value == GradHeight) return;
  GradHeight = Value;
  Rebuild();
}

void tFulgoGradient::SetAngle(std::int16_t Value) {
  if (Value == Angle) return;
  Angle = Value;
  Rebuild();
}

void tFulgoGradient::SetDiscr(bool Value) {
  if (Value == Discr) return;
  Discr = Value;
  Rebuild();
}

void tFulgoGradient::SetInMode(std::int16_t Value) {
  if (Value == InMode) return;
  InMode = Value;
  Rebuild();
}

void tFulgoGradient::CalcInnerColors(std::uint8_t C1, std::uint8_t C2, std::int16_t Len, std::uint8_t* Out,
                                     std::int16_t InMode) {
  if (Len == 1) {
    Out[0] = C1;
    Out[1] = C2;
    return;
  }
  if (C1 == C2) {
    std::memset(Out, C1, static_cast<std::size_t>(Len) + 1);
    return;
  }
  if (InMode < 1 || InMode > 4) {
    // 16.16 steps; the shift floors, so a falling channel steps down evenly (255, 191, 127, 63, 0).
    const std::int32_t step = ((C2 - C1) * 65536) / Len;
    for (std::int32_t i = 0; i <= Len; ++i) Out[i] = static_cast<std::uint8_t>(C1 + ((i * step) >> 16));
    Out[0] = C1;
    Out[Len] = C2;
    return;
  }
  // The curve gives the channel's height above its lower end as a function of the distance from
  // its higher end, so the channel stays near the higher value for longer than a straight line.
  const std::int32_t* y = kCurveY[InMode - 1];
  std::array<std::int32_t, 101> a{};
  const bool falling = C1 > C2;
  if (falling)
    a[0] = 100 * 65536;
  else
    a[100] = 100 * 65536;
  for (int s = 0; s < 7; ++s) {
    const std::int32_t slope = (y[s + 1] - y[s]) / (kCurveX[s + 1] - kCurveX[s]);
    for (std::int32_t x = kCurveX[s]; x < kCurveX[s + 1]; ++x) {
      if (falling)
        a[x + 1] = a[x] + slope;
      else
        a[99 - x] = a[100 - x] + slope;
    }
  }
  const std::int32_t low = falling ? C2 : C1;
  const std::int64_t range = falling ? C1 - C2 : C2 - C1;
  Out[0] = C1;
  Out[Len] = C2;
  for (std::int32_t i = 1; i < Len; ++i) {
    const std::int32_t k = i * 100 / (Len - 1);
    const auto percent = static_cast<std::int32_t>(std::int64_t{a[k]} * range / 100);
    Out[i] = static_cast<std::uint8_t>(low + (percent >> 16));
  }
}

std::unique_ptr<tGradientPicture> tFulgoGradient::MakePicture() {
  if (GradType != kGradLinear && GradType != kGradRectangular && GradType != kGradCircular) return nullptr;
  if (GradType == kGradLinear) Angle = NormalisedAngle(Angle);

  // Stops in use: up to the first without steps; the tenth always ends the list.
  int n = 0;
  while (n < kMaxVortex - 1 && Vortex[n].Steps > 0) ++n;
  if (n == 0) {
    ShowGradientError();
    return nullptr;
  }
  std::array<std::int32_t, kMaxVortex> sums{};
  std::int32_t total = 0;
  for (int j = 0; j < n; ++j) sums[j] = total += Vortex[j].Steps;

  auto picture = std::make_unique<tGradientPicture>();
  picture->Width = RenderSide(GradWidth);
  picture->Height = RenderSide(GradHeight);
  const Geometry g = WorkingGeometry(GradType, picture->Width, picture->Height, Angle);
  picture->WorkWidth = g.Width;
  picture->WorkHeight = g.Height;
  std::array<std::int32_t, kMaxVortex> ends{};
  GradientResize(sums.data(), n, g.Length, ends.data());

  Ramp ramp{picture->Table};
  if (Discr)
    DiscrGradDIBColourTable(ramp, Vortex.data(), ends.data(), n);
  else
    GradientDIBColourTable(ramp, Vortex.data(), ends.data(), n, g.Length, InMode);
  picture->Highest = ramp.Highest;

  if (GradType == kGradLinear) {
    LinearLayout(*picture, ramp, Angle, g);
    return picture;
  }
  try {
    tFulgoDib& rings = picture->Rings;
    // Pixels no ring reaches keep the last ramp colour.
    rings.TransparentIndex = ramp.Highest;
    rings.MakeEmpty(static_cast<TWidth>(g.Width), static_cast<THeight>(g.Height));
    rings.TransparentIndex = kTransparentIndex;
    std::memcpy(dib::ColorTable(rings.Dib), ramp.Table.data(), ramp.Table.size());
    if (GradType == kGradRectangular)
      RectGrad(rings, ramp, g.Width);
    else
      CircleGrad(rings, ramp, g.Width);
  } catch (const host::EOutOfMemory&) {
    ShowGradientError();
    return nullptr;
  }
  const auto stride = static_cast<std::int32_t>(dib::RowStride(static_cast<std::uint32_t>(g.Width)));
  picture->RowStart.resize(static_cast<std::size_t>(g.Height));
  for (std::int32_t row = 0; row < g.Height; ++row) picture->RowStart[row] = row * stride;
  picture->ColumnOffset.resize(static_cast<std::size_t>(g.Width));
  for (std::int32_t column = 0; column < g.Width; ++column) picture->ColumnOffset[column] = column;
  return picture;
}

tFulgoGradient::tPictureSource tFulgoGradient::PictureSource() const {
  return {GradType, GradWidth, GradHeight, Angle, Discr, InMode, Vortex};
}

std::shared_ptr<const tGradientPicture> tFulgoGradient::SharedPicture() {
  if (picture_ && pictureSource_ == PictureSource()) return picture_;
  picture_.reset();
  pictureSource_.reset();
  // Taken after making: a linear gradient stores its angle back normalised.
  picture_ = MakePicture();
  if (picture_) pictureSource_ = PictureSource();
  return picture_;
}

void tFulgoGradient::CreateGradient(tFulgoDib& Dib) {
  const std::unique_ptr<tGradientPicture> picture = MakePicture();
  if (!picture) return;
  try {
    Dib.AdoptBlock(picture->RenderOwned());
  } catch (const host::EOutOfMemory&) {
    ShowGradientError();
  }
}

MemBlock tGradientPicture::RenderOwned() const {
  if (!Rings.Empty()) return Rings.ResizeDibOwned(static_cast<TWidth>(Width), static_cast<THeight>(Height));
  tFulgoDib work;
  // The row padding keeps the last ramp colour.
  work.TransparentIndex = Highest;
  work.MakeEmpty(static_cast<TWidth>(WorkWidth), static_cast<THeight>(WorkHeight));
  work.TransparentIndex = kTransparentIndex;
  std::memcpy(dib::ColorTable(work.Dib), Table.data(), Table.size());
  // Where the columns are not shifted, every row is one run of the line.
  bool runs = true;
  for (std::int32_t column = 0; column < WorkWidth && runs; ++column) runs = ColumnOffset[column] == column;
  for (std::int32_t row = 0; row < WorkHeight; ++row) {
    std::uint8_t* out = work.Row(row);
    const std::uint8_t* from = Line.data() + RowStart[row];
    if (runs)
      std::memcpy(out, from, static_cast<std::size_t>(WorkWidth));
    else
      for (std::int32_t column = 0; column < WorkWidth; ++column) out[column] = from[ColumnOffset[column]];
  }
  if (WorkWidth == Width && WorkHeight == Height) return work.ReleaseBlock();
  return work.ResizeDibOwned(static_cast<TWidth>(Width), static_cast<THeight>(Height));
}

namespace {

// The working row (or column) shown at each of Count positions of the gradient stretched to
// Count: through the working picture's own stretch to the gradient's size, where there is one.
std::vector<std::int32_t> SampledPositions(std::int32_t work, std::int32_t size, std::int32_t count) {
  std::vector<std::int32_t> positions(static_cast<std::size_t>(count));
  const std::uint32_t outer =
      StretchStep(static_cast<std::uint16_t>(size), static_cast<std::uint16_t>(count));
  const std::uint32_t inner = StretchStep(static_cast<std::uint16_t>(work), static_cast<std::uint16_t>(size));
  std::uint32_t acc = 0;
  for (std::int32_t& position : positions) {
    const std::uint32_t at = acc >> 16;
    position = static_cast<std::int32_t>(work == size ? at : (at * inner) >> 16);
    acc += outer;
  }
  return positions;
}

}  // namespace

void tGradientPicture::SampleGrid(std::int32_t W, std::int32_t H, std::vector<std::int32_t>& Columns,
                                  std::vector<const std::uint8_t*>& Rows) const {
  Columns = SampledPositions(WorkWidth, Width, W);
  for (std::int32_t& column : Columns) column = ColumnOffset[static_cast<std::size_t>(column)];
  const std::vector<std::int32_t> rowsAt = SampledPositions(WorkHeight, Height, H);
  Rows.resize(rowsAt.size());
  for (std::size_t j = 0; j < Rows.size(); ++j)
    Rows[j] = Pixels() + RowStart[static_cast<std::size_t>(rowsAt[j])];
}

void tGradientPicture::StretchOnto(tFulgoDib& Target, const std::uint8_t* Map,
                                   std::uint8_t Transparent) const {
  if (Target.Empty()) return;
  const std::int32_t w = Target.GetWidth(), h = Target.GetHeight();
  if (w == 0 || h == 0) return;
  std::vector<std::int32_t> columns;
  std::vector<const std::uint8_t*> rows;
  SampleGrid(w, h, columns, rows);
  SampleThrough(rows.data(), columns.data(), dib::Bits(Target.Dib), static_cast<std::uint16_t>(w),
                static_cast<std::uint16_t>(h), Map, Transparent);
}

void tFulgoGradient::AssignTo(host::TPersistent* Dest) const {
  // Only another gradient can take the fields; any other class, related or not, is refused.
  tFulgoGradient* dest = AssignTarget(*this, Dest);
  if (dest == this) return;
  tQuietNotices quiet(*dest);
  dest->GradType = GradType;
  dest->GradWidth = GradWidth;
  dest->GradHeight = GradHeight;
  dest->InMode = InMode;
  dest->Angle = Angle;
  dest->Discr = Discr;
  dest->Vortex = Vortex;
}

void tFulgoGradient::DefineProperties(host::TFiler& Filer) {
  Filer.DefineProperty(
      "ZizeruWiz", [this](host::TReader& reader) { ReadVortexArray(reader); },
      [this](host::TWriter& writer) { WriteVortexArray(writer); }, StoreVortex);
}

void tFulgoGradient::ReadVortexArray(host::TReader& Reader) {
  // Read into a copy, so a list that fails half-way leaves the stops as they were.
  std::array<tVortex, kMaxVortex> stops = Vortex;
  Reader.ReadListBegin();
  for (int stop = 0; !Reader.EndOfList(); ++stop) {
    std::int64_t item[6];
    for (std::int64_t& value : item) value = Reader.ReadInteger();
    // Items past the tenth stop are read and dropped.
    if (stop >= kMaxVortex) continue;
    tVortex& v = stops[static_cast<std::size_t>(stop)];
    v.Blue = ListValue<std::uint8_t>(item[0], stop, "blue");
    v.Green = ListValue<std::uint8_t>(item[1], stop, "green");
    v.Red = ListValue<std::uint8_t>(item[2], stop, "red");
    v.Steps = ListValue<std::int16_t>(item[4], stop, "steps");
    v.Index = ListValue<std::uint8_t>(item[5], stop, "index");
  }
  Reader.ReadListEnd();
  Vortex = stops;
}

void tFulgoGradient::WriteVortexArray(host::TWriter& Writer) const {
  Writer.WriteListBegin();
  for (const tVortex& v : Vortex) {
    Writer.WriteInteger(v.Blue);
    Writer.WriteInteger(v.Green);
    Writer.WriteInteger(v.Red);
    Writer.WriteInteger(0);
    Writer.WriteInteger(v.Steps);
    Writer.WriteInteger(v.Index);
    if (v.Steps == 0) break;
  }
  Writer.WriteListEnd();
}

void tFulgoGradient::SaveToStream(host::TStream& Stream) const {
  host::TWriter writer(Stream);
  WriteVortexArray(writer);
}

void tFulgoGradient::LoadFromStream(host::TStream& Stream) {
  host::TReader reader(Stream);
  ReadVortexArray(reader);
}

bool tFulgoGradient::WriteChanges(host::TStream& Stream, const host::TPersistent* Reference) {
  const auto* ref = dynamic_cast<const tFulgoGradient*>(Reference);
  if (!ref) throw EFulgoError("Object must have the same value");
  bool written = false;
  const auto field = [&](std::int32_t tag, std::int32_t value, std::int32_t reference) {
    if (value == reference) return;
    WriteStreamInteger(Stream, tag);
    WriteStreamInteger(Stream, value);
    written = true;
  };
  field(kTagGradType, GradType, ref->GradType);
  field(kTagInMode, InMode, ref->InMode);
  field(kTagGradWidth, GradWidth, ref->GradWidth);
  field(kTagGradHeight, GradHeight, ref->GradHeight);
  field(kTagAngle, Angle, ref->Angle);
  field(kTagDiscr, Discr ? 1 : 0, ref->Discr ? 1 : 0);
  WriteStreamInteger(Stream, kFieldsEnd);

  // A stop past the end of the reference's list is written even when its bytes happen to match.
  bool referenceEnded = false;
  for (int i = 0; i < kMaxVortex; ++i) {
    const tVortex& v = Vortex[static_cast<std::size_t>(i)];
    const tVortex& r = ref->Vortex[static_cast<std::size_t>(i)];
    if (referenceEnded || v.Blue != r.Blue || v.Green != r.Green || v.Red != r.Red || v.Steps != r.Steps) {
      WriteStreamInteger(Stream, i);
      WriteStreamInteger(Stream, v.Blue);
      WriteStreamInteger(Stream, v.Green);
      WriteStreamInteger(Stream, v.Red);
      WriteStreamInteger(Stream, v.Steps);
      written = true;
    }
    if (r.Steps == 0) referenceEnded = true;
    if (v.Steps == 0) break;
  }
  WriteStreamInteger(Stream, kStopsEnd);
  return written;
}

void tFulgoGradient::ReadChanges(host::TStream& Stream) {
  // The whole record is read before anything is applied: a malformed one changes nothing.
  std::int16_t gradType = GradType, inMode = InMode, gradWidth = GradWidth, gradHeight = GradHeight;
  std::int16_t angle = Angle;
  bool discr = Discr;
  std::array<tVortex, kMaxVortex> stops = Vortex;
  for (std::int32_t tag = ReadStreamInteger(Stream); tag != kFieldsEnd; tag = ReadStreamInteger(Stream)) {
    switch (tag) {
      case kTagGradType:
        gradType = ChangeValue<std::int16_t>(ReadStreamInteger(Stream));
        break;
      case kTagInMode:
        inMode = ChangeValue<std::int16_t>(ReadStreamInteger(Stream));
        break;
      case kTagGradWidth:
        gradWidth = ChangeValue<std::int16_t>(ReadStreamInteger(Stream));
        break;
      case kTagGradHeight:
        gradHeight = ChangeValue<std::int16_t>(ReadStreamInteger(Stream));
        break;
      case kTagAngle:
        angle = ChangeValue<std::int16_t>(ReadStreamInteger(Stream));
        break;
      case kTagDiscr:
        discr = ReadStreamInteger(Stream) != 0;
        break;
      // Tags of fields the record no longer carries still hold a value.
      case 1:
      case 2:
      case 6:
      case 7:
      case 9:
        ReadStreamInteger(Stream);
        break;
      default:
        break;
    }
  }
  bool stopsChanged = false;
  for (std::int32_t i = ReadStreamInteger(Stream); i != kStopsEnd; i = ReadStreamInteger(Stream)) {
    const std::int32_t blue = ReadStreamInteger(Stream);
    const std::int32_t green = ReadStreamInteger(Stream);
    const std::int32_t red = ReadStreamInteger(Stream);
    const std::int32_t steps = ReadStreamInteger(Stream);
    if (i < 0 || i >= kMaxVortex) continue;
    tVortex& v = stops[static_cast<std::size_t>(i)];
    v.Blue = ChangeValue<std::uint8_t>(blue);
    v.Green = ChangeValue<std::uint8_t>(green);
    v.Red = ChangeValue<std::uint8_t>(red);
    v.Steps = ChangeValue<std::int16_t>(steps);
    stopsChanged = true;
  }
  SetGradType(gradType);
  SetInMode(inMode);
  SetGradWidth(gradWidth);
  SetGradHeight(gradHeight);
  SetAngle(angle);
  SetDiscr(discr);
  if (stopsChanged) {
    Vortex = stops;
    Rebuild();
  }
}

}  // namespace vantora

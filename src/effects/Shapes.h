// Unit Shapes: warps a finished object bitmap into one of the numbered shapes of the shape file.
// Every column is squeezed between two boundary curves, then every row between two others; what
// lies outside stays transparent (247). The shape file is a run of 240-byte records; record 1 is the
// first.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "VantoraExport.h"
#include "core/Fuldib.h"

VANTORA_API_BEGIN
namespace vantora {

inline constexpr std::int32_t kShapeRecordSize = 240;
inline constexpr int kShapePointsPerHalf = 10;

// One point of a boundary pair, as stored: six little-endian 16-bit fields.
struct tShapePoint {
  std::int16_t Pos = 0;       // along the half's axis, any units
  std::int16_t Lo = 0;        // near edge: top of a column (from the top), left of a row
  std::int16_t Hi = 0;        // far edge: bottom of a column, right of a row
  std::int16_t LoCurve = 0;   // curve 1..5 to the next point's Lo
  std::int16_t HiCurve = 0;   // curve 1..5 to the next point's Hi; 0 ends the half
  std::int16_t Reserved = 0;  // not read
};

using tShapeHalf = std::array<tShapePoint, kShapePointsPerHalf>;

struct tShapeRecord {
  tShapeHalf Half1;  // over the columns, left to right: upper and lower edges
  tShapeHalf Half2;  // over the rows in memory order (bottom up): left and right edges
};

// Where a column (or row) of the shaped image begins, its length and the 16.16 source step.
struct tShapeSpan {
  std::int16_t Start = 0;
  std::int16_t Len = 0;
  std::int32_t Step = 0;
};

enum eShapePass : std::uint8_t { spColumns, spRows };

// A curve end: position along the axis and boundary value.
struct tCurvePoint {
  std::int32_t Pos = 0;
  std::int32_t Value = 0;
};

// The shape file a program names, for instance one shipped with it; an empty path undoes that.
void SetShapeFilePath(std::string Path);
// The shape file: the one set above, else the one "FulgoShapePath" in section "FulgoLabel" of the
// settings file names (empty when it names none or cannot be read).
std::string ShapeFilePath();

// Number of whole records in the shape file; 0 when it is missing, empty or cannot be opened.
// Counts beyond what a shape number can reach are given as 32767.
std::int16_t CheckShapesFile();

// Reads record Number into Buffer and answers its address, or nullptr when the file cannot be read.
// A number outside 1..count selects record 1.
tShapeRecord* MatrixNo(std::int16_t Number, tShapeRecord& Buffer);

// Warps Dib in place by shape Shape. A record that cannot be read, or cannot be used at this
// bitmap's size (degenerate values, unknown curves, positions that run backwards), sets Shape to 0
// and leaves Dib as it was. Shape 0 and a bitmap without pixels are left alone.
void GetMatrixShape(tFulgoDib& Dib, std::int16_t& Shape);

// Scales one half to a bitmap whose axis has AxisSize pixels and whose boundaries range over
// ValueSize pixels. Answers false, with Points untouched, when the half has no last point or its
// positions or values span nothing (the scale would divide by zero).
bool MatrixAdjustment(std::int16_t AxisSize, std::int16_t ValueSize, tShapeHalf& Points);

// Turns one pass's boundary arrays (one entry per span) into spans over N pixels.
void ResultShape(eShapePass Pass, std::int16_t N, std::span<const std::int16_t> Lo,
                 std::span<const std::int16_t> Hi, std::span<tShapeSpan> Spans);

// Fill Dest[0 .. P1.Pos - P0.Pos] with boundary values from P0 to P1. Each answers false and writes
// nothing when the segment cannot be drawn: P1 before P0, Dest too short, or a one-entry segment
// whose formula would divide by zero (Curve1 always, Curve2 and Curve3 when the values differ).
// Straight line.
[[nodiscard]] bool Curve1(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest);
// Parabola, flat at P0.
[[nodiscard]] bool Curve2(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest);
// Parabola, flat at P1.
[[nodiscard]] bool Curve3(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest);
// S-curve of two circular arcs: flat at both ends, steepest in the middle.
[[nodiscard]] bool Curve4(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest);
// Writes nothing: the entries keep what the array held.
[[nodiscard]] bool Curve5(tCurvePoint P0, tCurvePoint P1, std::span<std::int16_t> Dest);

}  // namespace vantora
VANTORA_API_END

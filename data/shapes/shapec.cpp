// Compiles the readable shape source into the shape file: fixed 240-byte records of two halves,
// ten 12-byte points each (position, near edge, far edge, near curve, far curve, reserved; all
// little-endian 16-bit). Usage: shapec SOURCE OUTPUT
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kPointsPerHalf = 10;

struct Point {
  int pos = 0, lo = 0, hi = 0, loCurve = 0, hiCurve = 0;
};

struct Shape {
  std::string name;
  std::vector<Point> columns, rows;
};

int CurveNumber(const std::string& name) {
  static const std::map<std::string, int> curves{{"line", 1}, {"flat-start", 2}, {"flat-end", 3}, {"s-curve", 4}};
  const auto it = curves.find(name);
  if (it == curves.end()) throw std::runtime_error("unknown curve '" + name + "'");
  return it->second;
}

int Int16(const std::string& text) {
  std::size_t used = 0;
  const int value = std::stoi(text, &used);
  if (used != text.size() || value < -32768 || value > 32767) throw std::runtime_error("bad number '" + text + "'");
  return value;
}

void Check(const Shape& shape, const std::vector<Point>& half, const char* which) {
  const std::string where = shape.name + " " + which + ": ";
  if (half.size() < 2 || half.size() > kPointsPerHalf) throw std::runtime_error(where + "needs 2 to 10 points");
  int minV = 1, maxV = 1;
  for (std::size_t i = 0; i < half.size(); ++i) {
    const Point& p = half[i];
    if (p.lo > p.hi) throw std::runtime_error(where + "near edge beyond far edge");
    if (i > 0 && p.pos <= half[i - 1].pos) throw std::runtime_error(where + "positions must increase");
    if ((i + 1 < half.size()) != (p.hiCurve != 0)) throw std::runtime_error(where + "only the last point has no curves");
    minV = std::min(minV, p.lo);
    maxV = std::max(maxV, p.hi);
  }
  if (maxV == minV) throw std::runtime_error(where + "edges span no distance");
}

std::vector<Shape> Parse(std::istream& in) {
  std::vector<Shape> shapes;
  std::vector<Point>* half = nullptr;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    try {
      line = line.substr(0, line.find('#'));
      std::istringstream words(line);
      std::vector<std::string> w;
      for (std::string word; words >> word;) w.push_back(word);
      if (w.empty()) continue;
      if (w[0] == "shape" && w.size() == 2) {
        shapes.push_back({w[1], {}, {}});
        half = nullptr;
      } else if (shapes.empty()) {
        throw std::runtime_error("expected 'shape NAME'");
      } else if (w[0] == "columns" && w.size() == 1) {
        half = &shapes.back().columns;
      } else if (w[0] == "rows" && w.size() == 1) {
        half = &shapes.back().rows;
      } else if (w[0] == "end" && w.size() == 1) {
        Check(shapes.back(), shapes.back().columns, "columns");
        Check(shapes.back(), shapes.back().rows, "rows");
        half = nullptr;
      } else if (half && (w.size() == 3 || w.size() == 5)) {
        Point p{Int16(w[0]), Int16(w[1]), Int16(w[2]), 0, 0};
        if (w.size() == 5) {
          p.loCurve = CurveNumber(w[3]);
          p.hiCurve = CurveNumber(w[4]);
        }
        half->push_back(p);
      } else {
        throw std::runtime_error("cannot read this line");
      }
    } catch (const std::exception& e) {
      throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
    }
  }
  return shapes;
}

void PutHalf(std::string& record, const std::vector<Point>& half) {
  for (int i = 0; i < kPointsPerHalf; ++i) {
    const Point p = i < static_cast<int>(half.size()) ? half[static_cast<std::size_t>(i)] : Point{};
    for (const int v : {p.pos, p.lo, p.hi, p.loCurve, p.hiCurve, 0}) {
      const auto u = static_cast<std::uint16_t>(v);
      record += static_cast<char>(u & 0xFF);
      record += static_cast<char>(u >> 8);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: shapec SOURCE OUTPUT\n";
    return 2;
  }
  try {
    std::ifstream in(argv[1]);
    if (!in) throw std::runtime_error(std::string("cannot open ") + argv[1]);
    std::string file;
    for (const Shape& shape : Parse(in)) {
      PutHalf(file, shape.columns);
      PutHalf(file, shape.rows);
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "shapec: " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}

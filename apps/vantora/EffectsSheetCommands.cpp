// effects-sheet: every fill kind, every gradient type and curve, each effect layer and every shipped
// shape painted on a sample body, one PNG per face and one contact sheet per group.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Commands.h"
#include "ToolImages.h"
#include "core/DibLayout.h"
#include "effects/Fulcolor.h"
#include "effects/Fulgrd.h"
#include "effects/Fullyrs.h"
#include "effects/Shapes.h"
#include "model/Fulgoobj.h"
#include "palette/Fulone.h"
#include "palette/RenderPass.h"
#include "util/Gen.h"

namespace vantora::tool {

namespace {

constexpr TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

constexpr std::int16_t kRoundedRectangle = 2;

struct Face {
  std::string caption;
  std::unique_ptr<tFulgoDib> dib;
};

// A body mask: every pixel of the body index 255, cut to a shape when one is given and the shape
// file holds it.
std::unique_ptr<tFulgoDib> Body(int width, int height, std::int16_t shape) {
  auto body = std::make_unique<tFulgoDib>();
  body->NewColored(static_cast<TWidth>(width), static_cast<THeight>(height), 255);
  if (shape != 0 && shape <= CheckShapesFile()) GetMatrixShape(*body, shape);
  return body;
}

// An object whose body is given, so that a sample is painted exactly as an object of a look is:
// its fill, then its active layers, in one palette.
class SampleObject : public tFulgoObject {
 public:
  explicit SampleObject(std::unique_ptr<tFulgoDib> body) : tFulgoObject(nullptr), body_(std::move(body)) {}
  void MakeFirstBitmap() override { Dib->GrabDib(*body_); }

 private:
  std::unique_ptr<tFulgoDib> body_;
};

// The painted sample with the palette of its render as its colour table.
std::unique_ptr<tFulgoDib> Paint(SampleObject& object) {
  tFulgoOnePalette palette;
  RenderPass(palette, object, [&object] { object.Render(); });
  auto face = std::make_unique<tFulgoDib>();
  face->GrabDib(*object.Dib);
  palette.SetColorTabelTo(*face);
  return face;
}

void SetStops(tFulgoGradient& gradient, std::initializer_list<std::array<int, 4>> stops) {
  gradient.Vortex = {};
  int i = 0;
  for (const auto& [r, g, b, steps] : stops) {
    tVortex& v = gradient.Vortex[static_cast<std::size_t>(i++)];
    v.Red = static_cast<std::uint8_t>(r);
    v.Green = static_cast<std::uint8_t>(g);
    v.Blue = static_cast<std::uint8_t>(b);
    v.Steps = static_cast<std::int16_t>(steps);
  }
}

void SunsetStops(tFulgoGradient& gradient) {
  SetStops(gradient, {{40, 30, 120, 30}, {220, 60, 110, 30}, {255, 200, 60, 30}, {255, 250, 220, 0}});
}

// A small picture for the bitmap fills: a warm diagonal pattern in a handful of colours.
std::unique_ptr<tFulgoDib> SamplePicture(int width, int height) {
  auto picture = std::make_unique<tFulgoDib>();
  picture->MakeNew(static_cast<TWidth>(width), static_cast<THeight>(height));
  const TColor colours[] = {0x003060C0, 0x0040A0F0, 0x0070D0F8, 0x00A0E8FF};
  for (int i = 0; i < 4; ++i) picture->SetColor(static_cast<std::uint8_t>(i + 1), colours[i]);
  std::uint8_t* row = dib::Bits(picture->Dib);
  const std::size_t stride = dib::RowStride(static_cast<std::uint32_t>(width));
  for (int y = 0; y < height; ++y, row += stride)
    for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>(1 + ((x + y) / 4) % 4);
  return picture;
}

void UsePicture(tFulgoColor& fill, std::unique_ptr<tFulgoDib> picture) {
  fill.FulgoGlyph->ReleaseDib();
  fill.FulgoGlyph->GetDib(std::move(picture));
}

std::vector<Face> FillFaces() {
  std::vector<Face> faces;
  const auto add = [&](const std::string& caption, auto configure) {
    SampleObject object(Body(145, 38, kRoundedRectangle));
    configure(*object.FulgoColor);
    faces.push_back({caption, Paint(object)});
  };
  add("Brush", [](tFulgoColor& f) { f.SetBrush(Rgb(200, 40, 40)); });
  add("Fuzz 5", [](tFulgoColor& f) {
    f.SetColorType(fgFuzz);
    f.SetBrush(Rgb(30, 70, 190));
    f.SetBrush2(Rgb(255, 255, 255));
    f.SetFuzz(5);
  });
  add("Bitmap", [](tFulgoColor& f) {
    f.SetColorType(fgBitmap);
    UsePicture(f, SamplePicture(48, 16));
  });
  add("Tiled bitmap", [](tFulgoColor& f) {
    f.SetColorType(fgTiledBitmap);
    UsePicture(f, SamplePicture(12, 12));
  });
  add("Gradient", [](tFulgoColor& f) {
    f.SetColorType(fgGradient);
    SunsetStops(*f.Gradient);
  });
  add("Tiled gradient", [](tFulgoColor& f) {
    f.SetColorType(fgTiledGradient);
    SunsetStops(*f.Gradient);
    f.Gradient->GradWidth = 24;
    f.Gradient->GradHeight = 24;
    f.Gradient->GradType = kGradCircular;
  });
  return faces;
}

std::vector<Face> GradientFaces() {
  std::vector<Face> faces;
  const auto add = [&](const std::string& caption, std::int16_t type, std::int16_t angle, std::int16_t mode,
                       bool discrete) {
    SampleObject object(Body(110, 110, 0));
    tFulgoColor& fill = *object.FulgoColor;
    fill.SetColorType(fgGradient);
    SunsetStops(*fill.Gradient);
    fill.Gradient->GradType = type;
    fill.Gradient->Angle = angle;
    fill.Gradient->InMode = mode;
    fill.Gradient->Discr = discrete;
    faces.push_back({caption, Paint(object)});
  };
  for (const std::int16_t angle : {0, 45, 90, 135, 200})
    add("Linear " + std::to_string(angle), kGradLinear, angle, 0, false);
  add("Rectangular", kGradRectangular, 0, 0, false);
  add("Circular", kGradCircular, 0, 0, false);
  add("Discrete", kGradLinear, 0, 0, true);
  for (std::int16_t mode = 1; mode <= 4; ++mode)
    add("Curve " + std::to_string(mode), kGradLinear, 0, mode, false);
  return faces;
}

std::vector<Face> LayerFaces() {
  std::vector<Face> faces;
  const auto add = [&](const std::string& caption, bool edge, bool embossed, bool frame, bool shadow) {
    SampleObject object(Body(145, 38, kRoundedRectangle));
    object.FulgoColor->SetBrush(Rgb(70, 130, 200));
    tFulgo3D& edgeLayer = *object.Layer3D;
    tFulgoFrame& frameLayer = *object.LayerFrame;
    tFulgoShadow& shadowLayer = *object.LayerShadow;
    edgeLayer.SetLineWidth(3);
    edgeLayer.FulgoColor1->SetBrush(Rgb(230, 240, 255));
    edgeLayer.FulgoColor2->SetBrush(Rgb(20, 40, 90));
    edgeLayer.SetEmbossed(embossed);
    frameLayer.SetLineWidth(2);
    frameLayer.FulgoColor1->SetBrush(Rgb(250, 190, 40));
    shadowLayer.SetLeft(4);
    shadowLayer.SetTop(4);
    shadowLayer.FulgoColor1->SetColorType(fgFuzz);
    shadowLayer.FulgoColor1->SetBrush(Rgb(60, 60, 60));
    shadowLayer.FulgoColor1->SetBrush2(Rgb(255, 255, 255));
    shadowLayer.FulgoColor1->SetFuzz(3);
    edgeLayer.SetActive(edge);
    frameLayer.SetActive(frame);
    shadowLayer.SetActive(shadow);
    faces.push_back({caption, Paint(object)});
  };
  add("3D edge", true, false, false, false);
  add("3D embossed", true, true, false, false);
  add("Frame", false, false, true, false);
  add("Shadow", false, false, false, true);
  add("All three", true, true, true, true);
  return faces;
}

std::vector<Face> ShapeFaces() {
  std::vector<Face> faces;
  const std::int16_t count = CheckShapesFile();
  for (std::int16_t shape = 1; shape <= count; ++shape) {
    SampleObject object(Body(145, 38, shape));
    object.FulgoColor->SetColorType(fgGradient);
    SunsetStops(*object.FulgoColor->Gradient);
    faces.push_back({"Shape " + std::to_string(shape), Paint(object)});
  }
  return faces;
}

void WriteGroup(const std::filesystem::path& dir, const std::string& group, const std::vector<Face>& faces,
                int columns) {
  ContactSheet sheet(columns);
  int n = 0;
  for (const Face& face : faces) {
    WriteFace(*face.dib, (dir / (group + "-" + std::to_string(++n) + ".png")).string());
    sheet.Add(face.caption, *face.dib);
  }
  sheet.Write((dir / (group + "-sheet.png")).string());
}

void RunEffectsSheet(const std::string& output) {
  const std::filesystem::path dir(output);
  std::filesystem::create_directories(dir);
  WriteGroup(dir, "fills", FillFaces(), 3);
  WriteGroup(dir, "gradients", GradientFaces(), 4);
  WriteGroup(dir, "layers", LayerFaces(), 3);
  WriteGroup(dir, "shapes", ShapeFaces(), 4);
}

}  // namespace

void AddEffectsSheetCommands(CLI::App& app) {
  auto output = std::make_shared<std::string>();
  CLI::App* sheet = app.add_subcommand(
      "effects-sheet",
      "Paint every fill kind, gradient type and curve, layer and shipped shape to PNG files");
  sheet->add_option("-o,--output", *output, "Directory for the pictures")->required();
  sheet->callback([output] { RunEffectsSheet(*output); });
}

}  // namespace vantora::tool

#include "ControlFaces.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "ToolErrors.h"
#include "controls/Fulbtn.h"
#include "controls/Fulpanel.h"
#include "host/backends/HeadlessBackend.h"
#include "host/classes/ComponentFormat.h"
#include "host/forms/Application.h"
#include "host/forms/StylePainter.h"
#include "model/Fultext.h"

namespace vantora::tool {

namespace {

constexpr int kMargin = 8;

std::string StreamClassName(const std::string& path) {
  host::TMemoryStream binary;
  host::TFileStream file(path, host::TFileMode::fmOpenRead);
  host::ReadComponentStream(file, binary);
  host::FormatReader format(binary);
  format.ReadSignature();
  return format.ReadName();
}

bool IsFulgoControlClass(const host::TClass* cls) {
  return cls && (cls->InheritsFrom(TFulgoGraphicControl::StaticClass()) ||
                 cls->InheritsFrom(tFulgoCustomPanel::StaticClass()));
}

// The library's control class the file holds; a file holding anything else is bad input.
const host::TClass& ControlClass(const std::string& path) {
  const std::string name = StreamClassName(path);
  const host::TClass* cls = host::GetClass(name);
  if (!IsFulgoControlClass(cls))
    throw std::runtime_error(path + " holds " + (cls ? "a " : "an unknown class ") + name +
                             ", not a label, button or panel of the library");
  return *cls;
}

// A picture drawn under the controls, at its own size from the top-left corner.
class PictureBack : public host::TGraphicControl {
 public:
  explicit PictureBack(host::TComponent* owner) : host::TGraphicControl(owner) {}
  host::TBitmap picture;

 protected:
  void Paint() override { Canvas().Draw(0, 0, picture); }
};

// The states a button is shown in, in order.
std::vector<std::string> ButtonStates(const ControlFaceOptions& options) {
  if (options.state) return {*options.state};
  return {kButtonStateNames.begin(), kButtonStateNames.end()};
}

void ShowState(TFulgoButton& button, const std::string& state) {
  if (state == "down")
    button.PressState = psDown;
  else if (state == "disabled")
    button.SetEnabled(false);
  else if (state == "hover")
    button.MouseInside = true;
  else if (state != "up")
    throw UsageError("--state takes up, down, disabled or hover");
}

void CheckPng(const std::string& path) {
  if (std::filesystem::path(path).extension() != ".png")
    throw UsageError("control faces render to a .png file");
}

// A colour taken two fifths of the way to white.
std::uint8_t Brighter(std::uint8_t value) {
  return static_cast<std::uint8_t>((value * 3 + 255 * 2) / 5);
}
TColor Brighter(TColor color) {
  const auto part = [&](int shift) {
    return static_cast<TColor>(Brighter(static_cast<std::uint8_t>(color >> shift))) << shift;
  };
  return part(0) | part(8) | part(16);
}

void Brighten(tFulgoColor& fill) {
  fill.SetBrush(Brighter(fill.Brush));
  fill.SetBrush2(Brighter(fill.Brush2));
  for (tVortex& stop : fill.Gradient->Vortex) {
    stop.Blue = Brighter(stop.Blue);
    stop.Green = Brighter(stop.Green);
    stop.Red = Brighter(stop.Red);
  }
}

// How light a fill looks, 0 to 255: its brush, or the mean of its gradient's stops.
int Luminance(int red, int green, int blue) {
  return (red * 299 + green * 587 + blue * 114) / 1000;
}
int FillLuminance(const tFulgoColor& fill) {
  if (fill.ColorType != fgGradient && fill.ColorType != fgTiledGradient)
    return Luminance(host::GetRValue(fill.Brush), host::GetGValue(fill.Brush), host::GetBValue(fill.Brush));
  int sum = 0, stops = 0;
  for (const tVortex& stop : fill.Gradient->Vortex) {
    sum += Luminance(stop.Red, stop.Green, stop.Blue);
    ++stops;
    if (stop.Steps <= 0) break;
  }
  return sum / std::max(stops, 1);
}

// Disabled letters are grey: of the greys that read well on the face, the one that stands furthest
// from both the face and the up letters, so that the button plainly cannot be pressed.
TColor DisabledTextColor(const tFulgoColor& face, const tFulgoColor& upLetters) {
  constexpr int kDarkest = 0x10, kLightest = 0xE8, kReadable = 88;
  const int faceLum = FillLuminance(face), lettersLum = FillLuminance(upLetters);
  int best = faceLum < 0x80 ? kLightest : kDarkest, bestDistance = -1;
  for (int grey = kDarkest; grey <= kLightest; ++grey) {
    if (std::abs(grey - faceLum) < kReadable) continue;
    const int distance = std::min(std::abs(grey - faceLum), std::abs(grey - lettersLum));
    if (distance > bestDistance) {
      best = grey;
      bestDistance = distance;
    }
  }
  return static_cast<TColor>(best | best << 8 | best << 16);
}

void GiveStateLooks(TFulgoButton& button) {
  NoRebuilds quiet(button);
  tFulgoButtonArt& down = *button.DownArt;
  if (down.FulgoBackground->LayerShadow->Active) {
    const tFulgoShadow& shadow = *down.FulgoBackground->LayerShadow;
    down.SetInnerOffsetX(shadow.Left);
    down.SetInnerOffsetY(shadow.Top);
    down.SetInnerOffsetSizeX(-shadow.Left);
    down.SetInnerOffsetSizeY(-shadow.Top);
    down.FulgoBackground->LayerShadow->SetActive(false);
  } else {
    down.FulgoText->Align->Y += 2;
    down.FulgoText->Align->X += 1;
  }
  Brighten(*button.MouseOverArt->FulgoBackground->FulgoColor);
  tFulgoText& disabled = *button.DisableArt->FulgoText;
  const TColor grey =
      DisabledTextColor(*button.DisableArt->FulgoBackground->FulgoColor, *button.Art->FulgoText->FulgoColor);
  disabled.FulgoColor->SetColorType(fgBrush);
  disabled.FulgoColor->SetBrush(grey);
  disabled.LayerShadow->SetActive(false);
  button.ChildStateChanged();
}

// A form on a headless screen that the faces are placed on.
class FaceBoard {
 public:
  FaceBoard() {
    auto backend = std::make_unique<host::THeadlessBackend>();
    headless_ = backend.get();
    app_ = std::make_unique<host::TApplication>(std::move(backend));
    form_ = new host::TForm(app_.get());
    form_->SetBorderStyle(host::bsNone);
    form_->SetColor(host::clWhite);
    form_->SetBounds(0, 0, 1000, 400);
  }

  // A picture drawn under everything placed later.
  void Background(const std::string& path) {
    back_ = new PictureBack(form_);
    back_->picture.LoadFromFile(path);
    back_->SetBounds(0, 0, back_->picture.Width(), back_->picture.Height());
    back_->SetParent(form_);
    Grow(back_->Width(), back_->Height());
  }

  void Caption(const std::string& text, int x, int y) {
    auto* caption = new CaptionText(form_);
    caption->SetCaption(text);
    caption->SetBounds(x, y, 220, 16);
    caption->SetParent(form_);
  }

  // Places the control of the file (a button once per state) from (X, Y); answers the size taken.
  host::SIZE Place(const std::string& path, const ControlFaceOptions& options, int x, int y) {
    const host::TClass& cls = ControlClass(path);
    std::vector<host::TControl*> controls;
    if (cls.InheritsFrom(TFulgoButton::StaticClass())) {
      for (const std::string& state : ButtonStates(options)) {
        auto* button = static_cast<TFulgoButton*>(LoadControl(cls, path));
        ShowState(*button, state);
        controls.push_back(button);
      }
    } else {
      if (options.state) throw UsageError("--state is for buttons");
      controls.push_back(LoadControl(cls, path));
    }
    int left = x, height = 0;
    for (host::TControl* control : controls) {
      auto& fulgo = dynamic_cast<tFulgoControl&>(*control);
      if (back_) fulgo.FulgoInt().SetDrawMode(edTransparent);
      // Rendered now, the control has its size.
      fulgo.FulgoInt().LoadIfCreated();
      control->SetBounds(left, y, control->Width(), control->Height());
      left += control->Width() + kMargin;
      height = std::max(height, control->Height());
    }
    Grow(left, y + height + kMargin);
    return host::SIZE{left - x, height};
  }

  void Screenshot(const std::string& path) {
    form_->SetBounds(0, 0, width_, height_);
    form_->Show();
    app_->ProcessMessages();
    headless_->Screenshot(form_->Handle(), path);
  }

 private:
  // Names a face on a contact sheet.
  class CaptionText : public host::TGraphicControl {
   public:
    explicit CaptionText(host::TComponent* owner) : host::TGraphicControl(owner) {}

   protected:
    void Paint() override {
      host::StylePainter::Caption(Canvas().Handle(), ClientRect(), Caption(), Font(), host::taLeftJustify,
                                  host::vaCenter, true);
    }
  };

  host::TControl* LoadControl(const host::TClass& cls, const std::string& path) {
    host::TComponent* component = cls.Create(form_);
    // The file's AutoSize counts here, not the control's own.
    LoadControlFromFile(*component, path, false);
    auto* control = dynamic_cast<host::TControl*>(component);
    control->SetParent(form_);
    return control;
  }
  void Grow(int width, int height) {
    width_ = std::max(width_, width);
    height_ = std::max(height_, height);
  }

  host::THeadlessBackend* headless_ = nullptr;
  std::unique_ptr<host::TApplication> app_;
  host::TForm* form_ = nullptr;
  PictureBack* back_ = nullptr;
  int width_ = 1, height_ = 1;
};

}  // namespace

bool IsControlFile(const std::string& path) {
  try {
    return IsFulgoControlClass(host::GetClass(StreamClassName(path)));
  } catch (const host::Exception&) {
    return false;
  }
}

void RenderControlFile(const std::string& input, const std::string& output,
                       const ControlFaceOptions& options) {
  CheckPng(output);
  FaceBoard board;
  if (options.transparentOver) board.Background(*options.transparentOver);
  board.Place(input, options, kMargin, kMargin);
  board.Screenshot(output);
}

void RenderContactSheet(const std::vector<std::string>& inputs, const std::string& output) {
  CheckPng(output);
  FaceBoard board;
  int y = kMargin;
  for (const std::string& input : inputs) {
    board.Caption(std::filesystem::path(input).filename().string(), kMargin, y);
    y += board.Place(input, ControlFaceOptions{}, kMargin, y + 18).cy + 18 + 2 * kMargin;
  }
  board.Screenshot(output);
}

std::vector<TStateFace> RgbaControlFaces(const std::string& input) {
  std::unique_ptr<host::TComponent> control(ControlClass(input).Create(nullptr));
  // The file's AutoSize counts here, as on a contact sheet.
  LoadControlFromFile(*control, input, false);
  return RenderStateFaces(dynamic_cast<tFulgoControl&>(*control));
}

std::unique_ptr<tFulgoLabelArt> RenderLook(const std::string& input,
                                           const std::optional<std::string>& caption) {
  auto art = std::make_unique<tFulgoLabelArt>(nullptr);
  host::TFileStream file(input, host::TFileMode::fmOpenRead);
  art->LoadFromStream(file);
  if (caption) art->FulgoText->SetCaption(*caption);
  art->Render();
  return art;
}

void BuildControlFile(const std::string& source, const std::string& output) {
  std::unique_ptr<host::TComponent> control(ControlClass(source).Create(nullptr));
  LoadControlFromFile(*control, source, false);
  if (auto* button = dynamic_cast<TFulgoButton*>(control.get());
      button && button->ButtonStatesData.Size() == 0)
    GiveStateLooks(*button);
  SaveControlToFile(*control, output);
}

}  // namespace vantora::tool

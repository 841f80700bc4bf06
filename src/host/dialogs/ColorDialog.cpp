#include "host/dialogs/ColorDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "host/dialogs/DialogForm.h"
#include "host/forms/Responder.h"
#include "host/forms/StylePainter.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/Label.h"

namespace vantora::host {

namespace {

constexpr const char* kTitle = "Color";

constexpr int kSwatchWidth = 20, kSwatchHeight = 16, kSwatchGap = 6, kColumns = 8;
constexpr int kFieldWidth = 180, kFieldHeight = 150;
constexpr int kCustomCount = 16;
constexpr int kBarGap = 6, kBarWidth = 14, kMarkWidth = 6;
// The hue field, the value bar beside it with its mark, then the labelled numbers.
constexpr int kBarsRight = kFieldWidth + 4 + kBarGap + kBarWidth + 4 + kMarkWidth;
constexpr int kFullLeft = 236, kFullWidth = kFullLeft + kBarsRight + 10 + 40 + 34 + 10;

constexpr std::uint32_t kBasicRgb[] = {
    0xFF8080, 0xFFFF80, 0x80FF80, 0x00FF80, 0x80FFFF, 0x0080FF, 0xFF80C0, 0xFF80FF, 0xFF0000, 0xFFFF00,
    0x80FF00, 0x00FF40, 0x00FFFF, 0x0080C0, 0x8080C0, 0xFF00FF, 0x804040, 0xFF8040, 0x00FF00, 0x008080,
    0x004080, 0x8080FF, 0x800040, 0xFF0080, 0x800000, 0xFF8000, 0x008000, 0x008040, 0x0000FF, 0x0000A0,
    0x800080, 0x8000FF, 0x400000, 0x804000, 0x004000, 0x004040, 0x000080, 0x000040, 0x400040, 0x400080,
    0x000000, 0x808000, 0x808040, 0x808080, 0x408080, 0xC0C0C0, 0x400040, 0xFFFFFF};

TColor FromRgbHex(std::uint32_t rgb) {
  return static_cast<TColor>(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

std::string ToRgbHex(TColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", static_cast<unsigned>(GetRValue(color)),
                static_cast<unsigned>(GetGValue(color)), static_cast<unsigned>(GetBValue(color)));
  return text;
}

// A grid of colour swatches; a click selects one.
class TSwatchGrid : public TGraphicControl {
 public:
  TSwatchGrid(TComponent* owner, std::vector<TColor> colors)
      : TGraphicControl(owner), colors_(std::move(colors)) {
    const int rows = (static_cast<int>(colors_.size()) + kColumns - 1) / kColumns;
    SetBounds(0, 0, kColumns * (kSwatchWidth + kSwatchGap), rows * (kSwatchHeight + kSwatchGap));
  }
  int Count() const { return static_cast<int>(colors_.size()); }
  TColor ColorAt(int index) const { return colors_[static_cast<std::size_t>(index)]; }
  void SetColorAt(int index, TColor color) {
    colors_[static_cast<std::size_t>(index)] = color;
    Invalidate();
  }
  int Selected() const { return selected_; }
  void SetSelected(int index) {
    selected_ = index;
    Invalidate();
  }
  RECT SwatchRect(int index) const {
    const int x = (index % kColumns) * (kSwatchWidth + kSwatchGap) + kSwatchGap / 2;
    const int y = (index / kColumns) * (kSwatchHeight + kSwatchGap) + kSwatchGap / 2;
    return RECT{x, y, x + kSwatchWidth, y + kSwatchHeight};
  }
  std::function<void(int index)> OnPick;

 protected:
  void Paint() override {
    HDC dc = Canvas().Handle();
    for (int i = 0; i < Count(); ++i) {
      RECT r = SwatchRect(i);
      if (i == selected_) {
        RECT outer = r;
        InflateRect(&outer, 2, 2);
        StylePainter::Frame3D(dc, outer, clWindowText, clWindowText, 1);
      }
      StylePainter::FieldFrame(dc, r);
      StylePainter::Fill(dc, r, colors_[static_cast<std::size_t>(i)]);
    }
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    TGraphicControl::MouseDown(button, shift, x, y);
    for (int i = 0; i < Count(); ++i) {
      RECT r = SwatchRect(i);
      InflateRect(&r, kSwatchGap / 2, kSwatchGap / 2);
      if (PtInRect(&r, POINT{x, y})) {
        SetSelected(i);
        if (OnPick) OnPick(i);
        return;
      }
    }
  }

 private:
  std::vector<TColor> colors_;
  int selected_ = -1;
};

// Hue across, saturation up, at full value; a cross marks the colour. Drawn once into a bitmap.
class THueSaturationField : public TGraphicControl {
 public:
  explicit THueSaturationField(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, kFieldWidth + 4, kFieldHeight + 4);
  }
  void SetMark(const THsv& hsv) {
    mark_ = hsv;
    Invalidate();
  }
  std::function<void(int hue, int saturation)> OnPick;

 protected:
  void Paint() override {
    HDC dc = Canvas().Handle();
    RECT r = ClientRect();
    StylePainter::FieldFrame(dc, r);
    if (field_.Empty()) {
      field_.SetSize(kFieldWidth, kFieldHeight);
      for (int y = 0; y < kFieldHeight; ++y)
        for (int x = 0; x < kFieldWidth; ++x)
          field_.Canvas().SetPixelColor(x, y, HsvToRgb(THsv{HueAt(x), SaturationAt(y), 100}));
    }
    Canvas().Draw(r.left, r.top, field_);
    const int x = r.left + mark_.hue * (kFieldWidth - 1) / 359;
    const int y = r.top + (100 - mark_.saturation) * (kFieldHeight - 1) / 100;
    StylePainter::Fill(dc, RECT{x - 5, y, x - 1, y + 1}, clBlack);
    StylePainter::Fill(dc, RECT{x + 2, y, x + 6, y + 1}, clBlack);
    StylePainter::Fill(dc, RECT{x, y - 5, x + 1, y - 1}, clBlack);
    StylePainter::Fill(dc, RECT{x, y + 2, x + 1, y + 6}, clBlack);
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    TGraphicControl::MouseDown(button, shift, x, y);
    Pick(x, y);
  }
  void MouseMove(TShiftState shift, int x, int y) override {
    TGraphicControl::MouseMove(shift, x, y);
    if (ControlState() & csLButtonDown) Pick(x, y);
  }

 private:
  static int HueAt(int x) { return std::clamp(x, 0, kFieldWidth - 1) * 359 / (kFieldWidth - 1); }
  static int SaturationAt(int y) {
    return 100 - std::clamp(y, 0, kFieldHeight - 1) * 100 / (kFieldHeight - 1);
  }
  void Pick(int x, int y) {
    if (OnPick) OnPick(HueAt(x - 2), SaturationAt(y - 2));
  }
  TBitmap field_;
  THsv mark_{0, 0, 0};
};

// The chosen hue and saturation from full value at the top down to black; a click or a drag picks
// the value, which a mark on the right shows.
class TValueBar : public TGraphicControl {
 public:
  explicit TValueBar(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, kBarWidth + 4 + kMarkWidth, kFieldHeight + 4);
  }
  void SetMark(const THsv& hsv) {
    mark_ = hsv;
    Invalidate();
  }
  std::function<void(int value)> OnPick;

 protected:
  void Paint() override {
    HDC dc = Canvas().Handle();
    StylePainter::Fill(dc, ClientRect(), clBtnFace);
    RECT r{0, 0, kBarWidth + 4, kFieldHeight + 4};
    StylePainter::FieldFrame(dc, r);
    for (int y = 0; y < kFieldHeight; ++y)
      StylePainter::Fill(dc, RECT{r.left, r.top + y, r.right, r.top + y + 1},
                         HsvToRgb(THsv{mark_.hue, mark_.saturation, ValueAt(y)}));
    // A small arrow pointing at the value.
    const int y = r.top + (100 - mark_.value) * (kFieldHeight - 1) / 100;
    for (int i = 0; i < kMarkWidth - 2; ++i)
      StylePainter::Fill(dc, RECT{r.right + 2 + i, y - i, r.right + 3 + i, y + i + 1}, clWindowText);
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    TGraphicControl::MouseDown(button, shift, x, y);
    Pick(y);
  }
  void MouseMove(TShiftState shift, int x, int y) override {
    TGraphicControl::MouseMove(shift, x, y);
    if (ControlState() & csLButtonDown) Pick(y);
  }

 private:
  static int ValueAt(int y) { return 100 - std::clamp(y, 0, kFieldHeight - 1) * 100 / (kFieldHeight - 1); }
  void Pick(int y) {
    if (OnPick) OnPick(ValueAt(y - 2));
  }
  THsv mark_{0, 0, 0};
};

// A plain colour in a sunken frame.
class TColorSample : public TGraphicControl {
 public:
  explicit TColorSample(TComponent* owner) : TGraphicControl(owner) {}
  void SetSample(TColor color) {
    Color_ = color;
    Invalidate();
  }

 protected:
  void Paint() override {
    RECT r = ClientRect();
    StylePainter::FieldFrame(Canvas().Handle(), r);
    StylePainter::Fill(Canvas().Handle(), r, Color_);
  }

 private:
  TColor Color_ = clBlack;
};

class TColorDialogForm : public TDialogForm {
 public:
  TColorDialogForm(TColor start, bool fullOpen, bool preventFullOpen, std::vector<TColor> custom)
      : TDialogForm(kTitle, 240, 300), start_(start) {
    Place<TLabel>(this, "BasicLabel", 10, 8, 200, 13, "&Basic colors:");
    std::vector<TColor> basic;
    for (std::uint32_t rgb : kBasicRgb) basic.push_back(FromRgbHex(rgb));
    basic_ = MakeGrid("Basic", 24, std::move(basic));
    basic_->OnPick = [this](int i) {
      custom_->SetSelected(-1);
      SetChosen(basic_->ColorAt(i));
    };
    Place<TLabel>(this, "CustomLabel", 10, basic_->Top() + basic_->Height() + 8, 200, 13, "&Custom colors:");
    custom.resize(kCustomCount, clWhite);
    custom_ = MakeGrid("Custom", basic_->Top() + basic_->Height() + 24, std::move(custom));
    custom_->OnPick = [this](int i) {
      basic_->SetSelected(-1);
      SetChosen(custom_->ColorAt(i));
    };
    const int buttonsTop = custom_->Top() + custom_->Height() + 10;
    define_ = Place<TButton>(this, "DefineButton", 10, buttonsTop, 208, 23, "&Define Custom Colors >>");
    define_->OnClick = [this](TPersistent*) { OpenFully(); };
    define_->SetEnabled(!preventFullOpen);
    SetActiveControl(AddButton("OK", "OK", mrOk, 10, buttonsTop + 32, true));
    AddButton("Cancel", "Cancel", mrCancel, 92, buttonsTop + 32, false, true);
    SetBounds(0, 0, 230, buttonsTop + 32 + 25 + 10);
    BuildFullPart();
    SetChosen(start);
    for (int i = 0; i < basic_->Count(); ++i)
      if (basic_->ColorAt(i) == start) basic_->SetSelected(i);
    if (fullOpen && !preventFullOpen) OpenFully();
  }

  TColor Chosen() const { return chosen_; }
  std::vector<TColor> CustomColors() const {
    std::vector<TColor> colors;
    for (int i = 0; i < custom_->Count(); ++i) colors.push_back(custom_->ColorAt(i));
    return colors;
  }

 private:
  TSwatchGrid* MakeGrid(const std::string& name, int top, std::vector<TColor> colors) {
    auto* grid = new TSwatchGrid(this, std::move(colors));
    grid->SetName(name);
    grid->SetLeft(10);
    grid->SetTop(top);
    grid->SetParent(this);
    return grid;
  }

  void BuildFullPart() {
    constexpr int left = kFullLeft;
    field_ = Place<THueSaturationField>(this, "HueSaturation", left, 10, kFieldWidth + 4, kFieldHeight + 4);
    field_->OnPick = [this](int hue, int saturation) {
      THsv hsv = RgbToHsv(chosen_);
      if (hsv.value == 0) hsv.value = 100;
      SetChosen(HsvToRgb(THsv{hue, saturation, hsv.value}));
    };
    bar_ = Place<TValueBar>(this, "Value", left + kFieldWidth + 4 + kBarGap, 10, kBarWidth + 4 + kMarkWidth,
                            kFieldHeight + 4);
    bar_->OnPick = [this](int value) {
      const THsv hsv = RgbToHsv(chosen_);
      SetChosen(HsvToRgb(THsv{hsv.hue, hsv.saturation, value}));
    };
    sample_ = Place<TColorSample>(this, "Sample", left, 172, 60, 40);
    startSample_ = Place<TColorSample>(this, "StartSample", left + 60, 172, 60, 40);
    startSample_->SetSample(start_);
    Place<TLabel>(this, "SampleLabel", left, 214, 120, 13, "Color|Start");
    const char* names[] = {"Hue", "Sat", "Val", "Red", "Green", "Blue"};
    const char* captions[] = {"Hu&e:", "&Sat:", "&Val:", "&Red:", "&Green:", "Bl&ue:"};
    for (int i = 0; i < 6; ++i) {
      const int x = left + kBarsRight + 10 + 40, y = 10 + i * 26;
      auto* label = Place<TLabel>(this, std::string(names[i]) + "Label", x - 38, y + 4, 36, 13, captions[i]);
      label->SetAlignment(taRightJustify);
      fields_[i] = Place<TEdit>(this, names[i], x, y, 34, 21);
      fields_[i]->SetMaxLength(3);
      label->SetFocusControl(fields_[i]);
      fields_[i]->OnChange = [this, i](TPersistent*) { FieldChanged(i); };
    }
    add_ = Place<TButton>(this, "AddButton", left, 250, kFieldWidth + 4, 23, "&Add to Custom Colors");
    add_->OnClick = [this](TPersistent*) { AddCustom(); };
    for (TControl* c :
         {static_cast<TControl*>(field_), static_cast<TControl*>(bar_), static_cast<TControl*>(sample_),
          static_cast<TControl*>(startSample_), static_cast<TControl*>(add_)})
      full_.push_back(c);
    for (int i = 0; i < ComponentCount(); ++i)
      if (auto* label = dynamic_cast<TLabel*>(Components(i)); label && label->Left() >= left)
        full_.push_back(label);
    for (TEdit* edit : fields_) full_.push_back(edit);
    for (TControl* c : full_) c->SetVisible(false);
  }

  void OpenFully() {
    if (fullOpen_) return;
    fullOpen_ = true;
    for (TControl* c : full_) c->SetVisible(true);
    define_->SetEnabled(false);
    SetBounds(Left(), Top(), kFullWidth, Height());
  }

  void SetChosen(TColor color) {
    chosen_ = ColorToRGB(color) & 0xFFFFFF;
    updating_ = true;
    const THsv hsv = RgbToHsv(chosen_);
    const int values[] = {
        hsv.hue, hsv.saturation, hsv.value, GetRValue(chosen_), GetGValue(chosen_), GetBValue(chosen_)};
    for (int i = 0; i < 6; ++i) {
      const std::string text = std::to_string(values[i]);
      if (fields_[i]->Text() != text && !fields_[i]->Focused()) fields_[i]->SetText(text);
    }
    updating_ = false;
    field_->SetMark(hsv);
    bar_->SetMark(hsv);
    sample_->SetSample(chosen_);
  }

  void FieldChanged(int index) {
    if (updating_) return;
    int values[6];
    for (int i = 0; i < 6; ++i) {
      const std::string& text = fields_[i]->Text();
      // A field being typed into may be empty or hold anything; only numbers count.
      if (text.empty() || text.size() > 3 ||
          !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
      values[i] = std::stoi(text);
    }
    if (index < 3)
      SetChosen(HsvToRgb(THsv{std::min(values[0], 359), std::min(values[1], 100), std::min(values[2], 100)}));
    else
      SetChosen(static_cast<TColor>(
          RGB(std::min(values[3], 255), std::min(values[4], 255), std::min(values[5], 255))));
  }

  void AddCustom() {
    // Into the selected custom swatch, else the next one in turn.
    const int index = custom_->Selected() >= 0 ? custom_->Selected() : nextCustom_++ % kCustomCount;
    custom_->SetColorAt(index, chosen_);
  }

  TColor start_;
  TColor chosen_ = clBlack;
  TSwatchGrid* basic_ = nullptr;
  TSwatchGrid* custom_ = nullptr;
  TButton* define_ = nullptr;
  TButton* add_ = nullptr;
  THueSaturationField* field_ = nullptr;
  TValueBar* bar_ = nullptr;
  TColorSample* sample_ = nullptr;
  TColorSample* startSample_ = nullptr;
  TEdit* fields_[6] = {};
  std::vector<TControl*> full_;
  bool fullOpen_ = false;
  bool updating_ = false;
  int nextCustom_ = 0;
};

}  // namespace

THsv RgbToHsv(TColor color) {
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  const int max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
  int hue = 0;
  if (delta > 0) {
    double h;
    if (max == r)
      h = std::fmod(static_cast<double>(g - b) / delta, 6.0);
    else if (max == g)
      h = static_cast<double>(b - r) / delta + 2;
    else
      h = static_cast<double>(r - g) / delta + 4;
    hue = static_cast<int>(std::lround(h * 60)) % 360;
    if (hue < 0) hue += 360;
  }
  const int saturation = max == 0 ? 0 : static_cast<int>(std::lround(delta * 100.0 / max));
  return THsv{hue, saturation, static_cast<int>(std::lround(max * 100.0 / 255))};
}

TColor HsvToRgb(const THsv& hsv) {
  const double v = hsv.value / 100.0, s = hsv.saturation / 100.0;
  const double c = v * s, h = (hsv.hue % 360) / 60.0;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1)), m = v - c;
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
    case 0:
      r = c, g = x;
      break;
    case 1:
      r = x, g = c;
      break;
    case 2:
      g = c, b = x;
      break;
    case 3:
      g = x, b = c;
      break;
    case 4:
      r = x, b = c;
      break;
    default:
      r = c, b = x;
      break;
  }
  const auto byte = [m](double channel) { return static_cast<BYTE>(std::lround((channel + m) * 255)); };
  return static_cast<TColor>(RGB(byte(r), byte(g), byte(b)));
}

const TEnumInfo& TypeInfoOf(TColorDialogOption) {
  static const TEnumInfo info{"TColorDialogOption", {"cdFullOpen", "cdPreventFullOpen"}};
  return info;
}

const TClass& TColorDialog::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TColorDialog>("TColorDialog", TCommonDialog::StaticClass())
          .Property("Color", &TColorDialog::Color, &TColorDialog::SetColor, clBlack)
          .Property("CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors)
          .Property("Options", &TColorDialog::Options, &TColorDialog::SetOptions, TColorDialogOptions{})
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TColorDialog);

TColorDialog::TColorDialog(TComponent* owner)
    : TCommonDialog(owner), customColors_(std::make_unique<TStrings>()) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
  TDialogRecord record;
  record.kind = TDialogKind::Color;
  record.title = kTitle;
  record.color = color_;
  if (auto answer = DialogResponder().Take(record)) {
    if (answer->accept) color_ = answer->color;
    return answer->accept;
  }
  std::vector<TColor> custom(kCustomCount, clWhite);
  for (int i = 0; i < kCustomCount; ++i) {
    const std::string value = customColors_->List().Values(std::string("Color") + static_cast<char>('A' + i));
    if (value.size() == 6 && value.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
      custom[static_cast<std::size_t>(i)] =
          FromRgbHex(static_cast<std::uint32_t>(std::stoul(value, nullptr, 16)));
  }
  TColorDialogForm form(color_, options_.Contains(cdFullOpen), options_.Contains(cdPreventFullOpen), custom);
  TDialogAnswer answer;
  answer.accept = form.Run() == mrOk;
  answer.color = form.Chosen();
  DialogResponder().Record(record, answer);
  if (!answer.accept) return false;
  color_ = form.Chosen();
  const std::vector<TColor> chosen = form.CustomColors();
  customColors_->BeginUpdate();
  customColors_->Clear();
  for (int i = 0; i < kCustomCount; ++i)
    customColors_->Add(std::string("Color") + static_cast<char>('A' + i) + "=" +
                       ToRgbHex(chosen[static_cast<std::size_t>(i)]));
  customColors_->EndUpdate();
  return true;
}

}  // namespace vantora::host

#include "controls/Qorspin2.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <string>

#include "host/classes/Convert.h"
#include "host/classes/Platform.h"
#include "host/forms/StylePainter.h"
#include "util/Gen.h"

namespace vantora {

namespace {

constexpr std::uint32_t kFirstRepeat = 400;
constexpr std::uint32_t kNextRepeats = 100;
constexpr int kButtonWidth = 15;

// The glyph is drawn one pixel wider and taller than it is; the nearest-pixel stretch doubles its
// middle column and third row. So the arrow is two pixels wide at the tip (three once drawn) and
// the doubled row falls on the up arrow's base and the down arrow's tip, under which a background
// row keeps the button's lower edge clear.
constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 4;
constexpr int kArrowRows = 3;
constexpr const char* kUpArrow[kArrowRows] = {"...##...", "..####..", ".######."};

void Beep() {
  host::MessageBeep(0);
}

std::unique_ptr<host::TBitmap> MakeArrow(bool up) {
  auto bitmap = std::make_unique<host::TBitmap>();
  bitmap->SetSize(kGlyphWidth, kGlyphHeight);
  host::TCanvas& canvas = bitmap->Canvas();
  canvas.Brush().SetColor(kSpinGlyphBackground);
  canvas.FillRect(host::RECT{0, 0, kGlyphWidth, kGlyphHeight});
  for (int row = 0; row < kArrowRows; ++row) {
    const int y = up ? row : kArrowRows - 1 - row;
    for (int x = 0; x < kGlyphWidth; ++x)
      if (kUpArrow[row][x] == '#') canvas.SetPixelColor(x, y, host::clBtnText);
  }
  return bitmap;
}

void CreateSpinBitmaps() {
  g_SpinUpBitMap = MakeArrow(true);
  g_SpinDownBitMap = MakeArrow(false);
  // Before the drawing layer's own statics go at exit.
  static const bool registered = (std::atexit(Clear_g_SpinBitmaps), true);
  (void)registered;
}

}  // namespace

std::unique_ptr<host::TBitmap> g_SpinUpBitMap;
std::unique_ptr<host::TBitmap> g_SpinDownBitMap;

void Clear_g_SpinBitmaps() {
  g_SpinUpBitMap.reset();
  g_SpinDownBitMap.reset();
}

const host::TEnumInfo& TypeInfoOf(efgRanges) {
  static const host::TEnumInfo info{"efgRanges", {"fgrNone", "fgrBoth", "fgrMax", "fgrMin"}};
  return info;
}

// ---- tQorSpinButton

const host::TClass& tQorSpinButton::StaticClass() {
  using B = tQorSpinButton;
  static const host::TClass& cls =
      host::ClassBuilder<B>("tQorSpinButton", host::TCustomControl::StaticClass())
          .Property("FocusControl", &B::FocusControl, &B::SetFocusControl)
          .Method("OnClick")
          .Method("OnDblClick")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tQorSpinButton);

tQorSpinButton::tQorSpinButton(host::TComponent* AOwner) : host::TCustomControl(AOwner) {
  SetControlStyle((ControlStyle() & ~(host::csAcceptsControls | host::csFramed | host::csSetCaption)) |
                  host::csOpaque);
  SetBounds(0, 0, kButtonWidth, 10);
  if (!g_SpinUpBitMap) CreateSpinBitmaps();
}

tQorSpinButton::~tQorSpinButton() = default;

void tQorSpinButton::SetFocusControl(host::TWinControl* value) {
  if (value == focusControl_) return;
  if (focusControl_) RemoveFreeNotification(focusControl_);
  focusControl_ = value;
  if (value) FreeNotification(value);
}

void tQorSpinButton::Notification(host::TComponent* AComponent, host::TOperation Operation) {
  host::TCustomControl::Notification(AComponent, Operation);
  if (Operation == host::TOperation::opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void tQorSpinButton::Paint() {
  host::TControlCanvas& canvas = Canvas();
  host::StylePainter::ButtonFace(canvas.Handle(), host::RECT{0, 0, Width(), Height()}, "", Font(), Pressed,
                                 false, IsEnabledInTree(), false);
  canvas.Brush().SetColor(host::clBtnFace);
  host::TBitmap* glyph = IsUpButton ? g_SpinUpBitMap.get() : g_SpinDownBitMap.get();
  if (!glyph) return;
  const int w = glyph->Width(), h = glyph->Height();
  canvas.BrushCopy(host::RECT{3, 2, w + 4, h + 3}, *glyph, host::RECT{0, 0, w, h}, kSpinGlyphBackground);
}

void tQorSpinButton::MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) {
  Pressed = true;
  Invalidate();
  host::TCustomControl::MouseDown(Button, Shift, X, Y);
  if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused())
    focusControl_->SetFocus();
  if (!repeatTimer_) {
    repeatTimer_ = std::make_unique<host::TTimer>(nullptr);
    repeatTimer_->OnTimer = [this](host::TPersistent* sender) { TimerExpired(sender); };
  }
  repeatTimer_->SetInterval(kFirstRepeat);
  repeatTimer_->SetEnabled(true);
}

void tQorSpinButton::TimerExpired(host::TPersistent*) {
  repeatTimer_->SetInterval(kNextRepeats);
  if (host::GetCaptureControl() != this) return;
  try {
    Click();
  } catch (...) {
    // A step that failed is not repeated ten times a second.
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
    throw;
  }
}

void tQorSpinButton::MouseUp(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) {
  Pressed = false;
  Invalidate();
  host::TCustomControl::MouseUp(Button, Shift, X, Y);
  repeatTimer_.reset();
}

// ---- tQorSpin2

const host::TClass& tQorSpin2::StaticClass() {
  using S = tQorSpin2;
  // Value comes after the range, so that a stream sets the range before the value it checks.
  static const host::TClass& cls = host::ClassBuilder<S>("tQorSpin2", host::TCustomEdit::StaticClass())
                                       .Field("Increment", &S::Increment, 1)
                                       .Field("MinValue", &S::MinValue, 0)
                                       .Field("MaxValue", &S::MaxValue, 0)
                                       .Method("OnLegalChange")
                                       .Field("CheckRange", &S::CheckRange, fgrNone)
                                       .Property("Value", &S::Getvalue, &S::SetValue)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tQorSpin2);

tQorSpin2::tQorSpin2(host::TComponent* AOwner)
    : host::TCustomEdit(AOwner), upButton_(new tQorSpinButton(this)), downButton_(new tQorSpinButton(this)) {
  SetControlStyle(ControlStyle() & ~host::csSetCaption);
  SetText("0");
  for (tQorSpinButton* button : {upButton_, downButton_}) {
    button->SetFocusControl(this);
    button->SetParent(this);
  }
  upButton_->IsUpButton = true;
  upButton_->OnClick =
      upButton_->OnDblClick = [this](host::TPersistent* sender) { SpinUpBtnClicked(sender); };
  downButton_->OnClick =
      downButton_->OnDblClick = [this](host::TPersistent* sender) { SpinDownBtnClicked(sender); };
  PlaceButtons();
}

tQorSpin2::~tQorSpin2() = default;

std::int32_t tQorSpin2::Getvalue() const {
  return host::StrToInt(Text());
}

bool tQorSpin2::CheckNewValue(std::int64_t Value) const {
  return (MinValue == 0 && MaxValue == 0) || (MinValue <= Value && Value <= MaxValue);
}

bool tQorSpin2::CheckValue() const {
  return CheckLegalStrToInt(Text()) && CheckNewValue(Getvalue());
}

void tQorSpin2::SetValue(std::int32_t Value) {
  if (!CheckNewValue(Value)) {
    Beep();
    return;
  }
  SetText(std::to_string(Value));
  lastGood_ = Value;
}

void tQorSpin2::Step(std::int32_t Direction) {
  if (!CheckLegalStrToInt(Text())) {
    Beep();
    RestoreLastGood();
    return;
  }
  const std::int64_t next = std::int64_t{Getvalue()} + std::int64_t{Direction} * Increment;
  if (next < INT32_MIN || next > INT32_MAX) {
    Beep();
    return;
  }
  SetValue(static_cast<std::int32_t>(next));
}

void tQorSpin2::RestoreLastGood() {
  SetText(std::to_string(lastGood_));
}

void tQorSpin2::SpinUpBtnClicked(host::TPersistent*) {
  Step(1);
}

void tQorSpin2::SpinDownBtnClicked(host::TPersistent*) {
  Step(-1);
}

void tQorSpin2::UpClick(host::TPersistent* Sender) {
  if (ReadOnly())
    Beep();
  else
    SpinUpBtnClicked(Sender);
}

void tQorSpin2::DownClick(host::TPersistent* Sender) {
  if (ReadOnly())
    Beep();
  else
    SpinDownBtnClicked(Sender);
}

void tQorSpin2::Change() {
  host::TCustomEdit::Change();
  if (!CheckValue()) return;
  lastGood_ = Getvalue();
  DoLegalChange();
}

void tQorSpin2::DoLegalChange() {
  if (OnLegalChange) OnLegalChange(this);
}

void tQorSpin2::KeyDown(std::uint16_t& Key, host::TShiftState Shift) {
  if (Key == host::VK_UP)
    UpClick(this);
  else if (Key == host::VK_DOWN)
    DownClick(this);
  host::TCustomEdit::KeyDown(Key, Shift);
}

bool tQorSpin2::IsValidChar(char Key) const {
  const char separator = *std::localeconv()->decimal_point;
  const auto c = static_cast<unsigned char>(Key);
  return Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == separator || (c < 32 && c != 13);
}

void tQorSpin2::KeyPress(char& Key) {
  if (!IsValidChar(Key)) {
    Key = 0;
    Beep();
  }
  if (Key != 0) host::TCustomEdit::KeyPress(Key);
}

void tQorSpin2::CMExit(host::TMessage& Message) {
  host::TCustomEdit::CMExit(Message);
  if (CheckValue()) return;
  if (!CheckLegalStrToInt(Text())) {
    // Leaving a text that is no number keeps the last one that was.
    Beep();
    RestoreLastGood();
  } else if (Getvalue() > MaxValue) {
    SetValue(MaxValue);
  } else {
    SetValue(MinValue);
  }
}

void tQorSpin2::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  host::TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (upButton_) PlaceButtons();
}

void tQorSpin2::PlaceButtons() {
  // The buttons sit inside the edit's border, at the right edge of the area within it.
  const int border = BorderStyle() == host::bsSingle ? 2 : 0;
  upButton_->SetBounds(Width() - upButton_->Width() - 4 + border, border, kButtonWidth, (Height() - 2) / 2);
  downButton_->SetBounds(upButton_->Left(), Height() - upButton_->Height() - 3 + border, kButtonWidth,
                         upButton_->Height());
}

host::RECT tQorSpin2::TextArea() const {
  // The text never runs under the buttons.
  host::RECT area = host::TCustomEdit::TextArea();
  if (upButton_) area.right = std::min(area.right, upButton_->Left() - 2);
  return area;
}

}  // namespace vantora

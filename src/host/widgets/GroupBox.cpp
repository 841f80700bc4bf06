#include "host/widgets/GroupBox.h"

#include "host/forms/StylePainter.h"

namespace vantora::host {

const TClass& TCustomGroupBox::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TCustomGroupBox>("TCustomGroupBox", TCustomControl::StaticClass()).Build();
  return cls;
}

const TClass& TGroupBox::StaticClass() {
  static const TClass& cls = ClassBuilder<TGroupBox>("TGroupBox", TCustomGroupBox::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TGroupBox);

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::Paint() {
  HDC dc = Canvas().Handle();
  StylePainter::Fill(dc, ClientRect(), Color());
  const SIZE extent = StylePainter::TextExtent(dc, Caption().empty() ? "0" : Caption(), Font());
  RECT frame = ClientRect();
  frame.top = extent.cy / 2;
  constexpr int kCaptionLeft = 8;
  if (Caption().empty()) {
    StylePainter::EtchedFrame(dc, frame, 0, 0);
    return;
  }
  StylePainter::EtchedFrame(dc, frame, kCaptionLeft - 1, kCaptionLeft + extent.cx + 1);
  StylePainter::Caption(dc, RECT{kCaptionLeft, 0, kCaptionLeft + extent.cx, extent.cy}, Caption(), Font(),
                        taLeftJustify, vaTop, IsEnabledInTree());
}

RECT TCustomGroupBox::AlignArea() const {
  HDC dc = GetDC(nullptr);
  const int captionHeight = StylePainter::TextExtent(dc, "0", *FontObject()).cy;
  ReleaseDC(nullptr, dc);
  RECT r = ClientRect();
  r.top += captionHeight;
  InflateRect(&r, -2, -2);
  return r;
}

void TCustomGroupBox::CMDialogChar(TMessage& message) {
  // The accelerator of the caption moves the focus to the first control inside.
  if (IsAccel(static_cast<std::uint16_t>(message.WParam), Caption()) && IsShowing() && IsEnabledInTree()) {
    if (TWinControl* first = FindNextControl(nullptr, true, true)) {
      message.Result = 1;
      first->SetFocus();
      return;
    }
  }
  TCustomControl::CMDialogChar(message);
}

void TCustomGroupBox::CMTextChanged(TMessage& message) {
  TCustomControl::CMTextChanged(message);
  Invalidate();
}

}  // namespace vantora::host

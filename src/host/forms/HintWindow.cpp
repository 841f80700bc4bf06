#include "host/forms/HintWindow.h"

#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {
constexpr int kTextMargin = 3;  // between the frame and the text, on every side
}

const TClass& THintWindow::StaticClass() {
  static const TClass& cls = ClassBuilder<THintWindow>("THintWindow", TCustomForm::StaticClass()).Build();
  return cls;
}

THintWindow::THintWindow(TComponent* owner) : TCustomForm(owner) {
  SetBorderStyle(bsNone);
  SetColor(clSystemColor | COLOR_INFOBK);
  Font().SetColor(clSystemColor | COLOR_INFOTEXT);
}

void THintWindow::ActivateHint(POINT at, const std::string& text) {
  SetCaption(text);
  const Owned<HDC> measure(CreateCompatibleDC(nullptr));
  const SIZE extent = StylePainter::TextExtent(measure, text, Font());
  const int width = extent.cx + 2 * (kTextMargin + 1);
  const int height = extent.cy + 2 * (kTextMargin + 1);
  at = KeptOnScreen(at, SIZE{width, height});
  SetBounds(at.x, at.y, width, height);
  Invalidate();
  SetVisible(true);
}

void THintWindow::PaintBackground(HDC dc, const RECT&) {
  RECT r = ClientRect();
  StylePainter::Frame3D(dc, r, clSystemColor | COLOR_WINDOWFRAME, clSystemColor | COLOR_WINDOWFRAME, 1);
  StylePainter::Fill(dc, r, Color());
  InflateRect(&r, -kTextMargin, 0);
  StylePainter::Caption(dc, r, Caption(), Font(), taLeftJustify, vaCenter, true);
}

}  // namespace vantora::host

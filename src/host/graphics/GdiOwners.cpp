#include "host/graphics/GdiOwners.h"

namespace vantora::host {

SelectGuard::SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc) {
  if (object) previous_ = SelectObject(dc, object);
}

SelectGuard::SelectGuard(HDC dc, HPALETTE palette, BOOL forceBackground) : dc_(dc), palette_(true) {
  if (palette) previous_ = SelectPalette(dc, palette, forceBackground);
}

SelectGuard::~SelectGuard() {
  if (!previous_) return;
  if (palette_)
    SelectPalette(dc_, static_cast<HPALETTE>(previous_), TRUE);
  else
    SelectObject(dc_, previous_);
}

}  // namespace vantora::host

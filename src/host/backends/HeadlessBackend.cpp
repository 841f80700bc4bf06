#include "host/backends/HeadlessBackend.h"

#include <algorithm>
#include <utility>

#include "host/graphics/Gdi.h"
#include "host/graphics/PictureFile.h"

namespace vantora::host {

THeadlessBackend::THeadlessBackend() = default;
THeadlessBackend::~THeadlessBackend() = default;

const THeadlessBackend::Window* THeadlessBackend::Find(HWND surface) const {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [surface](const Window& w) { return w.surface == surface; });
  return it == windows_.end() ? nullptr : &*it;
}

THeadlessBackend::Window* THeadlessBackend::Find(HWND surface) {
  return const_cast<Window*>(std::as_const(*this).Find(surface));
}

void THeadlessBackend::ShowNativeWindow(HWND surface, const TNativeWindowParams& params) {
  HideNativeWindow(surface);
  windows_.push_back(Window{surface, params.caption, params.left, params.top});
  focused_ = surface;
  const SurfacePixels pixels = GetSurfacePixels(surface);
  Compose(RECT{params.left, params.top, params.left + pixels.width, params.top + pixels.height});
}

void THeadlessBackend::HideNativeWindow(HWND surface) {
  const Window* window = Find(surface);
  if (!window) return;
  const SurfacePixels pixels = GetSurfacePixels(surface);
  const RECT area{window->left, window->top, window->left + pixels.width, window->top + pixels.height};
  std::erase_if(windows_, [surface](const Window& w) { return w.surface == surface; });
  std::erase_if(events_, [surface](const TBackendEvent& e) { return e.window == surface; });
  if (focused_ == surface) focused_ = windows_.empty() ? nullptr : windows_.back().surface;
  Compose(area);
}

void THeadlessBackend::SetNativeCaption(HWND surface, const std::string& caption) {
  if (Window* window = Find(surface)) window->caption = caption;
}

void THeadlessBackend::MoveNativeWindow(HWND surface, int left, int top) {
  Window* window = Find(surface);
  if (!window) return;
  const SurfacePixels pixels = GetSurfacePixels(surface);
  const RECT before{window->left, window->top, window->left + pixels.width, window->top + pixels.height};
  window->left = left;
  window->top = top;
  Compose(before);
  Compose(RECT{left, top, left + pixels.width, top + pixels.height});
}

void THeadlessBackend::Present(HWND surface, const RECT& dirty) {
  const Window* window = Find(surface);
  if (!window || IsRectEmpty(&dirty)) return;
  RECT area = dirty;
  OffsetRect(&area, window->left, window->top);
  Compose(area);
}

void THeadlessBackend::Compose(const RECT& area) {
  const SIZE size = ScreenSize();
  RECT clip{};
  const RECT screenRect{0, 0, size.cx, size.cy};
  if (!IntersectRect(&clip, &area, &screenRect)) return;
  HDC screen = GetDC(nullptr);
  HBRUSH desktop = CreateSolidBrush(GetSysColor(COLOR_BACKGROUND));
  FillRect(screen, &clip, desktop);
  DeleteObject(desktop);
  for (const Window& window : windows_) {
    const SurfacePixels pixels = GetSurfacePixels(window.surface);
    const RECT bounds{window.left, window.top, window.left + pixels.width, window.top + pixels.height};
    RECT part{};
    if (!IntersectRect(&part, &bounds, &clip)) continue;
    HDC source = GetDC(window.surface);
    BitBlt(screen, part.left, part.top, part.right - part.left, part.bottom - part.top, source,
           part.left - window.left, part.top - window.top, SRCCOPY);
    ReleaseDC(window.surface, source);
  }
  ReleaseDC(nullptr, screen);
}

bool THeadlessBackend::PollEvent(TBackendEvent& event) {
  if (events_.empty()) return false;
  event = std::move(events_.front());
  events_.pop_front();
  return true;
}

bool THeadlessBackend::WaitEvent(std::uint32_t timeoutMs) {
  if (!events_.empty()) return true;
  if (timeoutMs == kWaitForever) return false;
  now_ += timeoutMs;
  return true;
}

SIZE THeadlessBackend::ScreenSize() const {
  return GetScreenSize();
}

void THeadlessBackend::Push(TBackendEvent event) {
  events_.push_back(std::move(event));
}

void THeadlessBackend::MouseMove(HWND window, int x, int y, std::uint32_t shift) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::MouseMove;
  e.window = window;
  e.x = x;
  e.y = y;
  e.shift = shift;
  Push(std::move(e));
}

void THeadlessBackend::MouseDown(HWND window, int x, int y, TMouseButton button, std::uint32_t shift,
                                 int clicks) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::MouseDown;
  e.window = window;
  e.x = x;
  e.y = y;
  e.button = button;
  e.shift = shift;
  e.clicks = clicks;
  Push(std::move(e));
}

void THeadlessBackend::MouseUp(HWND window, int x, int y, TMouseButton button, std::uint32_t shift) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::MouseUp;
  e.window = window;
  e.x = x;
  e.y = y;
  e.button = button;
  e.shift = shift;
  Push(std::move(e));
}

void THeadlessBackend::Click(HWND window, int x, int y, TMouseButton button, std::uint32_t shift) {
  MouseMove(window, x, y, shift);
  MouseDown(window, x, y, button, shift);
  MouseUp(window, x, y, button, shift);
}

void THeadlessBackend::DoubleClick(HWND window, int x, int y) {
  Click(window, x, y);
  MouseDown(window, x, y, TMouseButton::Left, 0, 2);
  MouseUp(window, x, y);
}

void THeadlessBackend::Wheel(HWND window, int x, int y, int delta) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::MouseWheel;
  e.window = window;
  e.x = x;
  e.y = y;
  e.wheelDelta = delta;
  Push(std::move(e));
}

void THeadlessBackend::KeyDown(std::uint16_t key, std::uint32_t shift) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::KeyDown;
  e.window = focused_;
  e.key = key;
  e.shift = shift;
  Push(std::move(e));
}

void THeadlessBackend::KeyUp(std::uint16_t key, std::uint32_t shift) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::KeyUp;
  e.window = focused_;
  e.key = key;
  e.shift = shift;
  Push(std::move(e));
}

void THeadlessBackend::PressKey(std::uint16_t key, std::uint32_t shift) {
  KeyDown(key, shift);
  KeyUp(key, shift);
}

void THeadlessBackend::Type(const std::string& text) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::Text;
  e.window = focused_;
  e.text = text;
  Push(std::move(e));
}

void THeadlessBackend::Activate(HWND window) {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [window](const Window& w) { return w.surface == window; });
  if (it == windows_.end()) return;
  std::rotate(it, it + 1, windows_.end());  // to the top
  if (focused_ && focused_ != window) {
    TBackendEvent out;
    out.kind = TBackendEvent::Kind::FocusOut;
    out.window = focused_;
    Push(std::move(out));
  }
  focused_ = window;
  TBackendEvent in;
  in.kind = TBackendEvent::Kind::FocusIn;
  in.window = window;
  Push(std::move(in));
  const SurfacePixels pixels = GetSurfacePixels(window);
  const Window& top = windows_.back();
  Compose(RECT{top.left, top.top, top.left + pixels.width, top.top + pixels.height});
}

void THeadlessBackend::DragWindow(HWND window, int left, int top) {
  if (!Find(window)) return;
  MoveNativeWindow(window, left, top);
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::Moved;
  e.window = window;
  e.x = left;
  e.y = top;
  Push(std::move(e));
}

void THeadlessBackend::RequestClose(HWND window) {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::CloseRequest;
  e.window = window;
  Push(std::move(e));
}

void THeadlessBackend::RequestQuit() {
  TBackendEvent e;
  e.kind = TBackendEvent::Kind::Quit;
  Push(std::move(e));
}

void THeadlessBackend::Screenshot(HWND window, const std::string& path) const {
  const SurfacePixels pixels = GetSurfacePixels(window);
  if (!pixels.pixels) throw EInvalidGraphic("No such window to take a screenshot of");
  WritePngFile(path, pixels.width, pixels.height, pixels.pixels, static_cast<std::size_t>(pixels.width));
}

bool THeadlessBackend::IsShown(HWND window) const {
  return Find(window) != nullptr;
}

std::string THeadlessBackend::Caption(HWND window) const {
  const Window* w = Find(window);
  return w ? w->caption : std::string();
}

POINT THeadlessBackend::Position(HWND window) const {
  const Window* w = Find(window);
  return w ? POINT{w->left, w->top} : POINT{0, 0};
}

}  // namespace vantora::host

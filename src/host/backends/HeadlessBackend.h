// The backend without a display: top-level windows are laid out on the drawing layer's in-memory
// screen, time is a virtual clock that only moves when told (or when the program waits), and input
// is injected by whoever drives the program (a test, or the command-line tool).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/backends/Backend.h"

VANTORA_API_BEGIN
namespace vantora::host {

class THeadlessBackend : public TBackend {
 public:
  THeadlessBackend();
  ~THeadlessBackend() override;

  const char* Name() const override { return "headless"; }
  void ShowNativeWindow(HWND surface, const TNativeWindowParams& params) override;
  void HideNativeWindow(HWND surface) override;
  void SetNativeCaption(HWND surface, const std::string& caption) override;
  void MoveNativeWindow(HWND surface, int left, int top) override;
  void Present(HWND surface, const RECT& dirty) override;
  bool PollEvent(TBackendEvent& event) override;
  // With nothing queued the clock moves on by the timeout, as if the time had been waited; with
  // no timeout nothing could ever happen, and it answers false.
  bool WaitEvent(std::uint32_t timeoutMs) override;
  std::uint32_t GetTickCount() const override { return now_; }
  void SetMouseCapture(bool captured) override { captured_ = captured; }
  void SetCursor(TCursor cursor) override { cursor_ = cursor; }
  std::string GetClipboardText() override { return clipboard_; }
  void SetClipboardText(const std::string& text) override { clipboard_ = text; }
  void Beep() override { ++beeps_; }
  SIZE ScreenSize() const override;

  // Input, queued as a person would give it. Positions are in the window's client pixels.
  void MouseMove(HWND window, int x, int y, std::uint32_t shift = 0);
  void MouseDown(HWND window, int x, int y, TMouseButton button = TMouseButton::Left, std::uint32_t shift = 0,
                 int clicks = 1);
  void MouseUp(HWND window, int x, int y, TMouseButton button = TMouseButton::Left, std::uint32_t shift = 0);
  // Move there, press and release.
  void Click(HWND window, int x, int y, TMouseButton button = TMouseButton::Left, std::uint32_t shift = 0);
  void DoubleClick(HWND window, int x, int y);
  void Wheel(HWND window, int x, int y, int delta);
  // Keys go to the window that has the focus (the one shown or activated last).
  void KeyDown(std::uint16_t key, std::uint32_t shift = 0);
  void KeyUp(std::uint16_t key, std::uint32_t shift = 0);
  void PressKey(std::uint16_t key, std::uint32_t shift = 0);
  void Type(const std::string& text);
  // The user brings a window to the front, drags it elsewhere, asks it to close, or ends the session.
  void Activate(HWND window);
  void DragWindow(HWND window, int left, int top);
  void RequestClose(HWND window);
  void RequestQuit();
  // Moves the virtual clock on.
  void Advance(std::uint32_t ms) { now_ += ms; }

  // A window's client area (or the whole screen when Window is null) as a PNG file.
  void Screenshot(HWND window, const std::string& path) const;

  bool Captured() const { return captured_; }
  TCursor Cursor() const { return cursor_; }
  int Beeps() const { return beeps_; }
  bool IsShown(HWND window) const;
  std::string Caption(HWND window) const;
  POINT Position(HWND window) const;
  HWND FocusedWindow() const { return focused_; }
  bool Pending() const { return !events_.empty(); }

 private:
  struct Window {
    HWND surface;
    std::string caption;
    int left, top;
  };
  const Window* Find(HWND surface) const;
  Window* Find(HWND surface);
  void Push(TBackendEvent event);
  // Lays the windows over the desktop again inside Area (screen coordinates).
  void Compose(const RECT& area);

  std::vector<Window> windows_;  // bottom first
  std::deque<TBackendEvent> events_;
  std::uint32_t now_ = 0;
  HWND focused_ = nullptr;
  bool captured_ = false;
  TCursor cursor_ = TCursor::Default;
  std::string clipboard_;
  int beeps_ = 0;
};

}  // namespace vantora::host
VANTORA_API_END

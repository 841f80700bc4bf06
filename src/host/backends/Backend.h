// The window system the forms layer runs on: native top-level windows that show a window surface of
// the drawing layer, the input that arrives from them, a clock, the mouse cursor, the clipboard and the
// bell. Two implementations stand behind this one interface: a headless one (an in-memory screen, a
// virtual clock tests advance, injected input) and one on SDL2 (real windows, input and time). Nothing
// here knows controls; the forms layer turns these events into messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "VantoraExport.h"
#include "host/classes/Errors.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum class TMouseButton : std::uint8_t { Left, Right, Middle };

// Shift-state bits, as the key and mouse messages carry them.
enum : std::uint32_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };

enum class TCursor : std::int8_t {
  Default,
  Arrow,
  HourGlass,
  IBeam,
  HandPoint,
  SizeWE,
  SizeNS,
  SizeAll,
  Cross,
  No
};

// One input or window event. Positions are in the window's client pixels (unzoomed); Key is a
// virtual-key code (VK_RETURN 13, VK_ESCAPE 27, 'A'..'Z', '0'..'9', ...); Text is UTF-8.
struct TBackendEvent {
  enum class Kind : std::uint8_t {
    MouseMove,
    MouseDown,
    MouseUp,
    MouseWheel,
    KeyDown,
    KeyUp,
    Text,
    CloseRequest,  // the user or the window manager asks the window to close
    Resized,       // Width/Height hold the new client size
    Moved,         // the user or the window manager moved the window: X/Y hold its client's screen position
    Exposed,       // the window's pixels must be shown again (Present the whole surface)
    FocusIn,
    FocusOut,
    Quit,  // the whole application is asked to end
  };
  Kind kind = Kind::MouseMove;
  HWND window = nullptr;  // the window surface the event belongs to; null for Quit
  int x = 0, y = 0;
  TMouseButton button = TMouseButton::Left;
  int clicks = 1;      // 2 on the second press of a double click
  int wheelDelta = 0;  // 120 per notch, positive away from the user
  std::uint16_t key = 0;
  std::uint32_t shift = 0;
  bool repeat = false;  // key held down
  std::string text;
  int width = 0, height = 0;
};

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

struct TNativeWindowParams {
  std::string caption;
  int left = 0, top = 0;  // screen position (ignored where the window manager places windows)
  bool resizable = true;
  bool popup = false;  // no frame, no taskbar entry, never takes the focus: hints and drop-down lists
};

class TBackend {
 public:
  virtual ~TBackend() = default;
  virtual const char* Name() const = 0;

  // Shows the window surface as a top-level window (the surface comes from CreateWindowSurface and
  // keeps its size; the backend follows ResizeWindowSurface on the next Present).
  virtual void ShowNativeWindow(HWND surface, const TNativeWindowParams& params) = 0;
  virtual void HideNativeWindow(HWND surface) = 0;
  virtual void SetNativeCaption(HWND surface, const std::string& caption) = 0;
  virtual void MoveNativeWindow(HWND surface, int left, int top) = 0;
  // Puts the surface's pixels inside Dirty (client coordinates) on the screen.
  virtual void Present(HWND surface, const RECT& dirty) = 0;

  // Takes the next pending event; false when none is waiting.
  virtual bool PollEvent(TBackendEvent& event) = 0;
  // Waits until an event arrives or TimeoutMs passes (kWaitForever: no limit); answers false when
  // nothing can ever arrive. The headless backend never blocks: its clock jumps ahead by the
  // timeout instead, and with no timeout and no input queued there is nothing to wait for.
  virtual bool WaitEvent(std::uint32_t timeoutMs) = 0;

  // Milliseconds since start-up (virtual in the headless backend).
  virtual std::uint32_t GetTickCount() const = 0;

  virtual void SetMouseCapture(bool captured) = 0;
  virtual void SetCursor(TCursor cursor) = 0;
  virtual std::string GetClipboardText() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual void Beep() = 0;
  virtual SIZE ScreenSize() const = 0;
};

// A program that shows windows to a person cannot show any.
VANTORA_DECLARE_ERROR(ENoWindowSystem, Exception);

// The backend of a program that shows its windows to a person: SDL's, or the headless one when
// VANTORA_BACKEND=headless asks for it. Where no window can be shown (no display, a build without a
// window backend, an unknown VANTORA_BACKEND) it raises ENoWindowSystem, saying why and naming the
// ways to run without one: HeadlessOption, the program's own (such as "--screenshot OUT.png"), and
// the headless backend. A run that did nothing must not pass for one that worked.
std::unique_ptr<TBackend> CreateWindowBackend(std::string_view HeadlessOption);

}  // namespace vantora::host
VANTORA_API_END

// A hint window shown and hidden over and over while the X server is busy with another client: the way
// a person moving the mouse across controls with hints uses the backend. The program must survive it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "backends/NativeWindow.h"
#include "host/backends/SdlBackend.h"
#include "host/graphics/Gdi.h"

// Last: its macros (None, Status) would rename what the headers above declare.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vantora::host {
namespace {

// Keeps the X server busy from a connection of its own, as a screenshot tool in a loop does, so that
// requests of the program's connections wait their turn in the server; between the screenshots it
// moves the mouse over Target (as a synthetic event), so that input arrives while the program waits.
class BusyServer {
 public:
  explicit BusyServer(unsigned long target) : target_(target), thread_([this] { Run(); }) {}
  ~BusyServer() {
    stop_ = true;
    thread_.join();
  }
  BusyServer(const BusyServer&) = delete;
  BusyServer& operator=(const BusyServer&) = delete;

  int Screenshots() const { return screenshots_; }

 private:
  void Run() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    for (int step = 0; !stop_; ++step) {
      XEvent motion{};
      motion.xmotion.type = MotionNotify;
      motion.xmotion.window = target_;
      motion.xmotion.root = root;
      motion.xmotion.same_screen = True;
      motion.xmotion.x = 10 + step % 200;
      motion.xmotion.y = 10 + step % 150;
      XSendEvent(display, target_, False, PointerMotionMask, &motion);
      XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
      if (image) XDestroyImage(image);
      ++screenshots_;
    }
    XCloseDisplay(display);
  }

  const unsigned long target_;
  std::atomic<bool> stop_{false};
  std::atomic<int> screenshots_{0};
  std::thread thread_;
};

HWND FilledSurface(int width, int height, COLORREF colour) {
  HWND surface = CreateWindowSurface(width, height);
  HDC dc = GetDC(surface);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  ReleaseDC(surface, dc);
  return surface;
}

// Handles whatever is waiting, as the message loop does.
void HandlePending(TBackend& backend) {
  TBackendEvent event;
  while (backend.PollEvent(event)) {
    if (event.kind == TBackendEvent::Kind::Exposed) backend.Present(event.window, RECT{0, 0, 4096, 4096});
  }
}

// One turn of the message loop: nothing left to handle, it waits for input.
void Pump(TBackend& backend, std::uint32_t waitMs) {
  HandlePending(backend);
  backend.WaitEvent(waitMs);
  HandlePending(backend);
}

TEST(SdlHintCycle, HintShownAndHiddenTwoHundredTimesOnABusyServer) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X display: these tests run under scripts/with-xvfb (Xvfb)";
  // Two threads talk to the server (on connections of their own).
  ASSERT_NE(XInitThreads(), 0);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::unique_ptr<TBackend> backend = CreateSdlBackend();
  HWND form = FilledSurface(320, 200, RGB(0, 128, 128));
  HWND hint = FilledSurface(90, 18, RGB(255, 255, 225));
  backend->ShowNativeWindow(form, TNativeWindowParams{"form", 40, 40, true, false});
  Pump(*backend, 50);
  {
    BusyServer busy(test_support::X11WindowOf(SdlWindowId(*backend, form)));
    for (int round = 0; round < 200; ++round) {
      TNativeWindowParams params{"", 60 + round % 50, 60 + round % 30, false, true};
      backend->ShowNativeWindow(hint, params);
      backend->Present(hint, RECT{0, 0, 90, 18});
      Pump(*backend, kWaitForever);
      ASSERT_NE(SdlWindowId(*backend, hint), 0u) << "round " << round;
      backend->HideNativeWindow(hint);
      HandlePending(*backend);
    }
    EXPECT_GT(busy.Screenshots(), 0) << "the server was never kept busy";
  }
  EXPECT_NE(SdlWindowId(*backend, form), 0u);

  // With windows shown the wait still blocks until input or the timeout, rather than spinning.
  HandlePending(*backend);
  TBackendEvent event;
  const std::uint32_t start = backend->GetTickCount();
  backend->WaitEvent(40);
  EXPECT_TRUE(backend->GetTickCount() - start >= 40 || backend->PollEvent(event))
      << "the wait returned early with nothing to handle";
  backend.reset();
  DestroyWindowSurface(hint);
  DestroyWindowSurface(form);
}

}  // namespace
}  // namespace vantora::host

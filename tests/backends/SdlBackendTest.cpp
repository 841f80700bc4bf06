// The SDL backend on a real (virtual) X server: scripts/with-xvfb gives every test a server of its own.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "backends/NativeWindow.h"
#include "host/backends/SdlBackend.h"
#include "host/backends/VirtualKeys.h"
#include "host/graphics/Gdi.h"

namespace vantora::host {
namespace {

using Kind = TBackendEvent::Kind;
using test_support::NativePixels;
using test_support::ReadNativeWindowPixels;

class SdlBackendTest : public ::testing::Test {
 protected:
  explicit SdlBackendTest(int zoom = 1) : zoom_(zoom) {}

  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display: these tests run under scripts/with-xvfb (Xvfb)";
    // The pixels are read back from the X server; the bell must not sound on a developer's speakers.
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VANTORA_ZOOM", std::to_string(Zoom()).c_str(), 1);
    backend_ = CreateSdlBackend();
    unsetenv("VANTORA_ZOOM");
  }

  void TearDown() override {
    for (HWND surface : surfaces_) {
      if (backend_) backend_->HideNativeWindow(surface);
      DestroyWindowSurface(surface);
    }
    backend_.reset();
  }

  int Zoom() const { return zoom_; }

  // A surface with a pattern of rectangles and single pixels, shown at the screen's top left corner.
  HWND ShowPattern(int width, int height) {
    HWND surface = CreateWindowSurface(width, height);
    surfaces_.push_back(surface);
    HDC dc = GetDC(surface);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    HBRUSH red = CreateSolidBrush(RGB(200, 16, 32));
    HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
    RECT left{1, 2, width / 2, height - 3}, right{width / 2, 0, width - 1, height / 3};
    FillRect(dc, &left, red);
    FillRect(dc, &right, teal);
    for (int i = 0; i < width && i < height; i += 3) SetPixel(dc, i, i, RGB(i * 5 % 256, 255 - i, 7));
    DeleteObject(red);
    DeleteObject(teal);
    ReleaseDC(surface, dc);
    backend_->ShowNativeWindow(surface, TNativeWindowParams{"pattern", 0, 0, true});
    backend_->Present(surface, RECT{0, 0, width, height});
    return surface;
  }

  std::uint32_t WindowId(HWND surface) const { return SdlWindowId(*backend_, surface); }

  // Every event that is waiting now.
  std::vector<TBackendEvent> TakeEvents() {
    std::vector<TBackendEvent> events;
    TBackendEvent event;
    while (backend_->PollEvent(event)) events.push_back(event);
    return events;
  }

  // Waits (at most about ten seconds) for an event of Kind from the X server; drops the others.
  bool WaitFor(Kind kind, TBackendEvent& found) {
    for (int turn = 0; turn < 100; ++turn) {
      backend_->WaitEvent(100);
      while (backend_->PollEvent(found)) {
        if (found.kind == kind) return true;
      }
    }
    return false;
  }

  // The input events that the pushed SDL events become (the server's own window events set aside).
  std::vector<TBackendEvent> TakeInput() {
    std::vector<TBackendEvent> input;
    for (const TBackendEvent& event : TakeEvents()) {
      if (event.kind <= Kind::Text) input.push_back(event);
    }
    return input;
  }

  void PushMouseButton(Uint32 type, HWND surface, Uint8 button, int x, int y, Uint8 clicks) {
    SDL_Event event{};
    event.button.type = type;
    event.button.windowID = WindowId(surface);
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  void PushKey(Uint32 type, HWND surface, SDL_Keycode key, SDL_Scancode scancode, Uint16 modifiers,
               Uint8 repeat = 0) {
    SDL_Event event{};
    event.key.type = type;
    event.key.windowID = WindowId(surface);
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  void PushMotion(HWND surface, int x, int y, Uint32 buttons) {
    SDL_Event event{};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.windowID = WindowId(surface);
    event.motion.state = buttons;
    event.motion.x = x;
    event.motion.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  void PushWheel(HWND surface, int notches, Uint32 direction, int x, int y) {
    SDL_Event event{};
    event.wheel.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = WindowId(surface);
    event.wheel.y = notches;
    event.wheel.direction = direction;
    event.wheel.mouseX = x;
    event.wheel.mouseY = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  void PushText(HWND surface, const char* text) {
    SDL_Event event{};
    event.text.type = SDL_TEXTINPUT;
    event.text.windowID = WindowId(surface);
    SDL_strlcpy(event.text.text, text, sizeof(event.text.text));
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  // The window must show every surface pixel as a Zoom x Zoom block, and nothing else.
  void ExpectWindowShows(HWND surface) {
    const SurfacePixels expected = GetSurfacePixels(surface);
    const NativePixels shown = ReadNativeWindowPixels(WindowId(surface));
    ASSERT_EQ(shown.width, expected.width * Zoom());
    ASSERT_EQ(shown.height, expected.height * Zoom());
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
      for (int x = 0; x < shown.width; ++x) {
        const std::uint32_t want = expected.pixels[(y / Zoom()) * expected.width + x / Zoom()];
        if (shown.At(x, y) != want && wrong++ < 5) {
          ADD_FAILURE() << "window pixel (" << x << ", " << y << ") is " << std::hex << shown.At(x, y)
                        << ", the surface has " << want;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  const int zoom_;
  std::unique_ptr<TBackend> backend_;
  std::vector<HWND> surfaces_;
};

class SdlBackendZoomTest : public SdlBackendTest, public ::testing::WithParamInterface<int> {
 protected:
  SdlBackendZoomTest() : SdlBackendTest(GetParam()) {}
};

TEST_P(SdlBackendZoomTest, WindowShowsTheSurfaceAndOnlyTheDirtyPartChanges) {
  HWND surface = ShowPattern(37, 23);
  ExpectWindowShows(surface);

  // Paint the whole surface black but present only a rectangle of it: the rest stays as it was.
  const std::vector<std::uint32_t> before(GetSurfacePixels(surface).pixels,
                                          GetSurfacePixels(surface).pixels + 37 * 23);
  HDC dc = GetDC(surface);
  PatBlt(dc, 0, 0, 37, 23, BLACKNESS);
  ReleaseDC(surface, dc);
  backend_->Present(surface, RECT{5, 4, 9, 20});
  const NativePixels shown = ReadNativeWindowPixels(WindowId(surface));
  ASSERT_EQ(shown.width, 37 * Zoom());
  for (int y = 0; y < 23 * Zoom(); ++y) {
    for (int x = 0; x < 37 * Zoom(); ++x) {
      const int sx = x / Zoom(), sy = y / Zoom();
      const bool dirty = sx >= 5 && sx < 9 && sy >= 4 && sy < 20;
      ASSERT_EQ(shown.At(x, y), dirty ? 0u : before[sy * 37 + sx]) << "at (" << x << ", " << y << ")";
    }
  }

  // A rectangle reaching outside the surface is clipped to it.
  backend_->Present(surface, RECT{-10, -10, 100, 100});
  ExpectWindowShows(surface);
}

TEST_P(SdlBackendZoomTest, WindowFollowsTheSurfaceSizeAndReportsItsOwnResizes) {
  HWND surface = ShowPattern(20, 10);
  TBackendEvent event;
  ASSERT_TRUE(WaitFor(Kind::Exposed, event));
  EXPECT_EQ(event.window, surface);

  // The program resizes its surface: the window follows on the next Present, with no Resized event.
  ASSERT_TRUE(ResizeWindowSurface(surface, 31, 17));
  HDC dc = GetDC(surface);
  PatBlt(dc, 20, 0, 11, 17, WHITENESS);
  SetPixel(dc, 30, 16, RGB(1, 2, 3));
  ReleaseDC(surface, dc);
  backend_->Present(surface, RECT{20, 0, 31, 17});
  int width = 0, height = 0;
  SDL_GetWindowSize(SDL_GetWindowFromID(WindowId(surface)), &width, &height);
  EXPECT_EQ(width, 31 * Zoom());
  EXPECT_EQ(height, 17 * Zoom());
  ExpectWindowShows(surface);
  for (const TBackendEvent& pending : TakeEvents()) EXPECT_NE(pending.kind, Kind::Resized);

  // The user resizes the window: Resized gives the client size in surface pixels.
  SDL_SetWindowSize(SDL_GetWindowFromID(WindowId(surface)), 50 * Zoom() + Zoom() - 1, 40 * Zoom());
  ASSERT_TRUE(WaitFor(Kind::Resized, event));
  EXPECT_EQ(event.window, surface);
  EXPECT_EQ(event.width, 50);
  EXPECT_EQ(event.height, 40);
}

TEST_P(SdlBackendZoomTest, InputArrivesInSurfacePixelsWithVirtualKeysAndShiftState) {
  HWND surface = ShowPattern(40, 30);
  TakeEvents();
  const int z = Zoom();

  PushKey(SDL_KEYDOWN, surface, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
  PushMouseButton(SDL_MOUSEBUTTONDOWN, surface, SDL_BUTTON_LEFT, 21 * z + z - 1, 13 * z, 1);
  PushMotion(surface, -1, 29 * z + z - 1, SDL_BUTTON_LMASK);  // captured, left of the window
  PushMouseButton(SDL_MOUSEBUTTONUP, surface, SDL_BUTTON_LEFT, 3 * z, 4 * z, 1);
  PushKey(SDL_KEYUP, surface, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_NONE);
  std::vector<TBackendEvent> input = TakeInput();
  ASSERT_EQ(input.size(), 5u);
  EXPECT_EQ(input[0].kind, Kind::KeyDown);
  EXPECT_EQ(input[0].key, VK_SHIFT);
  EXPECT_EQ(input[0].shift, ssShift);
  EXPECT_EQ(input[1].kind, Kind::MouseDown);
  EXPECT_EQ(input[1].window, surface);
  EXPECT_EQ(input[1].button, TMouseButton::Left);
  EXPECT_EQ(input[1].x, 21);
  EXPECT_EQ(input[1].y, 13);
  EXPECT_EQ(input[1].clicks, 1);
  EXPECT_EQ(input[1].shift, ssShift | ssLeft);
  EXPECT_EQ(input[2].kind, Kind::MouseMove);
  EXPECT_EQ(input[2].x, -1);
  EXPECT_EQ(input[2].y, 29);
  EXPECT_EQ(input[2].shift, ssShift | ssLeft);
  EXPECT_EQ(input[3].kind, Kind::MouseUp);
  EXPECT_EQ(input[3].x, 3);
  EXPECT_EQ(input[3].y, 4);
  EXPECT_EQ(input[3].shift, ssShift);
  EXPECT_EQ(input[4].kind, Kind::KeyUp);
  EXPECT_EQ(input[4].shift, 0u);

  // SDL counts presses on; the classic desktop makes every second press the double click.
  PushMouseButton(SDL_MOUSEBUTTONDOWN, surface, SDL_BUTTON_RIGHT, 0, 0, 2);
  PushMouseButton(SDL_MOUSEBUTTONDOWN, surface, SDL_BUTTON_MIDDLE, 0, 0, 3);
  PushMouseButton(SDL_MOUSEBUTTONDOWN, surface, SDL_BUTTON_X1, 0, 0, 1);
  input = TakeInput();
  ASSERT_EQ(input.size(), 2u);
  EXPECT_EQ(input[0].button, TMouseButton::Right);
  EXPECT_EQ(input[0].clicks, 2);
  EXPECT_EQ(input[0].shift, ssRight);
  EXPECT_EQ(input[1].button, TMouseButton::Middle);
  EXPECT_EQ(input[1].clicks, 1);
  EXPECT_EQ(input[1].shift, ssRight | ssMiddle);

  PushWheel(surface, -2, SDL_MOUSEWHEEL_NORMAL, 7 * z, 9 * z);
  PushWheel(surface, 1, SDL_MOUSEWHEEL_FLIPPED, 0, 0);
  PushKey(SDL_KEYDOWN, surface, SDLK_a, SDL_SCANCODE_A, KMOD_LCTRL | KMOD_RALT, 1);
  PushKey(SDL_KEYDOWN, surface, SDLK_F5, SDL_SCANCODE_F5, KMOD_NONE);
  PushKey(SDL_KEYDOWN, surface, SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, KMOD_NONE);  // no virtual key
  PushText(surface, "\xC3\xA9t\xC3\xA9");
  input = TakeInput();
  ASSERT_EQ(input.size(), 5u);
  EXPECT_EQ(input[0].kind, Kind::MouseWheel);
  EXPECT_EQ(input[0].wheelDelta, -240);
  EXPECT_EQ(input[0].x, 7);
  EXPECT_EQ(input[0].y, 9);
  EXPECT_EQ(input[1].wheelDelta, -120);
  EXPECT_EQ(input[2].key, 'A');
  EXPECT_TRUE(input[2].repeat);
  EXPECT_EQ(input[2].shift, ssCtrl | ssAlt | ssRight | ssMiddle);
  EXPECT_EQ(input[3].key, VK_F1 + 4);
  EXPECT_FALSE(input[3].repeat);
  EXPECT_EQ(input[4].kind, Kind::Text);
  EXPECT_EQ(input[4].window, surface);
  EXPECT_EQ(input[4].text, "\xC3\xA9t\xC3\xA9");

  // Events of a window the backend does not show are dropped.
  SDL_Event foreign{};
  foreign.key.type = SDL_KEYDOWN;
  foreign.key.windowID = WindowId(surface) + 1000;
  foreign.key.keysym.sym = SDLK_RETURN;
  SDL_PushEvent(&foreign);
  EXPECT_TRUE(TakeInput().empty());
}

TEST_F(SdlBackendTest, KeyStrokesOfTheXServerBecomeKeysAndText) {
  HWND surface = ShowPattern(40, 30);
  TBackendEvent event;
  ASSERT_TRUE(WaitFor(Kind::FocusIn, event));
  TakeEvents();

  test_support::SendKeyStroke(WindowId(surface), 'a', true);
  ASSERT_TRUE(WaitFor(Kind::KeyDown, event));
  EXPECT_EQ(event.key, 'A');
  EXPECT_EQ(event.window, surface);
  ASSERT_TRUE(WaitFor(Kind::Text, event));
  EXPECT_EQ(event.text, "A");
}

TEST_P(SdlBackendZoomTest, ScreenSizeIsInSurfacePixels) {
  const SIZE screen = backend_->ScreenSize();
  EXPECT_EQ(screen.cx, 1280 / Zoom());
  EXPECT_EQ(screen.cy, 1024 / Zoom());
}

INSTANTIATE_TEST_SUITE_P(Zoom, SdlBackendZoomTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& zoom) {
                           return "x" + std::to_string(zoom.param);
                         });

TEST_F(SdlBackendTest, CloseRequestAndQuit) {
  HWND surface = ShowPattern(16, 16);
  test_support::SendCloseRequest(WindowId(surface));
  TBackendEvent event;
  ASSERT_TRUE(WaitFor(Kind::CloseRequest, event));
  EXPECT_EQ(event.window, surface);
  // Closing the last window asks that window, not the program, to end: no Quit follows.
  for (const TBackendEvent& pending : TakeEvents()) EXPECT_NE(pending.kind, Kind::Quit);

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  ASSERT_TRUE(backend_->PollEvent(event));
  EXPECT_EQ(event.kind, Kind::Quit);
  EXPECT_EQ(event.window, nullptr);

  // A hidden window is gone: its events are dropped and presenting it does nothing.
  const std::uint32_t id = WindowId(surface);
  backend_->HideNativeWindow(surface);
  EXPECT_EQ(WindowId(surface), 0u);
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
  backend_->Present(surface, RECT{0, 0, 16, 16});
}

TEST_F(SdlBackendTest, FocusAndMouseCapture) {
  HWND surface = ShowPattern(16, 16);
  SDL_Window* window = SDL_GetWindowFromID(WindowId(surface));
  TBackendEvent event;
  ASSERT_TRUE(WaitFor(Kind::FocusIn, event));
  EXPECT_EQ(event.window, surface);
  backend_->SetMouseCapture(true);
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_MOUSE_CAPTURE);
  backend_->SetMouseCapture(false);
  EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_MOUSE_CAPTURE);
}

TEST_F(SdlBackendTest, ClipboardCursorClockAndBell) {
  backend_->SetClipboardText(
      "Vantora \xE2\x80\x93 gr\xC3\xBC\xC3\x9F"
      "e");
  EXPECT_EQ(backend_->GetClipboardText(),
            "Vantora \xE2\x80\x93 gr\xC3\xBC\xC3\x9F"
            "e");
  backend_->SetClipboardText("second");
  EXPECT_EQ(backend_->GetClipboardText(), "second");

  backend_->SetCursor(TCursor::IBeam);
  SDL_Cursor* beam = SDL_GetCursor();
  EXPECT_NE(beam, SDL_GetDefaultCursor());
  backend_->SetCursor(TCursor::HandPoint);
  EXPECT_NE(SDL_GetCursor(), beam);
  backend_->SetCursor(TCursor::IBeam);
  EXPECT_EQ(SDL_GetCursor(), beam);

  // The clock runs while the backend waits for an event that does not come.
  TakeEvents();
  const std::uint32_t start = backend_->GetTickCount();
  backend_->WaitEvent(30);
  EXPECT_GE(backend_->GetTickCount() - start, 30u);

  backend_->Beep();  // the dummy sound device takes the tone
  backend_->Beep();
}

}  // namespace
}  // namespace vantora::host

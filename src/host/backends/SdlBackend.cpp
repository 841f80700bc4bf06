#include "host/backends/SdlBackend.h"

#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "host/backends/SdlKeys.h"
#include "host/backends/SdlX11.h"
#include "host/classes/Errors.h"
#include "host/graphics/Screen.h"

namespace vantora::host {
namespace {

constexpr int kMaxZoom = 8;
constexpr int kWheelDeltaPerNotch = 120;

int ZoomFromEnvironment() {
  const char* text = std::getenv("VANTORA_ZOOM");
  if (!text || !*text) return 1;
  char* end = nullptr;
  const long zoom = std::strtol(text, &end, 10);
  if (*end != '\0' || zoom < 1 || zoom > kMaxZoom) {
    throw Exception("VANTORA_ZOOM must be a whole number from 1 to " + std::to_string(kMaxZoom) + ", not \"" +
                    text + "\"");
  }
  return static_cast<int>(zoom);
}

// Window pixels to surface pixels; a captured mouse can be left of or above the window.
int Unzoom(int value, int zoom) {
  return value >= 0 ? value / zoom : -((-value + zoom - 1) / zoom);
}

std::string SdlError(const char* what) {
  return std::string(what) + ": " + SDL_GetError();
}

std::uint32_t ShiftFromModifiers(std::uint16_t modifiers) {
  std::uint32_t shift = 0;
  if (modifiers & KMOD_SHIFT) shift |= ssShift;
  if (modifiers & KMOD_ALT) shift |= ssAlt;
  if (modifiers & KMOD_CTRL) shift |= ssCtrl;
  return shift;
}

std::uint32_t ShiftFromButtonMask(std::uint32_t mask) {
  std::uint32_t shift = 0;
  if (mask & SDL_BUTTON_LMASK) shift |= ssLeft;
  if (mask & SDL_BUTTON_RMASK) shift |= ssRight;
  if (mask & SDL_BUTTON_MMASK) shift |= ssMiddle;
  return shift;
}

bool ButtonFromSdl(std::uint8_t sdlButton, TMouseButton& button) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      button = TMouseButton::Left;
      return true;
    case SDL_BUTTON_RIGHT:
      button = TMouseButton::Right;
      return true;
    case SDL_BUTTON_MIDDLE:
      button = TMouseButton::Middle;
      return true;
    default:
      return false;  // the side buttons have no message of their own
  }
}

SDL_SystemCursor SystemCursorFor(TCursor cursor) {
  switch (cursor) {
    case TCursor::HourGlass:
      return SDL_SYSTEM_CURSOR_WAIT;
    case TCursor::IBeam:
      return SDL_SYSTEM_CURSOR_IBEAM;
    case TCursor::HandPoint:
      return SDL_SYSTEM_CURSOR_HAND;
    case TCursor::SizeWE:
      return SDL_SYSTEM_CURSOR_SIZEWE;
    case TCursor::SizeNS:
      return SDL_SYSTEM_CURSOR_SIZENS;
    case TCursor::SizeAll:
      return SDL_SYSTEM_CURSOR_SIZEALL;
    case TCursor::Cross:
      return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case TCursor::No:
      return SDL_SYSTEM_CURSOR_NO;
    case TCursor::Default:
    case TCursor::Arrow:
      break;
  }
  return SDL_SYSTEM_CURSOR_ARROW;
}

// Copies Area (surface pixels) of Source into Target, each pixel as a Zoom x Zoom block, clipped to
// Target; SDL converts every row to the framebuffer's own format.
void CopyZoomed(const SurfacePixels& source, const RECT& area, int zoom, SDL_Surface* target,
                std::vector<std::uint32_t>& row) {
  const int left = area.left * zoom;
  const int right = std::min(static_cast<int>(area.right) * zoom, target->w);
  const int top = area.top * zoom;
  const int bottom = std::min(static_cast<int>(area.bottom) * zoom, target->h);
  if (left >= right || top >= bottom) return;
  const int width = right - left;
  row.resize(static_cast<std::size_t>(width));
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
    throw Exception(SdlError("Cannot lock the window"));
  auto* targetRow = static_cast<std::uint8_t*>(target->pixels) +
                    static_cast<std::ptrdiff_t>(top) * target->pitch + left * target->format->BytesPerPixel;
  for (int y = top; y < bottom; ++y, targetRow += target->pitch) {
    if (y == top || y % zoom == 0) {
      const std::uint32_t* sourceRow = source.pixels + static_cast<std::ptrdiff_t>(y / zoom) * source.width;
      for (int x = left; x < right; ++x) row[static_cast<std::size_t>(x - left)] = sourceRow[x / zoom];
    }
    SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_RGB888, row.data(), width * 4, target->format->format,
                      targetRow, target->pitch);
  }
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
}

// A short sine tone, faded in and out so that it does not click.
std::vector<std::int16_t> BeepTone(int sampleRate) {
  constexpr double kFrequency = 880.0, kSeconds = 0.12, kFadeSeconds = 0.01, kAmplitude = 6000.0;
  const int count = static_cast<int>(sampleRate * kSeconds);
  const int fade = static_cast<int>(sampleRate * kFadeSeconds);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double envelope =
        std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(count - i) / fade});
    const double phase = 2.0 * std::numbers::pi * kFrequency * i / sampleRate;
    samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(kAmplitude * envelope * std::sin(phase));
  }
  return samples;
}

struct TNativeWindow {
  SDL_Window* window = nullptr;
  std::uint32_t id = 0;
  SIZE shown{};  // the client size (surface pixels) the window has now
  // The framebuffer last drawn on; SDL makes a new, blank one when the window's size changes.
  SDL_Surface* framebuffer = nullptr;
  SIZE framebufferSize{};
};

class TSdlBackend final : public TBackend {
 public:
  TSdlBackend();
  ~TSdlBackend() override;
  TSdlBackend(const TSdlBackend&) = delete;
  TSdlBackend& operator=(const TSdlBackend&) = delete;

  const char* Name() const override { return "sdl"; }
  void ShowNativeWindow(HWND surface, const TNativeWindowParams& params) override;
  void HideNativeWindow(HWND surface) override;
  void SetNativeCaption(HWND surface, const std::string& caption) override;
  void MoveNativeWindow(HWND surface, int left, int top) override;
  void Present(HWND surface, const RECT& dirty) override;
  bool PollEvent(TBackendEvent& event) override;
  bool WaitEvent(std::uint32_t timeoutMs) override;
  std::uint32_t GetTickCount() const override { return SDL_GetTicks(); }
  void SetMouseCapture(bool captured) override;
  void SetCursor(TCursor cursor) override;
  std::string GetClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void Beep() override;
  SIZE ScreenSize() const override;

  std::uint32_t WindowId(HWND surface) const;

 private:
  TNativeWindow* Find(HWND surface);
  HWND SurfaceOf(std::uint32_t windowId) const;
  std::uint32_t Shift() const { return ShiftFromModifiers(modifiers_) | ShiftFromButtonMask(buttons_); }
  bool Translate(const SDL_Event& sdl, TBackendEvent& event);
  bool TranslateWindowEvent(const SDL_WindowEvent& sdl, TBackendEvent& event);
  void OpenAudio();

  int zoom_;
  int x11Socket_ = -1;
  std::map<HWND, TNativeWindow> windows_;
  // SDL keeps neither for events pushed into its queue, so both follow the events themselves.
  std::uint16_t modifiers_ = KMOD_NONE;
  std::uint32_t buttons_ = 0;
  std::array<SDL_Cursor*, static_cast<std::size_t>(TCursor::No) + 1> cursors_{};
  bool audioTried_ = false;
  SDL_AudioDeviceID audio_ = 0;
  std::vector<std::int16_t> tone_;
  std::vector<std::uint32_t> row_;
};

TSdlBackend::TSdlBackend() : zoom_(ZoomFromEnvironment()) {
  // A desktop program, not a game: the screen saver and the compositor stay on, and closing the last
  // window is a close request the program may refuse rather than a request to quit. The surfaces are
  // drawn in memory, so they go to the display as they are rather than through a GL texture (and a GL
  // context and driver threads per window).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw Exception(SdlError("SDL cannot start its video"));
}

TSdlBackend::~TSdlBackend() {
  for (auto& [surface, native] : windows_) SDL_DestroyWindow(native.window);
  for (SDL_Cursor* cursor : cursors_) {
    if (cursor) SDL_FreeCursor(cursor);
  }
  if (audio_) SDL_CloseAudioDevice(audio_);
  if (audioTried_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

TNativeWindow* TSdlBackend::Find(HWND surface) {
  const auto found = windows_.find(surface);
  return found == windows_.end() ? nullptr : &found->second;
}

HWND TSdlBackend::SurfaceOf(std::uint32_t windowId) const {
  for (const auto& [surface, native] : windows_) {
    if (native.id == windowId) return surface;
  }
  return nullptr;
}

std::uint32_t TSdlBackend::WindowId(HWND surface) const {
  const auto found = windows_.find(surface);
  return found == windows_.end() ? 0 : found->second.id;
}

void TSdlBackend::ShowNativeWindow(HWND surface, const TNativeWindowParams& params) {
  const SurfacePixels pixels = GetSurfacePixels(surface);
  if (!pixels.pixels) throw Exception("ShowNativeWindow: the handle is not a window surface");
  if (TNativeWindow* native = Find(surface)) {
    SDL_SetWindowTitle(native->window, params.caption.c_str());
    SDL_SetWindowPosition(native->window, params.left * zoom_, params.top * zoom_);
    SDL_SetWindowResizable(native->window, params.resizable ? SDL_TRUE : SDL_FALSE);
    if (!params.popup) SDL_RaiseWindow(native->window);
    return;
  }
  Uint32 flags = params.resizable ? SDL_WINDOW_RESIZABLE : 0;
  if (params.popup) flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR;
  SDL_Window* window = SDL_CreateWindow(params.caption.c_str(), params.left * zoom_, params.top * zoom_,
                                        pixels.width * zoom_, pixels.height * zoom_, flags);
  if (!window) throw Exception(SdlError("Cannot create a window"));
  if (x11Socket_ < 0) x11Socket_ = X11EventSocket(window);
  windows_[surface] = TNativeWindow{window, SDL_GetWindowID(window), SIZE{pixels.width, pixels.height}};
}

void TSdlBackend::HideNativeWindow(HWND surface) {
  // Hiding ends the SDL window: the surface may be destroyed next, and showing it again makes a new one.
  const auto found = windows_.find(surface);
  if (found == windows_.end()) return;
  SDL_DestroyWindow(found->second.window);
  windows_.erase(found);
}

void TSdlBackend::SetNativeCaption(HWND surface, const std::string& caption) {
  if (TNativeWindow* native = Find(surface)) SDL_SetWindowTitle(native->window, caption.c_str());
}

void TSdlBackend::MoveNativeWindow(HWND surface, int left, int top) {
  if (TNativeWindow* native = Find(surface)) SDL_SetWindowPosition(native->window, left * zoom_, top * zoom_);
}

void TSdlBackend::Present(HWND surface, const RECT& dirty) {
  TNativeWindow* native = Find(surface);
  if (!native) return;
  const SurfacePixels source = GetSurfacePixels(surface);
  if (!source.pixels) return;
  RECT area{std::max(dirty.left, LONG{0}), std::max(dirty.top, LONG{0}),
            std::min(dirty.right, LONG{source.width}), std::min(dirty.bottom, LONG{source.height})};
  if (source.width != native->shown.cx || source.height != native->shown.cy) {
    SDL_SetWindowSize(native->window, source.width * zoom_, source.height * zoom_);
    native->shown = SIZE{source.width, source.height};
  }
  SDL_Surface* framebuffer = SDL_GetWindowSurface(native->window);
  if (!framebuffer) throw Exception(SdlError("Cannot draw on the window"));
  const bool fresh = framebuffer != native->framebuffer || framebuffer->w != native->framebufferSize.cx ||
                     framebuffer->h != native->framebufferSize.cy;
  if (fresh) {
    // A new framebuffer holds nothing: clear what the surface does not cover and show it all.
    SDL_FillRect(framebuffer, nullptr, SDL_MapRGB(framebuffer->format, 0, 0, 0));
    native->framebuffer = framebuffer;
    native->framebufferSize = SIZE{framebuffer->w, framebuffer->h};
    area = RECT{0, 0, source.width, source.height};
  }
  if (area.left >= area.right || area.top >= area.bottom) return;
  CopyZoomed(source, area, zoom_, framebuffer, row_);
  const SDL_Rect shown =
      fresh ? SDL_Rect{0, 0, framebuffer->w, framebuffer->h}
            : SDL_Rect{static_cast<int>(area.left) * zoom_, static_cast<int>(area.top) * zoom_,
                       static_cast<int>(area.right - area.left) * zoom_,
                       static_cast<int>(area.bottom - area.top) * zoom_};
  if (SDL_UpdateWindowSurfaceRects(native->window, &shown, 1) != 0) {
    throw Exception(SdlError("Cannot show the window's pixels"));
  }
}

bool TSdlBackend::PollEvent(TBackendEvent& event) {
  SDL_Event sdl;
  while (SDL_PollEvent(&sdl)) {
    if (Translate(sdl, event)) return true;
  }
  return false;
}

bool TSdlBackend::WaitEvent(std::uint32_t timeoutMs) {
  // A person can always act: waiting ends with the next event or the timeout.
  const int timeout =
      timeoutMs == kWaitForever ? -1 : static_cast<int>(std::min<std::uint32_t>(timeoutMs, INT_MAX));
  if (x11Socket_ < 0) {
    SDL_WaitEventTimeout(nullptr, timeout);
    return true;
  }
  // SDL's own wait on X11 has every event it queues meanwhile send a wake-up message to its newest
  // window through a second connection. That message can reach the server after the window is gone
  // (a hint hidden, a dialog closed, the program ending), and the BadWindow error it then earns ends
  // the program in Xlib's default handler. Waiting on the socket as SDL does, minus the wake-up, is
  // safe: nothing here queues SDL events from another thread.
  SDL_PumpEvents();
  if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return true;
  pollfd connection{x11Socket_, POLLIN, 0};
  poll(&connection, 1, timeout);
  return true;
}

bool TSdlBackend::Translate(const SDL_Event& sdl, TBackendEvent& event) {
  event = TBackendEvent{};
  switch (sdl.type) {
    case SDL_QUIT:
      event.kind = TBackendEvent::Kind::Quit;
      return true;
    case SDL_WINDOWEVENT:
      return TranslateWindowEvent(sdl.window, event);
    case SDL_MOUSEMOTION:
      event.kind = TBackendEvent::Kind::MouseMove;
      event.window = SurfaceOf(sdl.motion.windowID);
      event.x = Unzoom(sdl.motion.x, zoom_);
      event.y = Unzoom(sdl.motion.y, zoom_);
      buttons_ = sdl.motion.state;
      event.shift = Shift();
      return event.window != nullptr;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = sdl.type == SDL_MOUSEBUTTONDOWN;
      if (!ButtonFromSdl(sdl.button.button, event.button)) return false;
      event.kind = down ? TBackendEvent::Kind::MouseDown : TBackendEvent::Kind::MouseUp;
      event.window = SurfaceOf(sdl.button.windowID);
      event.x = Unzoom(sdl.button.x, zoom_);
      event.y = Unzoom(sdl.button.y, zoom_);
      // As on the classic desktop, a third press starts a new double click.
      event.clicks = sdl.button.clicks % 2 == 0 ? 2 : 1;
      const std::uint32_t mask = SDL_BUTTON(sdl.button.button);
      buttons_ = down ? buttons_ | mask : buttons_ & ~mask;
      event.shift = Shift();
      return event.window != nullptr;
    }
    case SDL_MOUSEWHEEL: {
      const int notches = sdl.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -sdl.wheel.y : sdl.wheel.y;
      if (notches == 0) return false;  // sideways scrolling has no message
      event.kind = TBackendEvent::Kind::MouseWheel;
      event.window = SurfaceOf(sdl.wheel.windowID);
      event.x = Unzoom(sdl.wheel.mouseX, zoom_);
      event.y = Unzoom(sdl.wheel.mouseY, zoom_);
      event.wheelDelta = notches * kWheelDeltaPerNotch;
      event.shift = Shift();
      return event.window != nullptr;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      modifiers_ = sdl.key.keysym.mod;
      event.key = VirtualKeyFromSdl(sdl.key.keysym.sym, sdl.key.keysym.scancode);
      if (event.key == 0) return false;  // the text of such a key still arrives as Text
      event.kind = sdl.type == SDL_KEYDOWN ? TBackendEvent::Kind::KeyDown : TBackendEvent::Kind::KeyUp;
      event.window = SurfaceOf(sdl.key.windowID);
      event.repeat = sdl.key.repeat != 0;
      event.shift = Shift();
      return event.window != nullptr;
    case SDL_TEXTINPUT:
      event.kind = TBackendEvent::Kind::Text;
      event.window = SurfaceOf(sdl.text.windowID);
      event.text = sdl.text.text;
      return event.window != nullptr;
    default:
      return false;
  }
}

bool TSdlBackend::TranslateWindowEvent(const SDL_WindowEvent& sdl, TBackendEvent& event) {
  event.window = SurfaceOf(sdl.windowID);
  if (!event.window) return false;
  switch (sdl.event) {
    case SDL_WINDOWEVENT_CLOSE:
      event.kind = TBackendEvent::Kind::CloseRequest;
      return true;
    case SDL_WINDOWEVENT_EXPOSED:
      event.kind = TBackendEvent::Kind::Exposed;
      return true;
    case SDL_WINDOWEVENT_MOVED:
      event.kind = TBackendEvent::Kind::Moved;
      event.x = Unzoom(sdl.data1, zoom_);
      event.y = Unzoom(sdl.data2, zoom_);
      return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      event.kind = TBackendEvent::Kind::FocusIn;
      return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      event.kind = TBackendEvent::Kind::FocusOut;
      return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      // Our own resizes in Present are already known; a size between two zoom steps changes nothing.
      TNativeWindow& native = windows_[event.window];
      const SIZE client{Unzoom(sdl.data1, zoom_), Unzoom(sdl.data2, zoom_)};
      if (client.cx == native.shown.cx && client.cy == native.shown.cy) return false;
      native.shown = client;
      event.kind = TBackendEvent::Kind::Resized;
      event.width = client.cx;
      event.height = client.cy;
      return true;
    }
    default:
      return false;
  }
}

void TSdlBackend::SetMouseCapture(bool captured) {
  // Refused only where capture cannot work (no focused window); SDL then still captures while a
  // button is held, which is what capture is asked for.
  SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE);
}

void TSdlBackend::SetCursor(TCursor cursor) {
  SDL_Cursor*& slot = cursors_[static_cast<std::size_t>(cursor)];
  if (!slot) slot = SDL_CreateSystemCursor(SystemCursorFor(cursor));
  if (!slot) throw Exception(SdlError("Cannot make the mouse cursor"));
  SDL_SetCursor(slot);
}

std::string TSdlBackend::GetClipboardText() {
  char* text = SDL_GetClipboardText();
  std::string result = text ? text : "";
  SDL_free(text);
  return result;
}

void TSdlBackend::SetClipboardText(const std::string& text) {
  if (SDL_SetClipboardText(text.c_str()) != 0) throw Exception(SdlError("Cannot set the clipboard"));
}

void TSdlBackend::OpenAudio() {
  audioTried_ = true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  SDL_AudioSpec wanted{};
  wanted.freq = 22050;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 512;
  SDL_AudioSpec obtained{};
  audio_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (!audio_) return;
  tone_ = BeepTone(obtained.freq);
  SDL_PauseAudioDevice(audio_, 0);
}

void TSdlBackend::Beep() {
  // A machine without a sound device stays silent, as one without a speaker would.
  if (!audioTried_) OpenAudio();
  if (!audio_ || SDL_GetQueuedAudioSize(audio_) != 0) return;
  SDL_QueueAudio(audio_, tone_.data(), static_cast<Uint32>(tone_.size() * sizeof(tone_[0])));
}

SIZE TSdlBackend::ScreenSize() const {
  SDL_Rect bounds{};
  if (SDL_GetDisplayBounds(0, &bounds) != 0) throw Exception(SdlError("Cannot measure the screen"));
  return SIZE{bounds.w / zoom_, bounds.h / zoom_};
}

}  // namespace

std::unique_ptr<TBackend> CreateSdlBackend() {
  return std::make_unique<TSdlBackend>();
}

std::uint32_t SdlWindowId(const TBackend& backend, HWND surface) {
  const auto* sdl = dynamic_cast<const TSdlBackend*>(&backend);
  return sdl ? sdl->WindowId(surface) : 0;
}

}  // namespace vantora::host

// A whole form through the SDL backend on a virtual X server: the window shows exactly what the
// headless backend renders, and input pushed through SDL's own queue reaches the form's controls.
#include <SDL.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "backends/NativeWindow.h"
#include "host/backends/HeadlessBackend.h"
#include "host/backends/SdlBackend.h"
#include "host/classes/Stream.h"
#include "host/forms/Application.h"
#include "host/forms/Forms.h"
#include "host/widgets/PopupMenu.h"

namespace vantora::host {
namespace {

const std::string kSampleForm = std::string(VANTORA_SOURCE_DIR) + "/data/forms/settings.txt";

// The sample form, shown, with its OK button writing into the status bar.
TCustomForm* OpenSampleForm(TApplication& app) {
  TFileStream file(kSampleForm, TFileMode::fmOpenRead);
  TCustomForm* form = LoadForm(file, &app);
  auto* ok = dynamic_cast<TControl*>(form->FindComponent("OkButton"));
  auto* status = dynamic_cast<TControl*>(form->FindComponent("StatusBar"));
  ok->OnClick = [status](TPersistent*) { status->SetCaption("Saved"); };
  form->Show();
  app.ProcessMessages();
  return form;
}

POINT CentreOf(const TControl& control) {
  const POINT origin = control.OriginInTopLevel();
  return POINT{origin.x + control.Width() / 2, origin.y + control.Height() / 2};
}

std::vector<std::uint32_t> SurfaceCopy(HWND surface) {
  const SurfacePixels pixels = GetSurfacePixels(surface);
  return {pixels.pixels, pixels.pixels + static_cast<std::size_t>(pixels.width) * pixels.height};
}

// The sample form's pixels from the headless backend, before and after a click on OK.
struct HeadlessRendering {
  std::vector<std::uint32_t> shown, clicked;
};

HeadlessRendering RenderHeadless() {
  auto backend = std::make_unique<THeadlessBackend>();
  THeadlessBackend& input = *backend;
  TApplication app(std::move(backend));
  TCustomForm* form = OpenSampleForm(app);
  HeadlessRendering result;
  result.shown = SurfaceCopy(form->Handle());
  const POINT ok = CentreOf(*dynamic_cast<TControl*>(form->FindComponent("OkButton")));
  input.Click(form->Handle(), ok.x, ok.y);
  app.ProcessMessages();
  result.clicked = SurfaceCopy(form->Handle());
  return result;
}

void PushButton(std::uint32_t window, Uint32 type, POINT at) {
  SDL_Event event{};
  event.button.type = type;
  event.button.windowID = window;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = at.x;
  event.button.y = at.y;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Lets the X server catch up with what was presented, handling whatever arrives meanwhile.
void Settle(TApplication& app) {
  for (int turn = 0; turn < 10; ++turn) {
    app.Backend().WaitEvent(20);
    app.ProcessMessages();
  }
}

TEST(SdlForm, ShowsWhatHeadlessRendersAndTakesInputFromSdlsQueue) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X display: these tests run under scripts/with-xvfb (Xvfb)";
  const HeadlessRendering expected = RenderHeadless();

  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TApplication app(CreateSdlBackend());
  TCustomForm* form = OpenSampleForm(app);
  Settle(app);
  const std::uint32_t window = SdlWindowId(app.Backend(), form->Handle());
  test_support::NativePixels shown = test_support::ReadNativeWindowPixels(window);
  ASSERT_EQ(shown.width, form->Width());
  ASSERT_EQ(shown.height, form->Height());
  EXPECT_TRUE(shown.pixels == expected.shown) << "the window differs from the headless rendering";

  const POINT ok = CentreOf(*dynamic_cast<TControl*>(form->FindComponent("OkButton")));
  PushButton(window, SDL_MOUSEBUTTONDOWN, ok);
  PushButton(window, SDL_MOUSEBUTTONUP, ok);
  Settle(app);
  EXPECT_EQ(dynamic_cast<TControl*>(form->FindComponent("StatusBar"))->Caption(), "Saved");
  EXPECT_TRUE(test_support::ReadNativeWindowPixels(window).pixels == expected.clicked)
      << "after the click the window differs from the headless rendering";
}

TEST(SdlForm, ContextMenuShowsWhereAskedAndTakesTheKeysOfTheFormsWindow) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X display: these tests run under scripts/with-xvfb (Xvfb)";
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TApplication app(CreateSdlBackend());
  TCustomForm* form = OpenSampleForm(app);
  auto* menu = new TPopupMenu(form);
  std::vector<std::string> chosen;
  for (const char* caption : {"&Wizard", "&Reset"})
    menu->Add(caption,
              [&](TPersistent* item) { chosen.push_back(static_cast<TMenuItem*>(item)->Caption()); });
  menu->Popup(form->Left() + 60, form->Top() + 40);
  Settle(app);
  const std::uint32_t window = SdlWindowId(app.Backend(), menu->Window()->Handle());
  int x = 0, y = 0;
  SDL_GetWindowPosition(SDL_GetWindowFromID(window), &x, &y);
  EXPECT_EQ(x, form->Left() + 60);
  EXPECT_EQ(y, form->Top() + 40);
  EXPECT_TRUE(test_support::ReadNativeWindowPixels(window).pixels == SurfaceCopy(menu->Window()->Handle()))
      << "the menu's window shows what the menu painted";

  // The keys reach the form's window, which keeps the native focus; the menu takes them.
  const std::uint32_t formWindow = SdlWindowId(app.Backend(), form->Handle());
  test_support::SendKeyStroke(formWindow, XK_Up, false);
  test_support::SendKeyStroke(formWindow, XK_Return, false);
  Settle(app);
  EXPECT_EQ(chosen, std::vector<std::string>{"&Reset"});
}

}  // namespace
}  // namespace vantora::host

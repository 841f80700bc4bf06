// A message box the library raises outside any window (a gradient that cannot be made) reaches a
// real window on the SDL backend, and a key pressed on the X server answers it.
#include <SDL.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "backends/NativeWindow.h"
#include "core/Fuldib.h"
#include "effects/Fulgrd.h"
#include "host/backends/SdlBackend.h"
#include "host/forms/Application.h"
#include "host/forms/Timer.h"

namespace vantora::host {
namespace {

TCustomForm* FormCaptioned(const std::string& caption) {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->Caption() == caption && Screen->Forms(i)->Visible()) return Screen->Forms(i);
  return nullptr;
}

TEST(SdlMessageBox, ALibraryErrorShowsInAWindowAndAKeyAnswersIt) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X display: these tests run under scripts/with-xvfb (Xvfb)";
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TApplication app(CreateSdlBackend());

  // Looks at the screen while the box waits: its window, what it shows, then Enter on the X server.
  std::uint32_t window = 0;
  test_support::NativePixels shown;
  std::string text;
  int ticks = 0;
  TTimer watcher(&app);
  watcher.SetInterval(50);
  watcher.OnTimer = [&](TPersistent*) {
    TCustomForm* box = FormCaptioned("Oops");
    if (++ticks > 100) {  // five seconds: give up rather than hang
      if (box) box->SetModalResult(mrAbort);
      return;
    }
    if (!box || window) return;
    window = SdlWindowId(app.Backend(), box->Handle());
    if (!window) return;
    text = dynamic_cast<TControl*>(box->FindComponent("Message"))->Caption();
    shown = test_support::ReadNativeWindowPixels(window);
    test_support::SendKeyStroke(window, XK_Return, false);
  };

  tFulgoGradient gradient(nullptr);
  gradient.Vortex[0].Steps = 0;
  tFulgoDib dib;
  gradient.CreateGradient(dib);

  ASSERT_NE(window, 0u) << "no window showed the error";
  EXPECT_EQ(text, "Error while creating gradient");
  EXPECT_GT(shown.width, 0) << "the box's window holds pixels";
  EXPECT_LE(ticks, 100) << "the key on the X server answered the box";
  EXPECT_TRUE(dib.Empty());
  EXPECT_EQ(FormCaptioned("Oops"), nullptr) << "the box has gone";
}

}  // namespace
}  // namespace vantora::host

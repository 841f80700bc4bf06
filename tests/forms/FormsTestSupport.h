// A headless application for each test, and input aimed at controls as a person would give it.
#pragma once

#include <gtest/gtest.h>

#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"
#include "host/forms/Button.h"
#include "host/forms/HintWindow.h"
#include "host/forms/Panel.h"
#include "host/forms/Timer.h"
#include "host/testing/TestDriver.h"

namespace vantora::host::testing {

class FormsTest : public ::testing::Test {
 protected:
  // What went wrong after the test's last step fails it too.
  void TearDown() override { EXPECT_NO_THROW(driver.Process()); }

  // A shown form of the given client size at the screen's top-left corner.
  TForm* NewForm(int width = 200, int height = 120) {
    auto* form = new TForm(app);
    form->SetBounds(0, 0, width, height);
    return form;
  }
  template <class T>
  T* Add(TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(parent->ParentForm() ? static_cast<TComponent*>(parent->ParentForm()) : parent);
    control->SetBounds(left, top, width, height);
    control->SetParent(parent);
    return control;
  }
  // A position inside Control, in its window's client coordinates.
  static POINT At(const TControl& control, int x, int y) {
    const POINT origin = control.OriginInTopLevel();
    return POINT{origin.x + x, origin.y + y};
  }
  void Click(const TControl& control, int x = 3, int y = 3) {
    const POINT p = At(control, x, y);
    input->Click(control.GetWindowHandle(), p.x, p.y);
  }
  std::uint32_t PixelAt(const TControl& control, int x, int y) {
    const POINT p = At(control, x, y);
    const SurfacePixels pixels = GetSurfacePixels(control.GetWindowHandle());
    return pixels.pixels[p.y * pixels.width + p.x];
  }

  TTestDriver driver;
  THeadlessBackend* input = &driver.Screen();
  TApplication* app = &driver.App();
};

}  // namespace vantora::host::testing

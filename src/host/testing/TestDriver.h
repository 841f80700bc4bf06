// Drives an application's forms as a person would, for tests: on a headless screen of its own it
// clicks, drags and types into controls, runs the clock from timer to timer, answers dialogs in
// advance or runs a script inside a modal form once it is up, and reads back pixels, palettes,
// dialogs and beeps. Each step handles everything it set off (input, timers, posted messages,
// paints) before it returns.
//
// What cannot be right in a test fails it: a modal form nobody scripted (and no queued input is left
// for) is cancelled at once and the step that opened it throws ETestFailure naming its title, as
// does a script that leaves its form open, a control that cannot be found, or an exception that
// escaped a handler (unless errors are collected). Nothing waits for real time, so nothing hangs.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "VantoraExport.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"
#include "host/forms/Responder.h"

VANTORA_API_BEGIN
namespace vantora::host {

VANTORA_DECLARE_ERROR(ETestFailure, Exception);

// Pixels as 0xRRGGBB, row by row.
struct TPixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

class TTestDriver {
 public:
  // A headless application of its own: there is one application at a time, so one driver.
  TTestDriver();
  ~TTestDriver();
  TTestDriver(const TTestDriver&) = delete;
  TTestDriver& operator=(const TTestDriver&) = delete;

  TApplication& App() { return *app_; }
  THeadlessBackend& Screen() { return *backend_; }

  // --- Finding controls
  // A component by its path of names from Root, such as "Panel1.Ok": each name is looked up among
  // the components the one before owns, then among its child controls.
  TComponent& Find(const TComponent& root, std::string_view path);
  template <class T>
  T& Find(const TComponent& root, std::string_view path) {
    return Cast<T>(Find(root, path), path);
  }
  // The first showing control inside Root whose caption, accelerator marks left out, is Caption.
  TControl& FindByCaption(const TWinControl& root, std::string_view caption);
  template <class T>
  T& FindByCaption(const TWinControl& root, std::string_view caption) {
    return Cast<T>(FindByCaption(root, caption), caption);
  }

  // --- The mouse; positions are in the control's own pixels, its middle when none is given.
  void Click(const TControl& control, TMouseButton button = TMouseButton::Left, std::uint32_t shift = 0);
  void ClickAt(const TControl& control, int x, int y, TMouseButton button = TMouseButton::Left,
               std::uint32_t shift = 0);
  void DoubleClick(const TControl& control);
  void DoubleClickAt(const TControl& control, int x, int y);
  // Presses at From, moves to To in a few steps and releases there.
  void Drag(const TControl& control, POINT from, POINT to, TMouseButton button = TMouseButton::Left,
            std::uint32_t shift = 0);
  void MoveMouse(const TControl& control, int x, int y);
  void Wheel(const TControl& control, int delta);

  // --- The keyboard, to the window with the focus.
  // The key down, the character it types (none with Ctrl or Alt held), the key up.
  void PressKey(std::uint16_t key, std::uint32_t shift = 0);
  // Each character as a person types it: its key down, the character, its key up.
  void TypeText(const std::string& text);
  // Alt and the letter, as an underlined caption answers it.
  void PressAccelerator(char letter);
  // Clicks into the control, selects all it holds and types Text over it.
  void ReplaceText(const TControl& edit, const std::string& text);

  // --- Time
  // Handles everything waiting (input, posted messages, due timers, paints), then throws what went
  // wrong meanwhile. Every step below ends with it.
  void Process();
  // Moves the clock to the next timer and fires it; a failure when no timer runs.
  void RunToNextTimer();
  // Moves the clock on by Ms, firing the timers due on the way in their order, painting after each.
  void Wait(std::uint32_t ms);

  // --- Modal forms and dialogs
  // Runs Script inside the next modal form captioned Title once it is up (in the order given when
  // several wait for the same title). The script ends the form, by its buttons or its ModalResult.
  void OnModal(const std::string& title, std::function<void(TCustomForm& form)> script);
  // The answer the next dialog of its kind takes without being shown.
  void Answer(const TDialogAnswer& answer);
  void AnswerMessage(TModalResult button);
  void AnswerInput(const std::string& text);
  void AnswerColor(TColor color);
  void AnswerFile(TDialogKind kind, const std::string& path);
  void Cancel(TDialogKind kind);
  // Every dialog shown or answered so far, in the order they ended.
  const std::vector<TDialogRecord>& Dialogs() const;
  int Beeps() const { return backend_->Beeps(); }

  // --- What the screen shows
  // The control's pixels as its window shows them.
  TPixels Pixels(const TControl& control) const;
  std::uint32_t PixelAt(const TControl& control, int x, int y) const;
  // The 256 colours of the system palette (0xRRGGBB), as a palette display shows them.
  std::vector<std::uint32_t> SystemPalette() const;
  // How many times a palette was realised into the system palette since the driver started.
  std::uint64_t PaletteRealizations() const;
  void Screenshot(const TControl& window, const std::string& path) const;

  // --- Errors that escaped handlers: failures, unless collected.
  void CollectErrors() { collectErrors_ = true; }
  const std::vector<std::string>& Errors() const { return errors_; }

 private:
  struct ModalScript {
    std::string title;
    std::function<void(TCustomForm&)> script;
  };
  template <class T>
  T& Cast(TComponent& found, std::string_view what) {
    if (auto* typed = dynamic_cast<T*>(&found)) return *typed;
    Fail("\"" + std::string(what) + "\" is a " + found.ClassName() + ", not the class asked for");
  }
  void ModalShown(TCustomForm& form);
  [[noreturn]] void Fail(const std::string& message);
  POINT At(const TControl& control, int x, int y) const;

  THeadlessBackend* backend_ = nullptr;
  std::unique_ptr<TApplication> app_;
  std::deque<ModalScript> scripts_;
  std::vector<std::string> failures_;
  std::vector<std::string> errors_;
  bool collectErrors_ = false;
  std::uint64_t realizationsAtStart_ = 0;
  std::function<void(TCustomForm&)> previousOnShow_;
};

}  // namespace vantora::host
VANTORA_API_END

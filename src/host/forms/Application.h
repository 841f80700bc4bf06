// The application: the message loop that turns backend events into messages, fires timers, runs
// posted messages and paints, once per turn; modal loops nest inside it. An exception that escapes
// a handler or a paint is shown in a message box and the program goes on. The screen: cursor,
// size, forms, the active form and control.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "host/backends/Backend.h"
#include "host/classes/Platform.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

class THintWindow;
class TTimer;

class TScreen : public TComponent {
  VANTORA_PERSISTENT(TScreen)

  explicit TScreen(TComponent* owner);

  // The cursor shown everywhere (an hourglass while busy); Default lets each control show its own.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  int Width() const;
  int Height() const;
  int FormCount() const;
  TCustomForm* Forms(int index) const;
  TCustomForm* ActiveForm() const;
  TWinControl* ActiveControl() const;
  // Shows the cursor of the control under the mouse (or the screen's own).
  void UpdateCursor(TControl* hovered);

 private:
  TCursor cursor_ = TCursor::Default;
};

// A headless modal form that nothing can ever end: no input is queued and no timer runs.
VANTORA_DECLARE_ERROR(EModalUnanswered, EInvalidOperation);

using TExceptionEvent = std::function<void(TPersistent* sender, const Exception& error)>;

class TApplication : public TComponent {
  VANTORA_PERSISTENT(TApplication)

  // The application owns the backend; there is one at a time (the globals Application and Screen
  // point at it while it lives). While it lives, the platform's message boxes are its own and the
  // platform's beep is the backend's bell.
  explicit TApplication(std::unique_ptr<TBackend> backend);
  ~TApplication() override;

  TBackend& Backend() const { return *backend_; }
  TScreen& Screen() const { return *screen_; }

  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form) { mainForm_ = form; }
  // Shows the main form and handles messages until Terminate (or the main form closes).
  void Run();
  // Handles everything that is waiting, without waiting for more.
  void ProcessMessages();
  // One turn of the loop; waits for input or the next timer when nothing was waiting.
  void HandleMessage();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(const std::string& path) { helpFile_ = path; }
  std::uint32_t GetTickCount() const { return backend_->GetTickCount(); }

  // A control's Hint shows when the mouse has rested on it for HintPause milliseconds (with
  // ShowHint on; a control without a hint of its own shows its parent's) and goes after
  // HintHidePause, or at once on a click, a key or a move to another control.
  std::uint32_t HintPause() const { return hintPause_; }
  void SetHintPause(std::uint32_t ms) { hintPause_ = ms; }
  std::uint32_t HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(std::uint32_t ms) { hintHidePause_ = ms; }
  void CancelHint();
  // The window that shows hints; null until the first hint.
  THintWindow* HintWindow() const { return hintWindow_; }

  // Takes over the display of exceptions that escape handlers.
  TExceptionEvent OnException;
  void HandleException(std::exception_ptr error);
  void ShowException(const Exception& error);
  // A modal message box with the buttons and sign of the MB_ flags; answers IDOK, IDCANCEL, IDYES
  // or IDNO.
  int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags = MB_OK);
  // Milliseconds until the next timer is due; kWaitForever when none runs.
  std::uint32_t TimeToNextTimer() const;

 private:
  // One turn; answers whether anything was handled.
  bool Turn();
  // Nothing was waiting and nothing can ever arrive (headless, no input, no timer).
  void NothingCanHappen();
  void Dispatch(const TBackendEvent& event);
  void DispatchMouse(TWinControl& window, const TBackendEvent& event);
  void DispatchKey(const TBackendEvent& event);
  void DispatchText(const TBackendEvent& event);
  void SetHover(TControl* control);
  void PaintWindows();
  bool AcceptsInput(TWinControl& window) const;
  bool ModalResultSet() const;
  void RestartHint(TControl* control);
  void HintTimerFired();

  std::unique_ptr<TBackend> backend_;
  std::unique_ptr<TScreen> screen_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  int showingException_ = 0;
  std::string title_ = "Vantora";
  std::string helpFile_;
  std::uint32_t hintPause_ = 500;
  std::uint32_t hintHidePause_ = 2500;
  TTimer* hintTimer_ = nullptr;        // owned as a component
  THintWindow* hintWindow_ = nullptr;  // owned as a component
  TControl* hintControl_ = nullptr;
  POINT mouse_{0, 0};  // where the mouse was last seen, in screen pixels
  // The platform services in place before this application, given back when it ends.
  std::unique_ptr<IMessageBoxService> previousMessageBox_;
  std::unique_ptr<IBeepService> previousBeep_;
};

// Text from the backend (UTF-8) as the single-byte characters controls hold, and back; what has no
// such character, or is no valid UTF-8, is dropped.
std::string SingleByteText(const std::string& utf8);
std::string Utf8Text(const std::string& singleByte);

extern TApplication* Application;
extern TScreen* Screen;

}  // namespace vantora::host
VANTORA_API_END

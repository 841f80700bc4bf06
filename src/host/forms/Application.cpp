#include "host/forms/Application.h"

#include <cctype>
#include <iostream>

#include "host/forms/Button.h"
#include "host/forms/HintWindow.h"
#include "host/forms/MessageBox.h"
#include "host/forms/Panel.h"
#include "host/forms/StylePainter.h"
#include "host/forms/Timer.h"
#include "host/forms/WindowSystem.h"

namespace vantora::host {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// How deep exception boxes may nest before the rest only go to the error output.
constexpr int kMaxExceptionBoxes = 3;

UINT ButtonMessage(TBackendEvent::Kind kind, TMouseButton button, int clicks) {
  const bool down = kind == TBackendEvent::Kind::MouseDown;
  switch (button) {
    case TMouseButton::Left:
      return down ? (clicks >= 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
    case TMouseButton::Right:
      return down ? (clicks >= 2 ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
    case TMouseButton::Middle:
      return down ? (clicks >= 2 ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP;
  }
  return WM_NULL;
}

// The control that takes the mouse at P (client coordinates of Window): disabled controls pass it
// to their parent.
TControl* HitTest(TWinControl& window, POINT p) {
  TControl* control = &window;
  for (;;) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) return control;
    const POINT origin = windowed->OriginInTopLevel();
    TControl* child = windowed->ControlAtPos(POINT{p.x - origin.x, p.y - origin.y}, true);
    if (!child || !child->Enabled()) return control;
    control = child;
  }
}

// Hands an input message for a designed control to its form's designer; true when it took it.
bool DesignerTakes(TControl& target, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!target.IsDesigning()) return false;
  TCustomForm* form = target.ParentForm();
  if (!form || !form->Designer()) return false;
  TMessage message{msg, wParam, lParam, 0};
  return form->Designer()->IsDesignMsg(target, message);
}

// A point of Window's client in Control's own coordinates; a control of another window (one that
// holds the mouse) gets it through the screen.
LPARAM LocalPoint(const TControl& control, const TWinControl& window, int x, int y) {
  if (const TWinControl* top = control.TopLevel(); top && top != &window) {
    x += window.Left() - top->Left();
    y += window.Top() - top->Top();
  }
  const POINT origin = control.OriginInTopLevel();
  return PointToLParam(x - origin.x, y - origin.y);
}

// A static library drops units nothing refers to, and with them their class registration; a form
// stream must find every class of this layer by name.
void RegisterFormClasses() {
  for (const TClass* cls :
       {&TForm::StaticClass(), &TPanel::StaticClass(), &TButton::StaticClass(), &TTimer::StaticClass()})
    RegisterClass(*cls);
}

// While an application lives, message boxes are its own and the beep is its backend's bell.
class TApplicationMessageBox : public IMessageBoxService {
 public:
  int Show(const std::string& text, const std::string& caption, std::uint32_t flags) override {
    return Application->MessageBox(text, caption, flags);
  }
};

class TBackendBeep : public IBeepService {
 public:
  void Beep(std::uint32_t) override { Application->Backend().Beep(); }
};

}  // namespace

std::string SingleByteText(const std::string& text) {
  const auto continuation = [&](std::size_t i) {
    return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    // A two-byte character below 0x100 has a single byte; overlong forms and broken sequences
    // give nothing, and never swallow the byte after them.
    if ((c & 0xE0) == 0xC0 && continuation(i + 1)) {
      const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      if (code >= 0x80 && code < 0x100) out += static_cast<char>(code);
      i += 2;
      continue;
    }
    const std::size_t length = (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    std::size_t next = i + 1;
    while (next < i + length && continuation(next)) ++next;
    i = next;
  }
  return out;
}

std::string Utf8Text(const std::string& text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// ---- TScreen

const TClass& TScreen::StaticClass() {
  static const TClass& cls = ClassBuilder<TScreen>("TScreen", TComponent::StaticClass()).Build();
  return cls;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  UpdateCursor(windowing::Current().hover);
}

void TScreen::UpdateCursor(TControl* hovered) {
  TBackend* backend = windowing::Current().backend;
  if (!backend) return;
  TCursor shown = cursor_;
  for (TControl* c = hovered; shown == TCursor::Default && c; c = c->Parent()) shown = c->Cursor();
  backend->SetCursor(shown == TCursor::Default ? TCursor::Arrow : shown);
}

int TScreen::Width() const {
  return windowing::Current().backend ? windowing::Current().backend->ScreenSize().cx : GetScreenSize().cx;
}

int TScreen::Height() const {
  return windowing::Current().backend ? windowing::Current().backend->ScreenSize().cy : GetScreenSize().cy;
}

int TScreen::FormCount() const {
  int count = 0;
  for (TWinControl* top : TopLevelWindows()) count += dynamic_cast<TCustomForm*>(top) ? 1 : 0;
  return count;
}

TCustomForm* TScreen::Forms(int index) const {
  for (TWinControl* top : TopLevelWindows())
    if (auto* form = dynamic_cast<TCustomForm*>(top); form && index-- == 0) return form;
  RaiseListIndexError(index);
}

TCustomForm* TScreen::ActiveForm() const {
  return dynamic_cast<TCustomForm*>(windowing::Current().active);
}

TWinControl* TScreen::ActiveControl() const {
  return windowing::Current().focus;
}

// ---- TApplication

const TClass& TApplication::StaticClass() {
  static const TClass& cls = ClassBuilder<TApplication>("TApplication", TComponent::StaticClass()).Build();
  return cls;
}

TApplication::TApplication(std::unique_ptr<TBackend> backend)
    : TComponent(nullptr), backend_(std::move(backend)), screen_(std::make_unique<TScreen>(nullptr)) {
  if (Application) throw EInvalidOperation("An application exists already");
  RegisterFormClasses();
  Application = this;
  host::Screen = screen_.get();
  auto& state = windowing::Current();
  state.backend = backend_.get();
  state.exceptionHandler = [this](std::exception_ptr error) { HandleException(error); };
  hintTimer_ = new TTimer(this);
  hintTimer_->SetEnabled(false);
  hintTimer_->OnTimer = [this](TPersistent*) { HintTimerFired(); };
  previousMessageBox_ = SetMessageBoxService(std::make_unique<TApplicationMessageBox>());
  previousBeep_ = SetBeepService(std::make_unique<TBackendBeep>());
}

TApplication::~TApplication() {
  // The forms go first, while the backend they show on is still there.
  DestroyComponents();
  SetMessageBoxService(std::move(previousMessageBox_));
  SetBeepService(std::move(previousBeep_));
  auto& state = windowing::Current();
  state.posted.clear();
  state.timers.clear();
  state.exceptionHandler = nullptr;
  state.backend = nullptr;
  host::Screen = nullptr;
  Application = nullptr;
}

void TApplication::Run() {
  if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::ProcessMessages() {
  // Bounded, so a timer that is always due cannot hold the caller forever.
  for (int turns = 0; turns < 1000 && Turn(); ++turns) {
  }
}

void TApplication::HandleMessage() {
  if (Turn() || terminated_) return;
  if (!backend_->WaitEvent(windowing::TimeToNextTimer())) NothingCanHappen();
}

void TApplication::NothingCanHappen() {
  // The main loop has nothing left to do; a modal form would wait for good, so it says so.
  const auto& modal = windowing::Current().modal;
  if (modal.empty()) {
    Terminate();
    return;
  }
  const auto* form = static_cast<const TCustomForm*>(modal.back());
  throw EModalUnanswered("The modal form \"" + form->Caption() +
                         "\" waits for input that cannot come: none is queued and no timer runs");
}

std::uint32_t TApplication::TimeToNextTimer() const {
  return windowing::TimeToNextTimer();
}

bool TApplication::Turn() {
  bool any = false;
  TBackendEvent event;
  while (!terminated_ && !ModalResultSet() && backend_->PollEvent(event)) {
    any = true;
    try {
      Dispatch(event);
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
  any = windowing::FireDueTimers() || any;
  any = windowing::DispatchPosted() || any;
  PaintWindows();
  windowing::FreeDeviceContexts();
  return any;
}

void TApplication::PaintWindows() {
  for (TWinControl* top : std::vector<TWinControl*>(TopLevelWindows())) {
    if (!windowing::IsAlive(top) || !top->IsShowing()) continue;
    try {
      top->Update();
    } catch (...) {
      HandleException(std::current_exception());
    }
    if (windowing::IsAlive(top)) top->FlushPresent();
  }
}

bool TApplication::ModalResultSet() const {
  // Input after the event that ended a modal form belongs to whatever comes next.
  const auto& modal = windowing::Current().modal;
  return !modal.empty() && static_cast<TCustomForm*>(modal.back())->ModalResult() != mrNone;
}

bool TApplication::AcceptsInput(TWinControl& window) const {
  const auto& modal = windowing::Current().modal;
  if (modal.empty() || modal.back() == &window) return true;
  // A popup that holds the mouse over a modal form (a menu) takes the keys as well.
  const TControl* capture = GetCaptureControl();
  return capture && capture->TopLevel() == &window;
}

void TApplication::Dispatch(const TBackendEvent& event) {
  using Kind = TBackendEvent::Kind;
  if (event.kind == Kind::Quit) {
    Terminate();
    return;
  }
  if (event.kind == Kind::KeyDown || event.kind == Kind::KeyUp) return DispatchKey(event);
  if (event.kind == Kind::Text) return DispatchText(event);
  TWinControl* window = FindControl(event.window);
  if (!window) return;
  switch (event.kind) {
    case Kind::MouseMove:
    case Kind::MouseDown:
    case Kind::MouseUp:
    case Kind::MouseWheel:
      if (AcceptsInput(*window) || GetCaptureControl())
        DispatchMouse(*window, event);
      else if (event.kind == Kind::MouseDown)
        backend_->Beep();
      return;
    case Kind::CloseRequest:
      if (!AcceptsInput(*window)) return;
      if (auto* form = dynamic_cast<TCustomForm*>(window)) form->Close();
      return;
    case Kind::Resized:
      window->SetBounds(window->Left(), window->Top(), event.width, event.height);
      return;
    case Kind::Moved:
      if (auto* form = dynamic_cast<TCustomForm*>(window)) form->NativeMoved(event.x, event.y);
      return;
    case Kind::Exposed:
      backend_->Present(window->Handle(), window->ClientRect());
      return;
    case Kind::FocusIn:
      if (AcceptsInput(*window)) windowing::ActivateWindow(window);
      return;
    default:
      return;
  }
}

void TApplication::SetHover(TControl* control) {
  auto& state = windowing::Current();
  if (state.hover == control) return;
  TControl* old = state.hover;
  state.hover = control;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control && windowing::IsAlive(control) && state.hover == control) control->Perform(CM_MOUSEENTER);
  screen_->UpdateCursor(state.hover);
  if (!hintWindow_ || state.hover != hintWindow_) RestartHint(state.hover);
}

namespace {

// The control whose hint shows over Control: the first with a hint of its own, if it shows hints.
TControl* HintSource(TControl* control) {
  for (TControl* c = control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->ShowHint() ? c : nullptr;
  return nullptr;
}

constexpr int kCursorHeight = 20;  // the hint goes just below the arrow

}  // namespace

void TApplication::RestartHint(TControl* control) {
  CancelHint();
  hintControl_ = HintSource(control);
  if (!hintControl_) return;
  hintTimer_->SetInterval(hintPause_);
  hintTimer_->SetEnabled(true);
}

void TApplication::CancelHint() {
  hintTimer_->SetEnabled(false);
  hintControl_ = nullptr;
  if (hintWindow_ && hintWindow_->Visible()) hintWindow_->ReleaseHint();
}

void TApplication::HintTimerFired() {
  hintTimer_->SetEnabled(false);
  if (hintWindow_ && hintWindow_->Visible()) {  // shown for long enough
    hintWindow_->ReleaseHint();
    return;
  }
  if (!windowing::IsAlive(hintControl_)) return;
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
  hintWindow_->ActivateHint(POINT{mouse_.x, mouse_.y + kCursorHeight}, hintControl_->Hint());
  hintTimer_->SetInterval(hintHidePause_);
  hintTimer_->SetEnabled(true);
}

void TApplication::DispatchMouse(TWinControl& window, const TBackendEvent& event) {
  using Kind = TBackendEvent::Kind;
  mouse_ = POINT{window.Left() + event.x, window.Top() + event.y};
  if (event.kind == Kind::MouseDown || event.kind == Kind::MouseWheel) CancelHint();
  TControl* hit = HitTest(window, POINT{event.x, event.y});
  SetHover(hit);
  TControl* capture = GetCaptureControl();
  TControl* target = capture ? capture : windowing::IsAlive(hit) ? hit : nullptr;
  if (!target) return;
  const LPARAM at = LocalPoint(*target, window, event.x, event.y);
  if (event.kind == Kind::MouseDown) {
    // A window that holds the mouse stays active: a click elsewhere is its to handle.
    TWinControl* holder = capture ? capture->TopLevel() : nullptr;
    windowing::ActivateWindow(holder ? holder : &window);
    if (!windowing::IsAlive(target)) return;
  }
  if (event.kind != Kind::MouseWheel) {
    const UINT msg = event.kind == Kind::MouseMove   ? WM_MOUSEMOVE
                     : event.kind == Kind::MouseDown ? ButtonMessage(event.kind, event.button, event.clicks)
                                                     : ButtonMessage(event.kind, event.button, 1);
    if (DesignerTakes(*target, msg, event.shift, at)) return;
  }
  switch (event.kind) {
    case Kind::MouseMove:
      target->Perform(WM_MOUSEMOVE, event.shift, at);
      return;
    case Kind::MouseWheel: {
      TWinControl* focus = FocusedControl();
      (focus ? focus : &window)->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(event.wheelDelta), at);
      return;
    }
    case Kind::MouseDown: {
      auto* windowed = dynamic_cast<TWinControl*>(target);
      if (windowed && windowed->TabStop() && windowed->CanFocus() && !windowed->Focused())
        windowed->SetFocus();
      if (windowing::IsAlive(target))
        target->Perform(ButtonMessage(event.kind, event.button, event.clicks), event.shift, at);
      return;
    }
    case Kind::MouseUp:
      target->Perform(ButtonMessage(event.kind, event.button, 1), event.shift, at);
      return;
    default:
      return;
  }
}

void TApplication::DispatchKey(const TBackendEvent& event) {
  if (event.kind == TBackendEvent::Kind::KeyDown) CancelHint();
  auto* form = dynamic_cast<TCustomForm*>(windowing::Current().active);
  if (!form || !AcceptsInput(*form)) return;
  TWinControl* focus = FocusedControl();
  TWinControl* target = focus && form->ContainsControl(focus) ? focus : form;
  std::uint16_t key = event.key;
  const TShiftState shift = event.shift;
  if (DesignerTakes(*form, event.kind == TBackendEvent::Kind::KeyUp ? WM_KEYUP : WM_KEYDOWN, key, shift))
    return;
  if (event.kind == TBackendEvent::Kind::KeyUp) {
    if (form->KeyPreview() && target != form && form->Perform(WM_KEYUP, key, shift) == 0) return;
    target->Perform(WM_KEYUP, key, shift);
    return;
  }
  // Alt with a letter or digit is an accelerator for whichever control's caption marks it.
  if ((shift & ssAlt) && std::isalnum(key & 0xFF) && key < 128) {
    if (form->Perform(CM_DIALOGCHAR, key, shift) != 0) return;
    if (!windowing::IsAlive(target)) return;
  }
  if (form->KeyPreview() && target != form) {
    key = static_cast<std::uint16_t>(form->Perform(WM_KEYDOWN, key, shift));
    if (key == 0 || !windowing::IsAlive(target)) return;
  }
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    form->SelectNext(focus && form->ContainsControl(focus) ? focus : nullptr, !(shift & ssShift));
    return;
  }
  key = static_cast<std::uint16_t>(target->Perform(WM_KEYDOWN, key, shift));
  if (key == 0 || !windowing::IsAlive(form)) return;
  if (key == VK_RETURN || key == VK_ESCAPE) {
    if (form->Perform(CM_DIALOGKEY, key, shift) != 0) return;
  }
  // The keys that stand for characters of their own reach KeyPress too.
  if ((key == VK_RETURN || key == VK_ESCAPE || key == VK_BACK) && windowing::IsAlive(target)) {
    char c = static_cast<char>(key);
    if (form->KeyPreview() && target != form) {
      c = static_cast<char>(form->Perform(WM_CHAR, static_cast<unsigned char>(c)));
      if (c == 0 || !windowing::IsAlive(target)) return;
    }
    target->Perform(WM_CHAR, static_cast<unsigned char>(c));
  }
}

void TApplication::DispatchText(const TBackendEvent& event) {
  auto* form = dynamic_cast<TCustomForm*>(windowing::Current().active);
  if (!form || !AcceptsInput(*form)) return;
  for (char c : SingleByteText(event.text)) {
    if (DesignerTakes(*form, WM_CHAR, static_cast<unsigned char>(c), 0)) {
      if (!windowing::IsAlive(form)) return;
      continue;
    }
    TWinControl* focus = FocusedControl();
    TWinControl* target = focus && form->ContainsControl(focus) ? focus : form;
    if (form->KeyPreview() && target != form) {
      c = static_cast<char>(form->Perform(WM_CHAR, static_cast<unsigned char>(c)));
      if (c == 0) continue;
    }
    target->Perform(WM_CHAR, static_cast<unsigned char>(c));
    if (!windowing::IsAlive(form)) return;
  }
}

void TApplication::HandleException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    if (OnException)
      OnException(this, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    const Exception wrapped(e.what());
    if (OnException)
      OnException(this, wrapped);
    else
      ShowException(wrapped);
  }
}

void TApplication::ShowException(const Exception& error) {
  std::string text = error.Message();
  if (!text.empty() && text.back() != '.') text += '.';
  if (showingException_ >= kMaxExceptionBoxes || terminated_) {
    std::cerr << title_ << ": " << text << "\n";
    return;
  }
  ++showingException_;
  try {
    MessageBox(text, title_, MB_OK);
  } catch (...) {
    --showingException_;
    throw;
  }
  --showingException_;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
  constexpr std::uint32_t kButtons = 0x0F, kSign = 0xF0;
  const std::uint32_t buttons = flags & kButtons;
  const TMsgDlgButtons shown = buttons == MB_YESNO      ? TMsgDlgButtons{mbYes, mbNo}
                               : buttons == MB_OKCANCEL ? TMsgDlgButtons{mbOK, mbCancel}
                                                        : TMsgDlgButtons{mbOK};
  const std::uint32_t sign = flags & kSign;
  const TMsgDlgType type = sign == MB_ICONHAND          ? mtError
                           : sign == MB_ICONQUESTION    ? mtConfirmation
                           : sign == MB_ICONEXCLAMATION ? mtWarning
                           : sign == MB_ICONASTERISK    ? mtInformation
                                                        : mtCustom;
  // An untitled box takes the application's title rather than its kind's name.
  return MessageDlg(text, type, shown, caption.empty() ? title_ : caption);
}

}  // namespace vantora::host

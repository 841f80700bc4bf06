#include "host/testing/TestDriver.h"

#include <algorithm>
#include <cctype>

#include "host/backends/VirtualKeys.h"
#include "host/forms/StylePainter.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/Screen.h"

namespace vantora::host {

namespace {

// The key a character is typed with, 0 for one without a key of its own.
std::uint16_t KeyOf(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (std::isalpha(u)) return static_cast<std::uint16_t>(std::toupper(u));
  if (std::isdigit(u)) return u;
  if (c == ' ') return VK_SPACE;
  return 0;
}

// The character a key types, with Shift for capitals; 0 for keys that type none.
char CharacterOf(std::uint16_t key, std::uint32_t shift) {
  if ((shift & (ssCtrl | ssAlt)) != 0) return 0;
  if (key >= 'A' && key <= 'Z') return static_cast<char>((shift & ssShift) != 0 ? key : key - 'A' + 'a');
  if ((key >= '0' && key <= '9') || key == VK_SPACE) return static_cast<char>(key);
  return 0;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

TControl* ChildNamed(const TComponent& parent, std::string_view name) {
  if (TComponent* owned = parent.FindComponent(name)) return dynamic_cast<TControl*>(owned);
  const auto* window = dynamic_cast<const TWinControl*>(&parent);
  if (!window) return nullptr;
  for (int i = 0; i < window->ControlCount(); ++i) {
    TControl* child = window->Controls(i);
    if (SameName(child->Name(), name)) return child;
    if (TControl* inner = ChildNamed(*child, name)) return inner;
  }
  return nullptr;
}

TControl* ShowingWithCaption(const TWinControl& root, std::string_view caption) {
  for (int i = 0; i < root.ControlCount(); ++i) {
    TControl* child = root.Controls(i);
    if (!child->IsShowing()) continue;
    if (StylePainter::StripAccelerator(child->Caption()) == caption) return child;
    if (const auto* window = dynamic_cast<const TWinControl*>(child))
      if (TControl* inner = ShowingWithCaption(*window, caption)) return inner;
  }
  return nullptr;
}

}  // namespace

TTestDriver::TTestDriver() {
  auto backend = std::make_unique<THeadlessBackend>();
  backend_ = backend.get();
  app_ = std::make_unique<TApplication>(std::move(backend));
  app_->OnException = [this](TPersistent*, const Exception& error) {
    errors_.push_back(error.Message());
    if (!collectErrors_) failures_.push_back("An exception escaped a handler: " + error.Message());
  };
  DialogResponder().Clear();
  DialogResponder().ClearHistory();
  previousOnShow_ = std::move(DialogResponder().OnShow);
  DialogResponder().OnShow = [this](TCustomForm& form) { ModalShown(form); };
  realizationsAtStart_ = PaletteRealizationCount();
}

TTestDriver::~TTestDriver() {
  DialogResponder().OnShow = std::move(previousOnShow_);
  DialogResponder().Clear();
  app_.reset();
}

TComponent& TTestDriver::Find(const TComponent& root, std::string_view path) {
  const TComponent* at = &root;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('.', start), path.size());
    const std::string_view name = path.substr(start, end - start);
    TComponent* next = at->FindComponent(name);
    if (!next) next = ChildNamed(*at, name);
    if (!next)
      Fail("No \"" + std::string(name) + "\" in " + at->Name() + " (looking for \"" + std::string(path) +
           "\")");
    at = next;
    start = end + 1;
  }
  return const_cast<TComponent&>(*at);
}

TControl& TTestDriver::FindByCaption(const TWinControl& root, std::string_view caption) {
  if (TControl* found = ShowingWithCaption(root, caption)) return *found;
  Fail("Nothing showing in " + root.Name() + " reads \"" + std::string(caption) + "\"");
}

POINT TTestDriver::At(const TControl& control, int x, int y) const {
  if (!control.IsShowing()) throw ETestFailure("\"" + control.Name() + "\" is not showing");
  const POINT origin = control.OriginInTopLevel();
  return POINT{origin.x + x, origin.y + y};
}

void TTestDriver::Click(const TControl& control, TMouseButton button, std::uint32_t shift) {
  ClickAt(control, control.Width() / 2, control.Height() / 2, button, shift);
}

void TTestDriver::ClickAt(const TControl& control, int x, int y, TMouseButton button, std::uint32_t shift) {
  const POINT p = At(control, x, y);
  backend_->Click(control.GetWindowHandle(), p.x, p.y, button, shift);
  Process();
}

void TTestDriver::DoubleClick(const TControl& control) {
  DoubleClickAt(control, control.Width() / 2, control.Height() / 2);
}

void TTestDriver::DoubleClickAt(const TControl& control, int x, int y) {
  const POINT p = At(control, x, y);
  backend_->DoubleClick(control.GetWindowHandle(), p.x, p.y);
  Process();
}

void TTestDriver::Drag(const TControl& control, POINT from, POINT to, TMouseButton button,
                       std::uint32_t shift) {
  const HWND window = control.GetWindowHandle();
  const POINT start = At(control, from.x, from.y), end = At(control, to.x, to.y);
  const std::uint32_t held = shift | (button == TMouseButton::Left    ? ssLeft
                                      : button == TMouseButton::Right ? ssRight
                                                                      : ssMiddle);
  backend_->MouseMove(window, start.x, start.y, shift);
  backend_->MouseDown(window, start.x, start.y, button, shift);
  Process();
  constexpr int kSteps = 4;
  for (int step = 1; step <= kSteps; ++step) {
    backend_->MouseMove(window, start.x + (end.x - start.x) * step / kSteps,
                        start.y + (end.y - start.y) * step / kSteps, held);
    Process();
  }
  backend_->MouseUp(window, end.x, end.y, button, shift);
  Process();
}

void TTestDriver::MoveMouse(const TControl& control, int x, int y) {
  const POINT p = At(control, x, y);
  backend_->MouseMove(control.GetWindowHandle(), p.x, p.y);
  Process();
}

void TTestDriver::Wheel(const TControl& control, int delta) {
  const POINT p = At(control, control.Width() / 2, control.Height() / 2);
  backend_->Wheel(control.GetWindowHandle(), p.x, p.y, delta);
  Process();
}

void TTestDriver::PressKey(std::uint16_t key, std::uint32_t shift) {
  backend_->KeyDown(key, shift);
  if (const char c = CharacterOf(key, shift)) backend_->Type(std::string(1, c));
  backend_->KeyUp(key, shift);
  Process();
}

void TTestDriver::TypeText(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    // A character beyond ASCII is its whole UTF-8 sequence, typed without a key of its own.
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string character = text.substr(at, length);
    at += character.size();
    const std::uint16_t key = character.size() == 1 ? KeyOf(character[0]) : 0;
    const std::uint32_t shift = std::isupper(lead) ? std::uint32_t{ssShift} : 0u;
    if (key) backend_->KeyDown(key, shift);
    backend_->Type(character);
    if (key) backend_->KeyUp(key, shift);
  }
  Process();
}

void TTestDriver::PressAccelerator(char letter) {
  PressKey(static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(letter))), ssAlt);
}

void TTestDriver::ReplaceText(const TControl& edit, const std::string& text) {
  ClickAt(edit, 4, edit.Height() / 2);
  PressKey('A', ssCtrl);
  TypeText(text);
}

void TTestDriver::Process() {
  app_->ProcessMessages();
  if (failures_.empty()) return;
  std::string message;
  for (const std::string& failure : failures_) message += (message.empty() ? "" : "\n") + failure;
  failures_.clear();
  throw ETestFailure(message);
}

void TTestDriver::RunToNextTimer() {
  Process();
  const std::uint32_t next = app_->TimeToNextTimer();
  if (next == kWaitForever) Fail("No timer runs");
  backend_->Advance(next);
  Process();
}

void TTestDriver::Wait(std::uint32_t ms) {
  Process();
  for (;;) {
    // A timer due now has just fired; the next one is at least a tick away.
    const std::uint32_t next = std::max<std::uint32_t>(app_->TimeToNextTimer(), 1);
    if (next > ms) break;
    backend_->Advance(next);
    ms -= next;
    Process();
  }
  backend_->Advance(ms);
  Process();
}

void TTestDriver::OnModal(const std::string& title, std::function<void(TCustomForm& form)> script) {
  scripts_.push_back(ModalScript{title, std::move(script)});
}

void TTestDriver::ModalShown(TCustomForm& form) {
  // A form that ended while it showed (its own OnShow answered it) needs nothing more.
  if (form.ModalResult() != mrNone) return;
  const auto found = std::find_if(scripts_.begin(), scripts_.end(),
                                  [&](const ModalScript& s) { return s.title == form.Caption(); });
  if (found == scripts_.end()) {
    // Input queued before the form opened is meant for it.
    if (backend_->Pending()) return;
    failures_.push_back("An unscripted modal form \"" + form.Caption() + "\" was shown; it was cancelled");
    form.SetModalResult(mrCancel);
    return;
  }
  const auto script = std::move(found->script);
  scripts_.erase(found);
  app_->ProcessMessages();
  script(form);
  if (form.Modal() && form.ModalResult() == mrNone) {
    failures_.push_back("The script for \"" + form.Caption() + "\" left it open; it was cancelled");
    form.SetModalResult(mrCancel);
  }
}

void TTestDriver::Answer(const TDialogAnswer& answer) {
  DialogResponder().Queue(answer);
}

void TTestDriver::AnswerMessage(TModalResult button) {
  TDialogAnswer answer;
  answer.kind = TDialogKind::Message;
  answer.button = button;
  answer.accept = button != mrCancel;
  Answer(answer);
}

void TTestDriver::AnswerInput(const std::string& text) {
  TDialogAnswer answer;
  answer.kind = TDialogKind::Input;
  answer.text = text;
  Answer(answer);
}

void TTestDriver::AnswerColor(TColor color) {
  TDialogAnswer answer;
  answer.kind = TDialogKind::Color;
  answer.color = color;
  Answer(answer);
}

void TTestDriver::AnswerFile(TDialogKind kind, const std::string& path) {
  TDialogAnswer answer;
  answer.kind = kind;
  answer.text = path;
  Answer(answer);
}

void TTestDriver::Cancel(TDialogKind kind) {
  TDialogAnswer answer;
  answer.kind = kind;
  answer.accept = false;
  answer.button = mrCancel;
  Answer(answer);
}

const std::vector<TDialogRecord>& TTestDriver::Dialogs() const {
  return DialogResponder().History();
}

TPixels TTestDriver::Pixels(const TControl& control) const {
  const POINT origin = At(control, 0, 0);
  const SurfacePixels surface = GetSurfacePixels(control.GetWindowHandle());
  TPixels out;
  out.width = std::max(0, std::min<int>(control.Width(), surface.width - origin.x));
  out.height = std::max(0, std::min<int>(control.Height(), surface.height - origin.y));
  out.pixels.reserve(static_cast<std::size_t>(out.width * out.height));
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      out.pixels.push_back(surface.pixels[(origin.y + y) * surface.width + origin.x + x] & 0xFFFFFFu);
  return out;
}

std::uint32_t TTestDriver::PixelAt(const TControl& control, int x, int y) const {
  const POINT p = At(control, x, y);
  const SurfacePixels surface = GetSurfacePixels(control.GetWindowHandle());
  if (p.x < 0 || p.y < 0 || p.x >= surface.width || p.y >= surface.height)
    throw ETestFailure("(" + std::to_string(x) + ", " + std::to_string(y) + ") lies outside \"" +
                       control.Name() + "\"'s window");
  return surface.pixels[p.y * surface.width + p.x] & 0xFFFFFFu;
}

std::vector<std::uint32_t> TTestDriver::SystemPalette() const {
  PALETTEENTRY entries[256];
  GetSystemPaletteEntries(nullptr, 0, 256, entries);
  std::vector<std::uint32_t> colors;
  for (const PALETTEENTRY& e : entries)
    colors.push_back(static_cast<std::uint32_t>(e.peRed) << 16 | static_cast<std::uint32_t>(e.peGreen) << 8 |
                     e.peBlue);
  return colors;
}

std::uint64_t TTestDriver::PaletteRealizations() const {
  return PaletteRealizationCount() - realizationsAtStart_;
}

void TTestDriver::Screenshot(const TControl& window, const std::string& path) const {
  backend_->Screenshot(window.GetWindowHandle(), path);
}

void TTestDriver::Fail(const std::string& message) {
  throw ETestFailure(message);
}

}  // namespace vantora::host

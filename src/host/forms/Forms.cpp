#include "host/forms/Forms.h"

#include <algorithm>

#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "host/forms/Application.h"
#include "host/forms/Responder.h"
#include "host/forms/WindowSystem.h"

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TPosition) {
  static const TEnumInfo info{"TPosition",
                              {"poDesigned", "poDefault", "poScreenCenter", "poOwnerFormCenter"}};
  return info;
}

TCustomForm* TControl::ParentForm() const {
  return dynamic_cast<TCustomForm*>(TopLevel());
}

const TClass& TCustomForm::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TCustomForm>("TCustomForm", TWinControl::StaticClass())
          .Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
          .Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, bsSizeable)
          .Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
          .Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned)
          .Method("OnActivate")
          .Method("OnClose")
          .Method("OnCloseQuery")
          .Method("OnCreate")
          .Method("OnDeactivate")
          .Method("OnDestroy")
          .Method("OnHide")
          .Method("OnShow")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TCustomForm);

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
}

TCustomForm::~TCustomForm() {
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      windowing::ReportCurrentException();
    }
  }
  // What derives from the form is gone by now, and with it what its controls' handlers would call:
  // the focus leaves them unannounced.
  if (auto& state = windowing::Current(); ContainsControl(state.focus)) state.focus = nullptr;
  if (NativeShown()) HideNative();
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::ReadFromStream(TStream& stream) {
  TMemoryStream binary;
  ReadComponentStream(stream, binary);
  ReadComponent(binary, this);
  if (OnCreate) OnCreate(this);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (IsShowing()) windowing::ActivateWindow(this);
}

bool TCustomForm::Active() const {
  return windowing::Current().active == this;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

TCloseAction TCustomForm::AskClose() {
  if (!CloseQuery()) return caNone;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  return action;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  const TCloseAction action = AskClose();
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    Hide();
    return;
  }
  Hide();
  if (action == caFree) Release();
}

void TCustomForm::Release() {
  PostMessage(this, CM_RELEASE);
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  if (!Application) throw EInvalidOperation("No application to run a modal loop");
  ReleaseCapture();
  auto& state = windowing::Current();
  TWinControl* const previous = state.active;
  modal_ = true;
  modalResult_ = mrNone;
  state.modal.push_back(this);
  TCloseAction action = caHide;
  const auto leave = [&]() {
    std::erase(state.modal, this);
    modal_ = false;
    Hide();
    if (previous && windowing::IsAlive(previous) && previous->IsShowing())
      windowing::ActivateWindow(previous);
  };
  try {
    Show();
    DialogResponder().Shown(*this);
    while (modalResult_ == mrNone) {
      Application->HandleMessage();
      if (Application->Terminated())
        modalResult_ = mrCancel;
      else if (modalResult_ == mrNone)
        continue;
      action = AskClose();
      if (action == caNone && !Application->Terminated()) modalResult_ = mrNone;
    }
  } catch (...) {
    leave();
    throw;
  }
  leave();
  if (action == caFree) Release();
  return modalResult_;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && (!ContainsControl(control) || control == this))
    throw EInvalidOperation("Invalid active control for form " + Name());
  activeControl_ = control;
  if (control && Active() && control->CanFocus() && !IsLoading()) windowing::ChangeFocus(control);
}

void TCustomForm::FocusChanged(TWinControl* control) {
  if (control != this) activeControl_ = control;
}

void TCustomForm::ControlDestroyed(TControl* control) {
  // A whole panel may be going with the active control inside it.
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (windowed && windowed->ContainsControl(activeControl_)) activeControl_ = nullptr;
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& proc, const TComponent* root) const {
  // Components that are no controls (timers and the like) come first, then the controls in z-order.
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    auto* control = dynamic_cast<TControl*>(c);
    if (!control || !control->Parent()) proc(c);
  }
  TWinControl::GetChildren(proc, root);
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_RELEASE:
      delete this;
      return;
    case CM_ACTIVATE:
      Activated();
      return;
    case CM_DEACTIVATE:
      if (OnDeactivate) OnDeactivate(this);
      return;
    default:
      TWinControl::WndProc(message);
  }
}

void TCustomForm::Activated() {
  // A designed form keeps the keys for its designer.
  TWinControl* target = activeControl_ && activeControl_->CanFocus() && !designer_ ? activeControl_ : nullptr;
  if (!target && !designer_ && !windowing::IsAlive(windowing::Current().focus))
    target = FindNextControl(nullptr, true, true);
  if (!target || !ContainsControl(windowing::Current().focus)) windowing::ChangeFocus(target ? target : this);
  if (OnActivate) OnActivate(this);
}

void TCustomForm::PaintOverlay(HDC dc, const RECT& clip) {
  if (designer_) designer_->PaintMarks(dc, clip);
}

RECT TCustomForm::OverlayArea() const {
  return designer_ ? designer_->MarksArea() : RECT{0, 0, 0, 0};
}

void TCustomForm::CMDialogKey(TMessage& message) {
  Broadcast(message);
}

void TCustomForm::NativeMoved(int left, int top) {
  followingNative_ = true;
  try {
    SetBounds(left, top, Width(), Height());
  } catch (...) {
    followingNative_ = false;
    throw;
  }
  followingNative_ = false;
}

void TCustomForm::BoundsChanged(int oldWidth, int oldHeight) {
  if (NativeShown() && Application && !followingNative_)
    Application->Backend().MoveNativeWindow(Handle(), Left(), Top());
  TWinControl::BoundsChanged(oldWidth, oldHeight);
}

void TCustomForm::CMTextChanged(TMessage& message) {
  TWinControl::CMTextChanged(message);
  if (NativeShown() && Application) Application->Backend().SetNativeCaption(Handle(), Caption());
}

void TCustomForm::CMVisibleChanged(TMessage& message) {
  TWinControl::CMVisibleChanged(message);
  if (Parent() || IsLoading()) return;
  if (Visible()) {
    ShowNative();
    if (OnShow) OnShow(this);
  } else {
    HideNative();
    if (OnHide) OnHide(this);
  }
}

POINT TCustomForm::PlacedPosition() const {
  const TControl* around = nullptr;
  if (position_ == poOwnerFormCenter) around = dynamic_cast<const TCustomForm*>(Owner());
  if (position_ == poOwnerFormCenter && !around)
    around = dynamic_cast<TCustomForm*>(windowing::Current().active);
  if (around && around != this)
    return POINT{around->Left() + (around->Width() - Width()) / 2,
                 around->Top() + (around->Height() - Height()) / 2};
  if (position_ == poScreenCenter || position_ == poOwnerFormCenter) {
    const SIZE screen = Application ? Application->Backend().ScreenSize() : GetScreenSize();
    return POINT{(screen.cx - Width()) / 2, (screen.cy - Height()) / 2};
  }
  if (position_ == poDefault) {
    // Cascade from the top-left corner, one step per form already shown.
    int shown = 0;
    for (TWinControl* top : TopLevelWindows()) shown += top != this && top->NativeShown() ? 1 : 0;
    return POINT{24 + 24 * (shown % 8), 24 + 24 * (shown % 8)};
  }
  return POINT{Left(), Top()};
}

void TCustomForm::ShowNative() {
  const POINT at = PlacedPosition();
  if (at.x != Left() || at.y != Top()) SetBounds(at.x, at.y, Width(), Height());
  Realign();
  SetNativeShown(true);
  InvalidateWindowRect(ClientRect());
  if (!Application) return;
  TNativeWindowParams params;
  params.caption = Caption();
  params.left = Left();
  params.top = Top();
  params.resizable = borderStyle_ == bsSizeable;
  params.popup = borderStyle_ == bsNone;
  Update();
  Application->Backend().ShowNativeWindow(Handle(), params);
}

void TCustomForm::HideNative() {
  if (!NativeShown()) return;
  SetNativeShown(false);
  if (Application) Application->Backend().HideNativeWindow(Handle());
  auto& state = windowing::Current();
  if (ContainsControl(state.focus)) windowing::ChangeFocus(nullptr);
  if (state.active != this) return;
  // The most recent other form that is still shown takes over.
  TWinControl* next = nullptr;
  for (TWinControl* top : state.topLevels)
    if (top != this && top->NativeShown()) next = top;
  state.active = nullptr;
  if (next) windowing::ActivateWindow(next);
}

const TClass& TForm::StaticClass() {
  static const TClass& cls = ClassBuilder<TForm>("TForm", TCustomForm::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TForm);

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

POINT KeptOnScreen(POINT topLeft, SIZE size) {
  const SIZE screen = Application ? Application->Backend().ScreenSize() : GetScreenSize();
  return POINT{std::clamp<LONG>(topLeft.x, 0, std::max<LONG>(0, screen.cx - size.cx)),
               std::clamp<LONG>(topLeft.y, 0, std::max<LONG>(0, screen.cy - size.cy))};
}

void ReadComponentStream(TStream& stream, TMemoryStream& binary) {
  if (IsBinaryComponentStream(stream)) {
    binary.CopyFrom(stream, stream.Size() - stream.Position());
    // Checked whole, as the text form is by its parser, before anything is made of it.
    binary.SetPosition(0);
    TMemoryStream text;
    ObjectBinaryToText(binary, text);
  } else {
    ObjectTextToBinary(stream, binary);
  }
  binary.SetPosition(0);
}

TCustomForm* LoadForm(TStream& stream, TComponent* owner) {
  TMemoryStream binary;
  ReadComponentStream(stream, binary);
  TComponent* root = ReadComponent(binary, nullptr, owner);
  auto* form = dynamic_cast<TCustomForm*>(root);
  if (!form) {
    const std::string name = root->ClassName();
    delete root;
    throw EReadError("The stream holds a " + name + ", not a form");
  }
  return form;
}

}  // namespace vantora::host

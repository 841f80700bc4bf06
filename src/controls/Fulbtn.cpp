#include "controls/Fulbtn.h"

#include "base/Prophelp.h"
#include "host/classes/Filer.h"
#include "host/forms/Messages.h"

namespace vantora {

const host::TClass& tFulgoButtonArt::StaticClass() {
  using A = tFulgoButtonArt;
  // The objects are filled in place by the stream; they are never replaced.
  static const host::TClass& cls = host::ClassBuilder<A>("tFulgoButtonArt", tFulgoArt::StaticClass())
                                       .ReadOnly("FulgoText", &A::GetFulgoText, nullptr)
                                       .ReadOnly("FulgoBackground", &A::GetFulgoBackground, nullptr)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoButtonArt);

tFulgoButtonArt::tFulgoButtonArt(tFulgoPersistent* AOwner) : tFulgoArt(AOwner) {
  AddFulgoObjects();
  SetDefaults();
}

void tFulgoButtonArt::Init() {
  tFulgoArt::Init();
  SetDefaults();
}

void tFulgoButtonArt::SetDefaults() {
  FulgoText->StoreCaption = true;
}

void tFulgoButtonArt::AddFulgoObjects() {
  tFulgoArt::AddFulgoObjects();
  FulgoBackground = Objects.Add(std::make_unique<tFulgoBackground>(this));
  FulgoText = Objects.Add(std::make_unique<tFulgoText>(this));
}

std::unique_ptr<tFulgoArt> tFulgoButtonArt::NewArt() const {
  return std::make_unique<tFulgoButtonArt>(nullptr);
}

const host::TClass& TFulgoButton::StaticClass() {
  using B = TFulgoButton;
  static const host::TClass& cls = host::ClassBuilder<B>("TFulgoButton", TFulgoSpeedButton::StaticClass())
                                       .ReadOnly("Art", &B::GetArt, nullptr)
                                       .Property("MinArt", &B::GetMinArt, &B::SetMinArt, true)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFulgoButton);

const host::TClass& oFulgoButton::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<oFulgoButton>("oFulgoButton", TFulgoButton::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(oFulgoButton);

TFulgoButton::TFulgoButton(host::TComponent* AOwner) : TFulgoSpeedButton(AOwner) {
  AddFulgoArt();
  SetControlStyle(ControlStyle() | host::csSetCaption);
  SetDefaults();
  CallComponentDefaults();
}

TFulgoButton::~TFulgoButton() {
  FulgoInt().Arts.Clear();
  FulgoInt().CurrentArt = nullptr;
}

tFulgoButtonArt* TFulgoButton::StateArts(int Index) const {
  switch (Index) {
    case 0:
      return DownArt.get();
    case 1:
      return DisableArt.get();
    default:
      return MouseOverArt.get();
  }
}

void TFulgoButton::AddFulgoArt() {
  for (auto* art : {&Art, &DownArt, &DisableArt, &MouseOverArt}) {
    *art = std::make_unique<tFulgoButtonArt>(nullptr);
    FulgoInt().Add(art->get());
  }
  FulgoInt().CurrentArt = Art.get();
}

void TFulgoButton::Init() {
  TFulgoSpeedButton::Init();
  SetDefaults();
}

void TFulgoButton::SetDefaults() {
  ButtonStatesData.Clear();
  FulgoInt().SetAutoSize(false);
  DownAsUp = MouseOverAsUp = DisableAsUp = false;
  MinArt = true;
}

void TFulgoButton::ComponentDefaults() {
  TFulgoSpeedButton::ComponentDefaults();
  SetBounds(0, 0, 145, 38);
  SetFramedLook(*Art->FulgoBackground, 0xFFFFFF);
  for (int i = 0; i < 3; ++i) StateArts(i)->Assign(Art.get());
  DownArt->FulgoBackground->LayerShadow->SetActive(false);
  DownArt->SetInnerOffsetX(3);
  DownArt->SetInnerOffsetY(3);
  DownArt->SetInnerOffsetSizeX(-3);
  DownArt->SetInnerOffsetSizeY(-3);
  ChildStateChanged();
}

void TFulgoButton::ChildStateChanged(std::int32_t) {
  host::TMemoryStream scratch;
  DownAsUp = !FindDifference(scratch, Art.get(), DownArt.get());
  DisableAsUp = !FindDifference(scratch, Art.get(), DisableArt.get());
  MouseOverAsUp = !FindDifference(scratch, Art.get(), MouseOverArt.get());
  SetAsStates();
  // A dropped entry moves the position back without shortening the stream: what counts ends at
  // the position.
  ButtonStatesData.Clear();
  ButtonStatesData.WriteBuffer(scratch.Memory(), scratch.Position());
}

void TFulgoButton::UpChanged() {
  NoRebuilds quiet(*this);
  for (int i = 0; i < 3; ++i) StateArts(i)->Assign(Art.get());
  if (ButtonStatesData.Size() == 0) return;
  ButtonStatesData.SetPosition(0);
  DownAsUp = !SetDifference(ButtonStatesData, DownArt.get());
  DisableAsUp = !SetDifference(ButtonStatesData, DisableArt.get());
  MouseOverAsUp = !SetDifference(ButtonStatesData, MouseOverArt.get());
  SetAsStates();
}

void TFulgoButton::SetAsStates() {
  if (!MinArt) DownAsUp = DisableAsUp = MouseOverAsUp = false;
  DownArt->Active = !DownAsUp;
  DisableArt->Active = !DisableAsUp;
  MouseOverArt->Active = !MouseOverAsUp;
}

void TFulgoButton::SetMinArt(bool Value) {
  if (Value == MinArt) return;
  MinArt = Value;
  SetAsStates();
  if (!Value) Rebuild();
}

void TFulgoButton::ClearArt(std::int32_t State) {
  switch (State) {
    case kStateUp:
      Init();
      break;
    case kStateDown:
    case kStateDisable:
    case kStateMouseOver:
      StateArts(State - 1)->Assign(Art.get());
      break;
    default:
      break;
  }
  ChildStateChanged(State);
}

void TFulgoButton::CaptionChanged() {
  {
    NoRebuilds quiet(*this);
    const std::string old = Art->FulgoText->Caption;
    for (int i = 0; i < 3; ++i)
      if (StateArts(i)->FulgoText->Caption == old) StateArts(i)->FulgoText->SetCaption(Text());
    Art->FulgoText->SetCaption(Text());
  }
  Rebuild();
}

void TFulgoButton::Loaded() {
  UpChanged();
  TFulgoSpeedButton::Loaded();
}

void TFulgoButton::AssignTo(host::TPersistent* Dest) const {
  TFulgoSpeedButton::AssignTo(Dest);
  if (auto* button = dynamic_cast<TFulgoButton*>(Dest)) button->UpChanged();
}

void TFulgoButton::DefineProperties(host::TFiler& Filer) {
  TFulgoSpeedButton::DefineProperties(Filer);
  Filer.DefineBinaryProperty(
      "ButtonStates",
      [this](host::TStream& s) {
        ButtonStatesData.Clear();
        ButtonStatesData.CopyFrom(s, s.Size() - s.Position());
      },
      [this](host::TStream& s) { s.WriteBuffer(ButtonStatesData.Memory(), ButtonStatesData.Size()); }, true);
}

void TFulgoButton::WndProc(host::TMessage& Message) {
  TFulgoSpeedButton::WndProc(Message);
  if (Message.Msg == host::WM_SETTEXT) CaptionChanged();
}

tFulgoButtonArt* TFulgoButton::StateArt() const {
  switch (PressState) {
    case psUp:
      return MouseInside && !MouseOverAsUp ? MouseOverArt.get() : Art.get();
    case psDisabled:
      return DisableAsUp ? Art.get() : DisableArt.get();
    default:
      return DownAsUp ? Art.get() : DownArt.get();
  }
}

void TFulgoButton::Paint() {
  if (!Enabled() && !IsDesigning()) {
    PressState = psDisabled;
    Dragging = false;
  } else if (PressState == psDisabled) {
    PressState = psUp;
  }
  FulgoInt().CurrentArt = StateArt();
  TFulgoSpeedButton::Paint();
}

void TFulgoButton::MouseMove(host::TShiftState Shift, int X, int Y) {
  const bool wasInside = MouseInside;
  TFulgoSpeedButton::MouseMove(Shift, X, Y);
  if (PressState == psUp && !MouseIsDown && host::GetCaptureControl() != this) {
    host::SetCaptureControl(this);
    HoverCapture = true;
    MouseInside = true;
  }
  if (MouseInside && (MouseIsDown || X < 0 || Y < 0 || X > Width() || Y > Height())) {
    if (HoverCapture) host::ReleaseCapture();
    MouseInside = false;
  }
  if (MouseInside == wasInside) return;
  if (IsDesigning())
    Invalidate();
  else
    Repaint();
}

void TFulgoButton::MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) {
  MouseIsDown = true;
  if (MouseInside) {
    MouseInside = false;
    HoverCapture = false;
  }
  TFulgoSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TFulgoButton::MouseUp(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) {
  MouseIsDown = false;
  TFulgoSpeedButton::MouseUp(Button, Shift, X, Y);
}

oFulgoButton::oFulgoButton(host::TComponent* AOwner) : TFulgoButton(AOwner) {
  FulgoInt().UseGlobalPalette = true;
  PaletteNotStored = true;
}

}  // namespace vantora

// Unit Fulbtn: TFulgoButton, the button with four looks, one per state (Up, Down, Disable,
// MouseOver). It shows the MouseOver look while the pointer hovers over it, stores the three other
// looks only as their differences from the Up look ("ButtonStates"), and by default renders no look
// that equals the Up look (MinArt). oFulgoButton is the variant for buttons made in code.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "controls/Fulsbtn.h"
#include "host/classes/Stream.h"
#include "model/Fulback.h"
#include "model/Fulgoart.h"
#include "model/Fultext.h"

VANTORA_API_BEGIN
namespace vantora {

// The art of one button state: a background with a text over it; each state keeps its caption.
class tFulgoButtonArt : public tFulgoArt {
  VANTORA_PERSISTENT(tFulgoButtonArt)

  explicit tFulgoButtonArt(tFulgoPersistent* AOwner);

  // Owned through the object list.
  tFulgoBackground* FulgoBackground = nullptr;
  tFulgoText* FulgoText = nullptr;

  void Init() override;
  void SetDefaults();
  void AddFulgoObjects() override;
  std::unique_ptr<tFulgoArt> NewArt() const override;
  tFulgoText* GetFulgoText() const { return FulgoText; }
  tFulgoBackground* GetFulgoBackground() const { return FulgoBackground; }
};

// The state numbers of ClearArt.
enum : std::int32_t { kStateUp = 0, kStateDown = 1, kStateDisable = 2, kStateMouseOver = 3 };

class TFulgoButton : public TFulgoSpeedButton {
  VANTORA_PERSISTENT(TFulgoButton)

  explicit TFulgoButton(host::TComponent* AOwner);
  ~TFulgoButton() override;

  std::unique_ptr<tFulgoButtonArt> Art;
  std::unique_ptr<tFulgoButtonArt> DownArt;
  std::unique_ptr<tFulgoButtonArt> DisableArt;
  std::unique_ptr<tFulgoButtonArt> MouseOverArt;
  // The state's look has no difference from the Up look.
  bool DownAsUp = false;
  bool MouseOverAsUp = false;
  bool DisableAsUp = false;
  // The "ButtonStates" bytes: the three difference records.
  host::TMemoryStream ButtonStatesData;
  bool MinArt = true;
  // The button took the mouse capture itself to follow the hovering pointer.
  bool HoverCapture = false;
  bool MouseIsDown = false;
  bool MouseInside = false;

  void AssignTo(host::TPersistent* Dest) const override;
  void DefineProperties(host::TFiler& Filer) override;
  void Loaded() override;
  void WndProc(host::TMessage& Message) override;
  void AddFulgoArt() override;
  void ComponentDefaults() override;
  void Init() override;
  void SetDefaults();
  bool InitialAutoSize() const override { return false; }

  void CaptionChanged();
  // After a state look was edited: its differences from Up become the state data.
  void ChildStateChanged(std::int32_t State = 0);
  // After loading, copying or editing Up: the state looks are Up plus their differences.
  void UpChanged();
  void SetAsStates();
  bool GetMinArt() const { return MinArt; }
  void SetMinArt(bool Value);
  void ClearArt(std::int32_t State);
  tFulgoButtonArt* GetArt() const { return Art.get(); }
  // The look painting shows in the current state.
  tFulgoButtonArt* StateArt() const;

 protected:
  void Paint() override;
  void MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;
  void MouseMove(host::TShiftState Shift, int X, int Y) override;
  void MouseUp(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;

 private:
  tFulgoButtonArt* StateArts(int Index) const;
};

class oFulgoButton : public TFulgoButton {
  VANTORA_PERSISTENT(oFulgoButton)

  explicit oFulgoButton(host::TComponent* AOwner);
};

}  // namespace vantora
VANTORA_API_END

// Unit Qorspin2: tQorSpin2, an integer edit with two spin buttons at its right edge, auto-repeat
// while a button is held, arrow-key stepping, a key filter and a range check. OnLegalChange fires
// only when the text has become a valid integer inside the range, which is what editors bind their
// model updates to.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "host/forms/Timer.h"
#include "host/graphics/Graphics.h"
#include "host/widgets/CustomEdit.h"

namespace vantora {

enum efgRanges : std::uint8_t { fgrNone, fgrBoth, fgrMax, fgrMin };
const host::TEnumInfo& TypeInfoOf(efgRanges);

// The arrows shared by every spin button, drawn on first use; the colour 0x008080 is their
// background, replaced by the button face when drawn.
extern std::unique_ptr<host::TBitmap> g_SpinUpBitMap;
extern std::unique_ptr<host::TBitmap> g_SpinDownBitMap;
inline constexpr host::TColor kSpinGlyphBackground = 0x008080;
void Clear_g_SpinBitmaps();

class tQorSpinButton : public host::TCustomControl {
  VANTORA_PERSISTENT(tQorSpinButton)

  explicit tQorSpinButton(host::TComponent* AOwner);
  ~tQorSpinButton() override;

  bool Pressed = false;
  bool IsUpButton = false;

  host::TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(host::TWinControl* value);
  // Exists only while a mouse button is held on the button.
  host::TTimer* RepeatTimer() const { return repeatTimer_.get(); }

 protected:
  void Paint() override;
  void MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;
  void MouseUp(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;
  void Notification(host::TComponent* AComponent, host::TOperation Operation) override;

 private:
  void TimerExpired(host::TPersistent* Sender);
  host::TWinControl* focusControl_ = nullptr;
  std::unique_ptr<host::TTimer> repeatTimer_;
};

class tQorSpin2 : public host::TCustomEdit {
  VANTORA_PERSISTENT(tQorSpin2)

  explicit tQorSpin2(host::TComponent* AOwner);
  ~tQorSpin2() override;

  std::int32_t Increment = 1;
  std::int32_t MinValue = 0;
  std::int32_t MaxValue = 0;
  // Stored and loaded; the range rule is always CheckNewValue's.
  efgRanges CheckRange = fgrNone;
  host::TNotifyEvent OnLegalChange;

  tQorSpinButton* UpButton() const { return upButton_; }
  tQorSpinButton* DownButton() const { return downButton_; }

  // The text as an integer; a text that is none raises EConvertError.
  std::int32_t Getvalue() const;
  // Shows Value when CheckNewValue allows it, else beeps and leaves the text.
  void SetValue(std::int32_t Value);
  bool CheckNewValue(std::int64_t Value) const;
  bool CheckValue() const;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The spin buttons are parts of the edit, never written with it.
  void GetChildren(const std::function<void(host::TComponent*)>&, const host::TComponent*) const override {}

  virtual bool IsValidChar(char Key) const;
  // Stepping by the user: refused with a beep when the edit is read-only.
  virtual void UpClick(host::TPersistent* Sender);
  virtual void DownClick(host::TPersistent* Sender);
  void SpinUpBtnClicked(host::TPersistent* Sender);
  void SpinDownBtnClicked(host::TPersistent* Sender);

 protected:
  void Change() override;
  virtual void DoLegalChange();
  void KeyDown(std::uint16_t& Key, host::TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void CMExit(host::TMessage& Message) override;
  host::RECT TextArea() const override;

 private:
  // One step from the current value; a text that is no integer, or a step past 32 bits, only
  // beeps (the text goes back to the last good value).
  void Step(std::int32_t Direction);
  // The text that is no integer gives way to the last value that was one.
  void RestoreLastGood();
  void PlaceButtons();

  tQorSpinButton* upButton_ = nullptr;    // child and owned component of the edit
  tQorSpinButton* downButton_ = nullptr;  // likewise
  std::int32_t lastGood_ = 0;
};

}  // namespace vantora

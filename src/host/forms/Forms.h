// Forms: top-level windows with a caption, a position, a border, an active control, default and
// cancel keys, modal showing with a modal result, closing with its events, and loading from a form
// stream with all their children.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Stream.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TPosition : std::uint8_t { poDesigned, poDefault, poScreenCenter, poOwnerFormCenter };
const TEnumInfo& TypeInfoOf(TPosition);
enum TCloseAction : std::uint8_t { caNone, caHide, caFree };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

using TCloseEvent = std::function<void(TPersistent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TPersistent* sender, bool& canClose)>;

// A form designer sees the input of the form it designs before the designed controls do, and draws
// its marks (the selection) over them.
class IDesignerHook {
 public:
  virtual ~IDesignerHook() = default;
  // A mouse or key message for Sender, a designed control (mouse points in its client); true when
  // the designer took it, so the control never hears of it.
  virtual bool IsDesignMsg(TControl& sender, TMessage& message) = 0;
  // Draws over the painted form; Dc is on the form's client area.
  virtual void PaintMarks(HDC dc, const RECT& clip) = 0;
  // Where the selection's marks lie now, in the form's client area; when it changes, the form paints
  // both the old and the new place.
  virtual RECT MarksArea() const = 0;
};

class TCustomForm : public TWinControl {
  VANTORA_PERSISTENT(TCustomForm)

  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the form's properties and children from a component stream (binary or text form) into
  // this form, then fires OnCreate. On failure the children read so far are freed again.
  void ReadFromStream(TStream& stream);

  void Show();
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery, then OnClose decides: hide (the default), free (deferred) or stay. A modal
  // form only gets mrCancel as its result; its loop does the closing.
  void Close();
  bool CloseQuery();
  // Shows the form and runs a message loop until ModalResult is set; other windows get no input
  // meanwhile. Answers the result.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool Modal() const { return modal_; }
  // Frees the form once the messages already queued have been handled; safe from the form's own
  // event handlers.
  void Release();

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value) { borderStyle_ = value; }
  bool Active() const;
  // The designer of a form being designed; null for a form at run time.
  IDesignerHook* Designer() const { return designer_; }
  void SetDesigner(IDesignerHook* designer) { designer_ = designer; }
  // The native window was moved from outside (by the user or the window manager): the form takes
  // the position over, so that screen coordinates keep meaning what is shown.
  void NativeMoved(int left, int top);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void GetChildren(const std::function<void(TComponent*)>& proc, const TComponent* root) const override;
  bool IsVisibleStored() const override { return false; }
  void FocusChanged(TWinControl* control) override;
  void ControlDestroyed(TControl* control) override;

 protected:
  void WndProc(TMessage& message) override;
  void BoundsChanged(int oldWidth, int oldHeight) override;
  void CMVisibleChanged(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
  void CMDialogKey(TMessage& message) override;
  virtual void Activated();
  void PaintOverlay(HDC dc, const RECT& clip) override;
  RECT OverlayArea() const override;

 private:
  void ShowNative();
  void HideNative();
  POINT PlacedPosition() const;
  TCloseAction AskClose();

  TWinControl* activeControl_ = nullptr;
  IDesignerHook* designer_ = nullptr;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool keyPreview_ = false;
  bool followingNative_ = false;  // a move that comes from the native window is not sent back to it
  TPosition position_ = poDesigned;
  TFormBorderStyle borderStyle_ = bsSizeable;
};

class TForm : public TCustomForm {
  VANTORA_PERSISTENT(TForm)
  explicit TForm(TComponent* owner);
};

// The top-left corner nearest to TopLeft at which a window of Size lies wholly on the screen (at its
// top-left when it is larger than the screen).
POINT KeptOnScreen(POINT topLeft, SIZE size);

// Reads a form of the class the stream names (binary or text form), owned by Owner. A stream that does not
// hold a form, or fails to read, leaves nothing behind and raises the reader's error.
TCustomForm* LoadForm(TStream& stream, TComponent* owner);
// The component stream in binary form, converted from the text form when it is one; either form is
// read whole and checked, so that a malformed stream or bytes after its root raise EReadError here.
void ReadComponentStream(TStream& stream, TMemoryStream& binary);

}  // namespace vantora::host
VANTORA_API_END

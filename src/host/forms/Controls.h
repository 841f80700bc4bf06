// Controls and windows: the control base with bounds, text, font, colour, mouse and key handling and
// message dispatch; windowless graphic controls painted on their parent; windowed controls with
// children, focus and tab order; custom controls with a canvas of their own.
//
// Only a top-level window (a windowed control without a parent, usually a form) owns a native
// window surface; its windowed children share it and draw into it through their own origin and
// clip rectangle, so Handle of every control of a form is the form's surface.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Lists.h"
#include "host/classes/Persistent.h"
#include "host/classes/Types.h"
#include "host/forms/Font.h"
#include "host/forms/Messages.h"
#include "host/graphics/Graphics.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TWinControl;
class TCustomForm;

VANTORA_DECLARE_ERROR(EInvalidOperation, Exception);

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
const TEnumInfo& TypeInfoOf(TAlign);
enum TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
const TEnumInfo& TypeInfoOf(TAnchorKind);
using TAnchors = TSet<TAnchorKind>;
const TEnumInfo& TypeInfoOf(TCursor);
// A panel takes only the first two; forms all of them.
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
const TEnumInfo& TypeInfoOf(TFormBorderStyle);

// What a control class does (ControlStyle).
enum : std::uint32_t {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csClickEvents = 1u << 2,
  csFramed = 1u << 3,
  csSetCaption = 1u << 4,
  csOpaque = 1u << 5,
  csDoubleClicks = 1u << 6,
  csFixedWidth = 1u << 7,
  csFixedHeight = 1u << 8,
  csReplicatable = 1u << 9,
};
// What a control is going through (ControlState).
enum : std::uint32_t {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,
  csPalette = 1u << 2,  // palette-aware: asked for its palette and told to realise it
  csReadingState = 1u << 3,
  csAlignmentNeeded = 1u << 4,
  csFocusing = 1u << 5,
  csPainting = 1u << 6,
};

using TMouseEvent =
    std::function<void(TPersistent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TPersistent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TPersistent* sender, std::uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TPersistent* sender, char& key)>;

// The canvas of a control: during a paint it draws into the top-level window's back buffer, at
// other times straight onto the window surface; either way through the control's origin, clipped
// to the control and its ancestors.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(class TControl& control) : control_(control) {}
  ~TControlCanvas() override;
  TFont& Font() { return font_; }
  // Draws text with the canvas font, brush off (transparent background).
  void TextOut(int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  // Gives the context back (the next use outside a paint takes a new one).
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  friend class TWinControl;
  TControl& control_;
  TFont font_;
  HDC ownDc_ = nullptr;  // taken from the window outside a paint
};

class TControl : public TComponent {
  VANTORA_PERSISTENT(TControl)

  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // A control being designed whose text is empty or its old name takes the new name as its text.
  void SetName(const std::string& name) override;
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;
  // The form (or other top-level window) the control lives on; null when it has none.
  TWinControl* TopLevel() const;
  TCustomForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect() const { return RECT{0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;
  // Position of the client origin in the top-level window's client coordinates.
  POINT OriginInTopLevel() const;
  // The part of the top-level window's client the control may draw on (itself within its
  // ancestors), in the top-level window's coordinates.
  RECT VisibleArea() const;

  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to the top-level window visible too.
  bool IsShowing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);
  bool IsEnabledInTree() const;

  // Caption and Text are one string, changed through the set-text message.
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& value) { SetText(value); }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);

  TFont& Font() { return *font_; }
  TFont* FontObject() const { return font_.get(); }
  void SetFont(TFont* font);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value) { anchors_ = value; }

  // Stored predicates: a colour or font taken from the parent is not written, nor is a form's
  // visibility (forms start hidden).
  bool IsColorStored() const;
  bool IsFontStored() const;
  virtual bool IsVisibleStored() const { return true; }

  std::uint32_t ControlStyle() const { return controlStyle_; }
  void SetControlStyle(std::uint32_t style) { controlStyle_ = style; }
  std::uint32_t ControlState() const { return controlState_; }
  void SetControlState(std::uint32_t state) { controlState_ = state; }

  // Dispatch by message number; Perform sends a message to this control at once.
  virtual void WndProc(TMessage& message);
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // What happens to a message no handler of the class took.
  virtual void DefaultHandler(TMessage&) {}

  // Marks the control for painting in the next loop turn.
  virtual void Invalidate();
  // Paints whatever of the control's window is invalid, now.
  virtual void Update();
  // Invalidates and paints at once.
  virtual void Repaint();
  void Refresh() { Repaint(); }

  void BringToFront();
  void SendToBack();

  // Palette negotiation: the palette the control draws with (none by default), and the request to
  // realise it into its window, in the background unless Foreground; answers whether it had one.
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual bool PaletteChanged(bool foreground);
  // A context on the control's window, with the control's origin and clip, and the window it
  // belongs to; ReleaseDC(window, dc) gives it back.
  HDC GetDeviceContext(HWND& window) const;
  // The top-level window's surface, made when first needed.
  virtual HWND GetWindowHandle() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  // Whether the control is painted in the top-level window; graphic controls paint on their parent.
  virtual bool IsWindowed() const { return false; }
  void Loaded() override;

 protected:
  friend class TWinControl;
  friend class TApplication;

  // Called after the bounds changed, with the size before.
  virtual void BoundsChanged(int oldWidth, int oldHeight);
  bool destroying_ = false;

  // Paints the control on Canvas (already clipped and at the control's origin).
  virtual void Paint() {}
  virtual TCanvas* PaintCanvas() { return nullptr; }
  virtual void Resize() {}
  void Changed();  // a property that changes the look: Invalidate

  // Message handlers; each runs the default behaviour, so overrides call the inherited one.
  virtual void WMMouse(TMessage& message);
  virtual void WMLButtonDblClk(TMessage& message);
  virtual void CMMouseEnter(TMessage& message);
  virtual void CMMouseLeave(TMessage& message);
  virtual void CMEnabledChanged(TMessage& message);
  virtual void CMVisibleChanged(TMessage& message);
  virtual void CMTextChanged(TMessage& message);
  virtual void CMFontChanged(TMessage& message);
  virtual void CMColorChanged(TMessage& message);
  virtual void CMParentFontChanged(TMessage& message);
  virtual void CMParentColorChanged(TMessage& message);
  virtual void CMSysColorChange(TMessage&) {}
  virtual void CMDialogChar(TMessage&) {}
  virtual void CMDialogKey(TMessage&) {}
  virtual void CMButtonPressed(TMessage&) {}
  virtual void WMTimer(TMessage&) {}

 private:
  void DoSetBounds(int left, int top, int width, int height);
  void FontChanged(TPersistent*);
  void InvalidateArea(RECT area);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  std::unique_ptr<TFont> font_;
  TColor color_ = clWindow;
  bool parentFont_ = true;
  bool parentColor_ = false;
  bool parentShowHint_ = true;
  bool showHint_ = false;
  bool applyingParentFont_ = false;
  std::string hint_;
  TCursor cursor_ = TCursor::Default;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  std::uint32_t controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  std::uint32_t controlState_ = 0;
};

// A windowless control: painted on its parent's canvas in z-order, clipped to its bounds.
class TGraphicControl : public TControl {
  VANTORA_PERSISTENT(TGraphicControl)

  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TControlCanvas& Canvas() { return *canvas_; }

 protected:
  TCanvas* PaintCanvas() override { return canvas_.get(); }

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

class TWinControl : public TControl {
  VANTORA_PERSISTENT(TWinControl)

  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  // The native window surface of the top-level window (made when first asked for).
  HWND Handle() const { return GetWindowHandle(); }
  HWND GetWindowHandle() const override;
  bool HandleAllocated() const;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  // The child under a client point (topmost first); null when none.
  TControl* ControlAtPos(POINT p, bool allowDisabled, bool allowWindowed = true) const;
  bool ContainsControl(const TControl* control) const;
  // Sends the message to every child, stopping at the first that sets a result.
  void Broadcast(TMessage& message);
  void GetChildren(const std::function<void(TComponent*)>& proc, const TComponent* root) const override;

  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The next (or previous) tab stop after Current among this control's descendants, wrapping.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const;
  void SelectNext(TWinControl* current, bool forward);

  // Lays out the aligned children inside the client area.
  void Realign();
  // Dialog keys and accelerators travel down the tree until a control takes them.
  void CMDialogKey(TMessage& message) override { Broadcast(message); }
  void CMDialogChar(TMessage& message) override { Broadcast(message); }
  bool PaletteChanged(bool foreground) override;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  virtual void KeyDown(std::uint16_t& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(std::uint16_t& key, TShiftState shift);

  void Invalidate() override;
  void Update() override;
  void Loaded() override;
  void WndProc(TMessage& message) override;

  // Top-level windows only: what needs painting, and painting it into the surface (the back
  // buffer first, then one copy per merged area). Answers the area that changed on the surface.
  bool PaintPending() const;
  RECT PaintWindow();
  // Adds an area of the top-level window's client to what the next paint covers.
  void InvalidateWindowRect(const RECT& area);
  bool NativeShown() const;
  // Notes an area of the surface that changed and must reach the screen at the end of the turn.
  void PresentArea(const RECT& area);
  // Hands what changed on the surface to the backend.
  void FlushPresent();
  // Top-level windows hear that the focus moved to one of their controls, or that one goes away.
  virtual void FocusChanged(TWinControl*) {}
  virtual void ControlDestroyed(TControl*) {}

 protected:
  friend class TControl;
  friend class TApplication;
  void BoundsChanged(int oldWidth, int oldHeight) override;
  // Top-level windows: whether the surface is shown as a native window, so paints are presented.
  void SetNativeShown(bool shown);
  // The area in which aligned children are laid out.
  virtual RECT AlignArea() const { return ClientRect(); }
  virtual void PaintBackground(HDC dc, const RECT& clip);
  // Top-level windows: drawn over the painted tree (a designer's marks), within OverlayArea.
  virtual void PaintOverlay(HDC, const RECT&) {}
  virtual RECT OverlayArea() const { return RECT{0, 0, 0, 0}; }
  void CMEnabledChanged(TMessage& message) override;
  void CMVisibleChanged(TMessage& message) override;
  virtual void CMEnter(TMessage&);
  virtual void CMExit(TMessage&);
  void CMFontChanged(TMessage& message) override;
  void CMColorChanged(TMessage& message) override;
  // A top-level window that changes size resizes its surface.
  virtual void TopLevelResized();

 private:
  struct WindowState;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // Where a control placed or raised goes in the z-order: on top, yet below an open drop-down.
  std::vector<TControl*>::iterator ZOrderTop();
  void AnchorChildren(int oldWidth, int oldHeight);
  void PaintTree(HDC dc, POINT origin, const RECT& clip);
  void PaintControl(TControl& control, HDC dc, POINT origin, const RECT& clip);
  WindowState& Window() const;
  void CollectTabStops(std::vector<TWinControl*>& list) const;

  std::vector<TControl*> controls_;  // z-order, bottom first; freed with this control
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  bool aligning_ = false;
  mutable std::unique_ptr<WindowState> window_;
};

// A windowed control with a canvas of its own, for controls that paint themselves.
class TCustomControl : public TWinControl {
  VANTORA_PERSISTENT(TCustomControl)

  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TControlCanvas& Canvas() { return *canvas_; }

 protected:
  TCanvas* PaintCanvas() override { return canvas_.get(); }

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// Whether Key (a character or virtual key) is the accelerator marked with '&' in Caption.
bool IsAccel(std::uint16_t key, const std::string& caption);

// --- The window system's state: capture, focus, the posted-message queue, timers ---

// The control that receives every mouse message until released (a pressed control keeps it).
void SetCaptureControl(TControl* control);
TControl* GetCaptureControl();
void ReleaseCapture();
HWND GetCapture();
// A drop-down window (a combo box's list), a child of Owner's top-level window that lies above all
// the others until it closes, whatever is placed or raised there meanwhile. One is open at a time.
// The window system cancels it, by WM_CANCELMODE to its owner, when the owner (or an ancestor) is
// hidden, disabled or taken out of the tree, or another window becomes the active one.
void OpenDropDown(TWinControl& dropDown, TControl& owner);
// The owner has closed it; nothing happens when it is not the open one.
void CloseDropDown(const TWinControl& dropDown);
// The control with the keyboard focus, and its window (the classic call answers a window).
TWinControl* FocusedControl();
HWND GetFocus();
// The windowed control (top-level window) behind a window surface.
TWinControl* FindControl(HWND window);
// Synchronous and queued messages to a control, or to the top-level window behind a surface.
LRESULT SendMessage(TControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
bool PostMessage(TControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
bool PostMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// WM_TIMER to Control every Interval ms of the backend's clock, until killed.
UINT_PTR SetTimer(TControl* control, UINT_PTR id, UINT interval);
bool KillTimer(TControl* control, UINT_PTR id);
// The top-level windows that exist, oldest first.
const std::vector<TWinControl*>& TopLevelWindows();

}  // namespace vantora::host
VANTORA_API_END

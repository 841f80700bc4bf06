#include "host/forms/Controls.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <optional>
#include <unordered_set>
#include <utility>

#include "host/forms/StylePainter.h"
#include "host/forms/WindowSystem.h"

namespace vantora::host {

namespace {

RECT Offset(RECT r, POINT by) {
  OffsetRect(&r, by.x, by.y);
  return r;
}

RECT Intersection(const RECT& a, const RECT& b) {
  RECT r{};
  IntersectRect(&r, &a, &b);
  return r;
}

bool Touch(const RECT& a, const RECT& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// More separate areas than this are painted as their union.
constexpr std::size_t kMaxInvalidAreas = 16;

}  // namespace

const TEnumInfo& TypeInfoOf(TAlign) {
  static const TEnumInfo info{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
  return info;
}

const TEnumInfo& TypeInfoOf(TAnchorKind) {
  static const TEnumInfo info{"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}};
  return info;
}

const TEnumInfo& TypeInfoOf(TCursor) {
  static const TEnumInfo info{"TCursor",
                              {"crDefault", "crArrow", "crHourGlass", "crIBeam", "crHandPoint", "crSizeWE",
                               "crSizeNS", "crSizeAll", "crCross", "crNo"}};
  return info;
}

const TEnumInfo& TypeInfoOf(TFormBorderStyle) {
  static const TEnumInfo info{"TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog"}};
  return info;
}

bool IsAccel(std::uint16_t key, const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(key & 0xFF) && key < 256;
  }
  return false;
}

// ---- TControlCanvas

TControlCanvas::~TControlCanvas() {
  FreeHandle();
}

void TControlCanvas::CreateHandle() {
  HWND window = nullptr;
  ownDc_ = control_.GetDeviceContext(window);
  if (!ownDc_) return;
  SetHandle(ownDc_);
  windowing::Current().canvasesWithDc.push_back(this);
  // Drawing straight onto the surface outside a paint still has to reach the screen.
  if (auto* top = control_.TopLevel()) top->PresentArea(control_.VisibleArea());
}

void TControlCanvas::FreeHandle() {
  if (!ownDc_) return;
  SetHandle(nullptr);
  ReleaseDC(nullptr, ownDc_);
  ownDc_ = nullptr;
  std::erase(windowing::Current().canvasesWithDc, this);
}

void TControlCanvas::TextOut(int x, int y, const std::string& text) {
  HDC dc = Handle();
  SavedDC saved(dc);
  SelectObject(dc, font_.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(font_.Color()));
  TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

SIZE TControlCanvas::TextExtent(const std::string& text) {
  HDC dc = Handle();
  SavedDC saved(dc);
  SelectObject(dc, font_.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

// ---- TControl

const TClass& TControl::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TControl>("TControl", TComponent::StaticClass())
          .Property("Left", &TControl::Left, &TControl::SetLeft, NoDefault)
          .Property("Top", &TControl::Top, &TControl::SetTop, NoDefault)
          .Property("Width", &TControl::Width, &TControl::SetWidth, NoDefault)
          .Property("Height", &TControl::Height, &TControl::SetHeight, NoDefault)
          .Property("Align", &TControl::Align, &TControl::SetAlign, alNone)
          .Property("Anchors", &TControl::Anchors, &TControl::SetAnchors, TAnchors{akLeft, akTop})
          .Property("Caption", &TControl::Caption, &TControl::SetCaption)
          .Property("Color", &TControl::Color, &TControl::SetColor, clWindow)
          .AsColor()
          .Stored(&TControl::IsColorStored)
          .Property("Cursor", &TControl::Cursor, &TControl::SetCursor, TCursor::Default)
          .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
          .Property("Font", &TControl::FontObject, &TControl::SetFont)
          .Stored(&TControl::IsFontStored)
          .Property("Hint", &TControl::Hint, &TControl::SetHint)
          .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
          .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
          .Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
          .Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
          .Property("Visible", &TControl::Visible, &TControl::SetVisible, true)
          .Stored(&TControl::IsVisibleStored)
          .Method("OnClick")
          .Method("OnDblClick")
          .Method("OnMouseDown")
          .Method("OnMouseMove")
          .Method("OnMouseUp")
          .Method("OnMouseEnter")
          .Method("OnMouseLeave")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TControl);

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TPersistent* sender) { FontChanged(sender); };
  windowing::Register(this);
}

TControl::~TControl() {
  destroying_ = true;
  if (parent_) parent_->RemoveControl(this);
  windowing::Forget(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EComponentError("A control cannot have itself as its parent");
  if (auto* windowed = dynamic_cast<TWinControl*>(this);
      windowed && parent && windowed->ContainsControl(parent))
    throw EComponentError("A control cannot be the parent of its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  auto* windowed = dynamic_cast<TWinControl*>(parent);
  if (!windowed)
    throw EComponentError((parent ? parent->ClassName() : std::string("nil")) + " cannot hold the control " +
                          Name());
  SetParent(windowed);
}

TComponent* TControl::GetParentComponent() const {
  return parent_;
}

TWinControl* TControl::TopLevel() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return c->IsWindowed() ? static_cast<TWinControl*>(const_cast<TControl*>(c)) : nullptr;
}

POINT TControl::OriginInTopLevel() const {
  POINT p{0, 0};
  for (const TControl* c = this; c->parent_; c = c->parent_) {
    p.x += c->left_;
    p.y += c->top_;
  }
  return p;
}

RECT TControl::VisibleArea() const {
  const POINT origin = OriginInTopLevel();
  RECT area = Offset(ClientRect(), origin);
  for (const TControl* c = parent_; c; c = c->parent_)
    area = Intersection(area, Offset(c->ClientRect(), c->OriginInTopLevel()));
  return area;
}

POINT TControl::ClientToScreen(POINT p) const {
  const POINT origin = OriginInTopLevel();
  const TControl* top = this;
  while (top->parent_) top = top->parent_;
  return POINT{p.x + origin.x + top->left_, p.y + origin.y + top->top_};
}

POINT TControl::ScreenToClient(POINT p) const {
  const POINT zero = ClientToScreen(POINT{0, 0});
  return POINT{p.x - zero.x, p.y - zero.y};
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  const int oldWidth = width_, oldHeight = height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  BoundsChanged(oldWidth, oldHeight);
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::BoundsChanged(int oldWidth, int oldHeight) {
  if (width_ != oldWidth || height_ != oldHeight) Resize();
}

bool TControl::IsShowing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

bool TControl::IsEnabledInTree() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  if (!value) windowing::CancelDropDownWithin(*this);
  if (!value) Invalidate();
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0);
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  if (!value) windowing::CancelDropDownWithin(*this);
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& value) {
  if (value == text_) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void TControl::SetFont(TFont* font) {
  if (font) font_->Assign(font);
}

void TControl::FontChanged(TPersistent*) {
  if (!applyingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetColor(TColor value) {
  parentColor_ = false;
  if (value == color_) return;
  color_ = value;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) {
  parentShowHint_ = value;
  if (value && parent_) showHint_ = parent_->showHint_;
}

void TControl::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  if (parent_) parent_->Realign();
}

bool TControl::IsColorStored() const {
  return !parentColor_;
}

bool TControl::IsFontStored() const {
  return !parentFont_;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::SetName(const std::string& name) {
  // A control read from a stream keeps the caption stored with it, even an empty one.
  const bool follows =
      IsDesigning() && !IsLoading() && (controlStyle_ & csSetCaption) && (text_.empty() || text_ == Name());
  TComponent::SetName(name);
  if (follows) SetText(name);
}

void TControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SETTEXT:
      text_ = message.LParam ? reinterpret_cast<const char*>(message.LParam) : "";
      Perform(CM_TEXTCHANGED);
      message.Result = 1;
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      WMMouse(message);
      return;
    case WM_LBUTTONDBLCLK:
      WMLButtonDblClk(message);
      return;
    case WM_TIMER:
      WMTimer(message);
      return;
    case CM_MOUSEENTER:
      CMMouseEnter(message);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(message);
      return;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(message);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(message);
      return;
    case CM_TEXTCHANGED:
      CMTextChanged(message);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(message);
      return;
    case CM_COLORCHANGED:
      CMColorChanged(message);
      return;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(message);
      return;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(message);
      return;
    case CM_SYSCOLORCHANGE:
      CMSysColorChange(message);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(message);
      return;
    case CM_DIALOGKEY:
      CMDialogKey(message);
      return;
    case CM_BUTTONPRESSED:
      CMButtonPressed(message);
      return;
    default:
      DefaultHandler(message);
  }
}

void TControl::WMMouse(TMessage& message) {
  const POINT p = LParamToPoint(message.LParam);
  const auto shift = static_cast<TShiftState>(message.WParam);
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, p.x, p.y);
      return;
    case WM_LBUTTONDOWN:
      if (controlStyle_ & csCaptureMouse) SetCaptureControl(this);
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      controlState_ |= csLButtonDown;
      MouseDown(TMouseButton::Left, shift, p.x, p.y);
      return;
    case WM_LBUTTONUP: {
      controlState_ &= ~csLButtonDown;
      if (GetCaptureControl() == this) ReleaseCapture();
      if (controlState_ & csClicked) {
        controlState_ &= ~csClicked;
        const RECT client = ClientRect();
        if (PtInRect(&client, p)) {
          Click();
          // The handler may have freed this control.
          if (!windowing::IsAlive(this)) return;
        }
      }
      MouseUp(TMouseButton::Left, shift, p.x, p.y);
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::Right, shift, p.x, p.y);
      return;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::Right, shift, p.x, p.y);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::Middle, shift, p.x, p.y);
      return;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::Middle, shift, p.x, p.y);
      return;
    default:
      return;
  }
}

void TControl::WMLButtonDblClk(TMessage& message) {
  if (!(controlStyle_ & csDoubleClicks)) {
    message.Msg = WM_LBUTTONDOWN;
    WMMouse(message);
    return;
  }
  if (controlStyle_ & csCaptureMouse) SetCaptureControl(this);
  controlState_ |= csLButtonDown;
  if (controlStyle_ & csClickEvents) {
    DblClick();
    if (!windowing::IsAlive(this)) return;
  }
  const POINT p = LParamToPoint(message.LParam);
  MouseDown(TMouseButton::Left, static_cast<TShiftState>(message.WParam), p.x, p.y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::CMMouseEnter(TMessage&) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMEnabledChanged(TMessage&) {
  Invalidate();
}

void TControl::CMVisibleChanged(TMessage&) {
  Invalidate();
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::CMTextChanged(TMessage&) {
  Invalidate();
}

void TControl::CMFontChanged(TMessage&) {
  Invalidate();
}

void TControl::CMColorChanged(TMessage&) {
  Invalidate();
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!parentFont_ || !parent_) return;
  applyingParentFont_ = true;
  font_->Assign(parent_->FontObject());
  applyingParentFont_ = false;
}

void TControl::CMParentColorChanged(TMessage&) {
  if (!parentColor_ || !parent_ || color_ == parent_->color_) return;
  color_ = parent_->color_;
  Perform(CM_COLORCHANGED);
}

void TControl::Changed() {
  Invalidate();
}

void TControl::Invalidate() {
  if (destroying_ || !IsShowing()) return;
  TWinControl* top = TopLevel();
  if (!top || top->destroying_) return;
  top->InvalidateWindowRect(VisibleArea());
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  std::erase(list, this);
  list.insert(parent_->ZOrderTop(), this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  std::erase(list, this);
  list.insert(list.begin(), this);
  Invalidate();
}

HWND TControl::GetWindowHandle() const {
  TWinControl* top = TopLevel();
  return top ? top->GetWindowHandle() : nullptr;
}

HDC TControl::GetDeviceContext(HWND& window) const {
  window = GetWindowHandle();
  if (!window) return nullptr;
  HDC dc = GetDC(window);
  if (!dc) return nullptr;
  const POINT origin = OriginInTopLevel();
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  const RECT clip = Offset(VisibleArea(), POINT{-origin.x, -origin.y});
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  return dc;
}

bool TControl::PaletteChanged(bool foreground) {
  if (!IsShowing()) return false;
  HPALETTE palette = GetPalette();
  if (!palette) return false;
  HWND window = nullptr;
  HDC dc = GetDeviceContext(window);
  if (!dc) return false;
  HPALETTE previous = SelectPalette(dc, palette, foreground ? FALSE : TRUE);
  const UINT changed = RealizePalette(dc);
  if (previous) SelectPalette(dc, previous, TRUE);
  ReleaseDC(window, dc);
  if (changed != 0 && changed != GDI_ERROR) Invalidate();
  return true;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_) {
    if (parentFont_) Perform(CM_PARENTFONTCHANGED);
    if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
  }
}

// ---- TGraphicControl

const TClass& TGraphicControl::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TGraphicControl>("TGraphicControl", TControl::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TGraphicControl);

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>(*this)) {}

TGraphicControl::~TGraphicControl() = default;

// ---- TWinControl

struct TWinControl::WindowState {
  HWND surface = nullptr;
  Owned<HBITMAP> buffer;  // declared before the context, so it outlives its selection
  Owned<HDC> bufferDc;
  std::optional<SelectGuard> bufferSelected;
  int bufferWidth = 0, bufferHeight = 0;
  std::vector<RECT> invalid;
  RECT toPresent{0, 0, 0, 0};
  RECT overlayShown{0, 0, 0, 0};  // where the overlay was painted last
  bool painting = false;
  bool native = false;

  WindowState() = default;
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;
  ~WindowState() {
    if (surface) DestroyWindowSurface(surface);
  }
  // The back buffer, as large as the window.
  HDC Buffer(int width, int height) {
    if (!bufferDc) bufferDc.reset(CreateCompatibleDC(nullptr));
    if (width != bufferWidth || height != bufferHeight || !buffer) {
      Owned<HBITMAP> fresh(CreateBitmap(std::max(width, 1), std::max(height, 1), 1, 32, nullptr));
      bufferSelected.reset();
      bufferSelected.emplace(bufferDc, fresh.get());
      buffer = std::move(fresh);
      bufferWidth = width;
      bufferHeight = height;
    }
    return bufferDc;
  }
};

const TClass& TWinControl::StaticClass() {
  static const TClass& cls = ClassBuilder<TWinControl>("TWinControl", TControl::StaticClass())
                                 .Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
                                 .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
                                 .Method("OnEnter")
                                 .Method("OnExit")
                                 .Method("OnKeyDown")
                                 .Method("OnKeyPress")
                                 .Method("OnKeyUp")
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TWinControl);

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() | csAcceptsControls);
  windowing::Current().topLevels.push_back(this);
}

TWinControl::~TWinControl() {
  destroying_ = true;
  Destroying();
  // Children go with their parent, as windows do; each leaves its owner as it goes.
  while (!controls_.empty()) delete controls_.back();
  std::erase(windowing::Current().topLevels, this);
}

TWinControl::WindowState& TWinControl::Window() const {
  if (!window_) window_ = std::make_unique<WindowState>();
  return *window_;
}

HWND TWinControl::GetWindowHandle() const {
  if (Parent()) return TControl::GetWindowHandle();
  WindowState& window = Window();
  if (!window.surface) window.surface = CreateWindowSurface(std::max(Width(), 1), std::max(Height(), 1));
  return window.surface;
}

bool TWinControl::HandleAllocated() const {
  const TWinControl* top = TopLevel();
  return top && top->window_ && top->window_->surface;
}

void TWinControl::SetNativeShown(bool shown) {
  Window().native = shown;
}

bool TWinControl::NativeShown() const {
  return window_ && window_->native;
}

void TWinControl::PresentArea(const RECT& area) {
  if (!NativeShown()) return;
  WindowState& window = Window();
  UnionRect(&window.toPresent, &window.toPresent, &area);
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) RaiseListIndexError(index);
  return controls_[static_cast<std::size_t>(index)];
}

std::vector<TControl*>::iterator TWinControl::ZOrderTop() {
  TWinControl* dropDown = windowing::Current().dropDown;
  return dropDown ? std::find(controls_.begin(), controls_.end(), dropDown) : controls_.end();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.insert(ZOrderTop(), control);
  control->parent_ = this;
  if (control->IsWindowed()) {
    auto* windowed = static_cast<TWinControl*>(control);
    tabList_.push_back(windowed);
    std::erase(windowing::Current().topLevels, windowed);
    windowed->window_.reset();
  }
  if (control->parentFont_) control->Perform(CM_PARENTFONTCHANGED);
  if (control->parentColor_) control->Perform(CM_PARENTCOLORCHANGED);
  if (control->parentShowHint_) control->showHint_ = ShowHint();
  if (control->Align() != alNone) Realign();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (!control->destroying_) windowing::CancelDropDownWithin(*control);
  // What it covered shows what lies beneath now, also when it goes because it is being freed (a
  // control no longer invalidates itself then).
  if (TWinControl* top = TopLevel(); top && !top->destroying_ && control->IsShowing())
    top->InvalidateWindowRect(control->VisibleArea());
  if (TWinControl* top = TopLevel()) top->ControlDestroyed(control);
  EraseFromEnd(controls_, control);
  control->parent_ = nullptr;
  // A control being destroyed answers IsWindowed as the base class it has become by now, so the
  // tab list is searched by address.
  EraseFromEnd(tabList_, control);
  if (!control->destroying_ && control->IsWindowed())
    windowing::Current().topLevels.push_back(static_cast<TWinControl*>(control));
  if (control->Align() != alNone && !destroying_) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWindowed) const {
  auto hit = [&](const TControl* c) {
    const RECT bounds = c->BoundsRect();
    return c->Visible() && (allowDisabled || c->Enabled()) && PtInRect(&bounds, p);
  };
  // Windowed children lie above every graphic child.
  if (allowWindowed)
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
      if ((*it)->IsWindowed() && hit(*it)) return *it;
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (!(*it)->IsWindowed() && hit(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  const std::vector<TControl*> snapshot = controls_;
  for (TControl* c : snapshot) {
    if (!windowing::IsAlive(c)) continue;
    c->WndProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, const TComponent* root) const {
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->tabList_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!Parent()) return;
  auto& list = Parent()->tabList_;
  // A form being read gives each control the place it was just added at, the last.
  EraseFromEnd(list, this);
  const auto index = static_cast<std::size_t>(std::clamp(value, 0, static_cast<int>(list.size())));
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), this);
}

bool TWinControl::CanFocus() const {
  return IsShowing() && IsEnabledInTree();
}

bool TWinControl::Focused() const {
  return windowing::Current().focus == this;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  windowing::ActivateWindow(TopLevel());
  windowing::ChangeFocus(this);
}

void TWinControl::CollectTabStops(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->CollectTabStops(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const {
  std::vector<TWinControl*> list;
  CollectTabStops(list);
  if (list.empty()) return nullptr;
  const auto n = static_cast<std::ptrdiff_t>(list.size());
  auto at = std::find(list.begin(), list.end(), current);
  std::ptrdiff_t index = at == list.end() ? (forward ? -1 : n) : at - list.begin();
  for (std::ptrdiff_t step = 0; step < n; ++step) {
    index = ((forward ? index + 1 : index - 1) % n + n) % n;
    TWinControl* c = list[static_cast<std::size_t>(index)];
    if (c == current) break;
    if (c->CanFocus() && (!checkTabStop || c->TabStop())) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward) {
  if (TWinControl* next = FindNextControl(current, forward, true)) next->SetFocus();
}

void TWinControl::Realign() {
  if (aligning_ || destroying_ || IsLoading()) return;
  aligning_ = true;
  RECT area = AlignArea();
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != align || !c->Visible()) continue;
      const int w = area.right - area.left, h = area.bottom - area.top;
      switch (align) {
        case alTop:
          c->SetBounds(area.left, area.top, w, c->Height());
          area.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(area.left, area.bottom - c->Height(), w, c->Height());
          area.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(area.left, area.top, c->Width(), h);
          area.left += c->Width();
          break;
        case alRight:
          c->SetBounds(area.right - c->Width(), area.top, c->Width(), h);
          area.right -= c->Width();
          break;
        case alClient:
          c->SetBounds(area.left, area.top, w, h);
          break;
        case alNone:
          break;
      }
    }
  }
  aligning_ = false;
}

void TWinControl::AnchorChildren(int oldWidth, int oldHeight) {
  const int dx = Width() - oldWidth, dy = Height() - oldHeight;
  for (TControl* c : controls_) {
    if (c->Align() != alNone) continue;
    const TAnchors a = c->Anchors();
    RECT r = c->BoundsRect();
    const auto adjust = [](LONG& low, LONG& high, bool lowAnchor, bool highAnchor, int delta) {
      if (highAnchor && lowAnchor)
        high += delta;
      else if (highAnchor) {
        low += delta;
        high += delta;
      } else if (!lowAnchor) {
        low += delta / 2;
        high += delta / 2;
      }
    };
    adjust(r.left, r.right, a.Contains(akLeft), a.Contains(akRight), dx);
    adjust(r.top, r.bottom, a.Contains(akTop), a.Contains(akBottom), dy);
    c->SetBoundsRect(r);
  }
}

void TWinControl::BoundsChanged(int oldWidth, int oldHeight) {
  if (Width() == oldWidth && Height() == oldHeight) return;
  if (!Parent()) TopLevelResized();
  if (!IsLoading()) AnchorChildren(oldWidth, oldHeight);
  Realign();
  Perform(WM_SIZE, 0, PointToLParam(Width(), Height()));
  Resize();
}

void TWinControl::TopLevelResized() {
  if (window_ && window_->surface) {
    ResizeWindowSurface(window_->surface, std::max(Width(), 1), std::max(Height(), 1));
    InvalidateWindowRect(ClientRect());
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      auto key = static_cast<std::uint16_t>(message.WParam);
      const auto shift = static_cast<TShiftState>(message.LParam);
      if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN)
        KeyDown(key, shift);
      else
        KeyUp(key, shift);
      message.Result = key;
      return;
    }
    case WM_CHAR: {
      char key = static_cast<char>(message.WParam);
      KeyPress(key);
      message.Result = static_cast<unsigned char>(key);
      return;
    }
    case CM_ENTER:
      CMEnter(message);
      return;
    case CM_EXIT:
      CMExit(message);
      return;
    default:
      TControl::WndProc(message);
  }
}

void TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(std::uint16_t& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::CMEnter(TMessage&) {
  if (OnEnter) OnEnter(this);
}

void TWinControl::CMExit(TMessage&) {
  if (OnExit) OnExit(this);
}

void TWinControl::CMEnabledChanged(TMessage& message) {
  if (!Enabled() && ContainsControl(windowing::Current().focus)) windowing::ChangeFocus(nullptr);
  TControl::CMEnabledChanged(message);
}

void TWinControl::CMVisibleChanged(TMessage& message) {
  if (!Visible() && ContainsControl(windowing::Current().focus)) windowing::ChangeFocus(nullptr);
  TControl::CMVisibleChanged(message);
}

void TWinControl::CMFontChanged(TMessage& message) {
  TControl::CMFontChanged(message);
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& message) {
  TControl::CMColorChanged(message);
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
}

bool TWinControl::PaletteChanged(bool foreground) {
  if (!IsShowing()) return false;
  bool result = TControl::PaletteChanged(foreground);
  // In the foreground only one palette can win; the topmost control that has one realises it.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if (foreground && result) break;
    result = (*it)->PaletteChanged(foreground) || result;
  }
  return result;
}

void TWinControl::Invalidate() {
  TControl::Invalidate();
}

void TWinControl::Update() {
  TWinControl* top = TopLevel();
  if (!top || !top->PaintPending()) return;
  top->PresentArea(top->PaintWindow());
  top->FlushPresent();
}

void TWinControl::FlushPresent() {
  if (!window_ || IsRectEmpty(&window_->toPresent)) return;
  const RECT area = std::exchange(window_->toPresent, RECT{0, 0, 0, 0});
  if (TBackend* backend = windowing::Current().backend) backend->Present(window_->surface, area);
}

void TWinControl::InvalidateWindowRect(const RECT& area) {
  RECT r = Intersection(area, ClientRect());
  if (IsRectEmpty(&r)) return;
  auto& invalid = Window().invalid;
  // Merge with every area it touches, repeatedly, so the list stays disjoint.
  for (bool merged = true; merged;) {
    merged = false;
    for (auto it = invalid.begin(); it != invalid.end(); ++it) {
      if (!Touch(*it, r)) continue;
      UnionRect(&r, &r, &*it);
      invalid.erase(it);
      merged = true;
      break;
    }
  }
  invalid.push_back(r);
  if (invalid.size() > kMaxInvalidAreas) {
    RECT all = invalid.front();
    for (const RECT& a : invalid) UnionRect(&all, &all, &a);
    invalid.assign(1, all);
  }
}

bool TWinControl::PaintPending() const {
  return window_ && (!window_->invalid.empty() || !IsRectEmpty(&window_->toPresent));
}

RECT TWinControl::PaintWindow() {
  WindowState& window = Window();
  if (window.painting || window.invalid.empty()) return RECT{0, 0, 0, 0};
  // An overlay that moved, as marks do when the control they surround is resized in code, leaves
  // its old place to be painted again along with its new one.
  if (const RECT overlay = OverlayArea(); !EqualRect(&overlay, &window.overlayShown)) {
    InvalidateWindowRect(window.overlayShown);
    InvalidateWindowRect(overlay);
    window.overlayShown = overlay;
  }
  // Areas invalidated while painting wait for the next turn; a nested loop paints nothing twice.
  const std::vector<RECT> areas = std::move(window.invalid);
  window.invalid.clear();
  window.painting = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{window.painting};
  HWND surface = GetWindowHandle();
  HDC buffer = window.Buffer(Width(), Height());
  HDC screen = GetDC(surface);
  RECT dirty{0, 0, 0, 0};
  std::exception_ptr failure;
  for (const RECT& area : areas) {
    try {
      PaintTree(buffer, POINT{0, 0}, area);
      PaintOverlay(buffer, area);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
    BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer, area.left,
           area.top, SRCCOPY);
    UnionRect(&dirty, &dirty, &area);
  }
  ReleaseDC(surface, screen);
  if (failure) {
    PresentArea(dirty);
    FlushPresent();
    std::rethrow_exception(failure);
  }
  return dirty;
}

void TWinControl::PaintBackground(HDC dc, const RECT& clip) {
  if (!(ControlStyle() & csOpaque)) StylePainter::Fill(dc, clip, Color());
}

void TWinControl::PaintControl(TControl& control, HDC dc, POINT origin, const RECT& clip) {
  SavedDC saved(dc);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  const RECT local = Offset(clip, POINT{-origin.x, -origin.y});
  IntersectClipRect(dc, local.left, local.top, local.right, local.bottom);
  if (&control == this) PaintBackground(dc, local);
  TCanvas* canvas = control.PaintCanvas();
  if (!canvas) return;
  if (auto* own = dynamic_cast<TControlCanvas*>(canvas)) own->FreeHandle();
  canvas->SetHandle(dc);
  control.controlState_ |= csPainting;
  struct Finish {
    TControl& control;
    TCanvas* canvas;
    ~Finish() {
      canvas->SetHandle(nullptr);
      control.controlState_ &= ~csPainting;
    }
  } finish{control, canvas};
  control.Paint();
}

void TWinControl::PaintTree(HDC dc, POINT origin, const RECT& clip) {
  const RECT mine = Intersection(Offset(ClientRect(), origin), clip);
  if (IsRectEmpty(&mine)) return;
  PaintControl(*this, dc, origin, mine);
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (c->IsWindowed() || !c->Visible()) continue;
    const POINT at{origin.x + c->Left(), origin.y + c->Top()};
    const RECT area = Intersection(Offset(c->ClientRect(), at), mine);
    if (!IsRectEmpty(&area)) PaintControl(*c, dc, at, area);
  }
  for (TControl* c : children)
    if (c->IsWindowed() && c->Visible())
      static_cast<TWinControl*>(c)->PaintTree(dc, POINT{origin.x + c->Left(), origin.y + c->Top()}, mine);
}

// ---- TCustomControl

const TClass& TCustomControl::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TCustomControl>("TCustomControl", TWinControl::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TCustomControl);

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(*this)) {}

TCustomControl::~TCustomControl() = default;

// ---- The window system

void SetCaptureControl(TControl* control) {
  auto& state = windowing::Current();
  TControl* old = state.capture;
  if (old == control) return;
  state.capture = control;
  if (state.backend) state.backend->SetMouseCapture(control != nullptr);
  if (old) old->Perform(WM_CAPTURECHANGED);
}

TControl* GetCaptureControl() {
  return windowing::Current().capture;
}

void ReleaseCapture() {
  SetCaptureControl(nullptr);
}

HWND GetCapture() {
  TControl* c = windowing::Current().capture;
  return c ? c->GetWindowHandle() : nullptr;
}

void OpenDropDown(TWinControl& dropDown, TControl& owner) {
  auto& state = windowing::Current();
  if (state.dropDownOwner != &owner) windowing::CancelDropDown();
  state.dropDown = &dropDown;
  state.dropDownOwner = &owner;
  dropDown.BringToFront();
}

void CloseDropDown(const TWinControl& dropDown) {
  auto& state = windowing::Current();
  if (state.dropDown != &dropDown) return;
  state.dropDown = nullptr;
  state.dropDownOwner = nullptr;
}

TWinControl* FocusedControl() {
  return windowing::Current().focus;
}

HWND GetFocus() {
  TWinControl* c = windowing::Current().focus;
  if (!c) c = windowing::Current().active;
  return c && c->HandleAllocated() ? c->Handle() : nullptr;
}

TWinControl* FindControl(HWND window) {
  if (!window) return nullptr;
  for (TWinControl* top : windowing::Current().topLevels)
    if (top->HandleAllocated() && top->Handle() == window) return top;
  return nullptr;
}

LRESULT SendMessage(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  return control ? control->Perform(msg, wParam, lParam) : 0;
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessage(FindControl(window), msg, wParam, lParam);
}

bool PostMessage(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!control) return false;
  windowing::Current().posted.push_back({control, TMessage{msg, wParam, lParam, 0}});
  return true;
}

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return PostMessage(FindControl(window), msg, wParam, lParam);
}

const std::vector<TWinControl*>& TopLevelWindows() {
  return windowing::Current().topLevels;
}

}  // namespace vantora::host

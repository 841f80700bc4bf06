#include "FormDesigner.h"

#include <algorithm>

#include "ComponentText.h"
#include "host/designer/DesignRegistry.h"
#include "host/forms/Application.h"
#include "host/forms/StylePainter.h"
#include "host/graphics/Graphics.h"

namespace vantora::studio {

namespace {

constexpr int kGrid = 4;    // placing and moving snap to it
constexpr int kHandle = 6;  // grab handles, just outside the selected control
// A component without a control is an icon with its name under it.
constexpr int kIcon = 28;
constexpr int kIconLabelWidth = 100;
constexpr int kIconLabelHeight = 14;
constexpr int kIconGap = 8;

int Snap(int v) {
  return (v >= 0 ? v + kGrid / 2 : v - kGrid / 2) / kGrid * kGrid;
}

RECT Inflated(RECT r, int by) {
  return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != 0;
}

std::int32_t PackedPoint(POINT p) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(p.y)) << 16) |
                                   static_cast<std::uint16_t>(p.x));
}

POINT UnpackedPoint(std::int32_t info) {
  const auto bits = static_cast<std::uint32_t>(info);
  return POINT{static_cast<std::int16_t>(bits & 0xFFFFu), static_cast<std::int16_t>(bits >> 16)};
}

// The icon and the name under it, from the icon's rectangle.
RECT IconArea(const RECT& icon) {
  const int middle = (icon.left + icon.right) / 2;
  return RECT{middle - kIconLabelWidth / 2, icon.top, middle + kIconLabelWidth / 2,
              icon.bottom + 2 + kIconLabelHeight};
}

// What an icon shows inside: the first letters of the class name after its prefixes.
std::string IconLetters(const host::TComponent& component) {
  std::string name = component.ClassName();
  while (name.size() > 1 && std::islower(static_cast<unsigned char>(name[0]))) name.erase(0, 1);
  if (name.size() > 1 && name[0] == 'T') name.erase(0, 1);
  for (const std::string prefix : {"Fulgo", "Qor"})
    if (name.size() > prefix.size() && name.starts_with(prefix)) name.erase(0, prefix.size());
  return name.substr(0, 3);
}

// The designed component a control belongs to: composite controls own inner controls of their own.
host::TComponent* DesignedOwner(host::TControl* control, const host::TComponent& root) {
  for (host::TControl* c = control; c; c = c->Parent())
    if (c == &root || c->Owner() == &root) return c;
  return nullptr;
}

}  // namespace

TFormDesigner::TFormDesigner(host::TCustomForm& form) : form_(form) {
  form_.SetDesigning(true);
  form_.SetDesigner(this);
  history_.Reset(TextOf(form_));
}

TFormDesigner::~TFormDesigner() {
  if (host::GetCaptureControl() == &form_) host::ReleaseCapture();
  form_.SetDesigner(nullptr);
}

void TFormDesigner::Modified() {
  modified_ = true;
  if (changing_ > 0) {
    changed_ = true;
    return;
  }
  history_.Record(TextOf(form_));
  InvalidateMarks();
  if (OnModified) OnModified();
}

void TFormDesigner::EndChange() {
  if (--changing_ > 0 || !changed_) return;
  changed_ = false;
  Modified();
}

std::vector<host::TComponent*> TFormDesigner::Selected() const {
  if (selected_.empty()) return {&form_};
  return selected_;
}

bool TFormDesigner::IsSelected(const host::TComponent& component) const {
  return std::find(selected_.begin(), selected_.end(), &component) != selected_.end();
}

std::vector<host::TControl*> TFormDesigner::SelectedControls() const {
  std::vector<host::TControl*> controls;
  for (host::TComponent* c : selected_)
    if (auto* control = dynamic_cast<host::TControl*>(c)) controls.push_back(control);
  return controls;
}

void TFormDesigner::SelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged();
}

void TFormDesigner::Select(host::TComponent* component) {
  if (!component || component == &form_) {
    SelectAll({});
    return;
  }
  SelectAll({component});
}

void TFormDesigner::SelectAll(const std::vector<host::TComponent*>& components) {
  std::vector<host::TComponent*> chosen;
  for (host::TComponent* c : components)
    if (c && c != &form_ && std::find(chosen.begin(), chosen.end(), c) == chosen.end()) chosen.push_back(c);
  if (chosen == selected_) return;
  InvalidateMarks();
  selected_ = std::move(chosen);
  InvalidateMarks();
  SelectionChanged();
}

void TFormDesigner::ToggleSelected(host::TComponent& component) {
  if (&component == &form_) return;
  std::vector<host::TComponent*> chosen = selected_;
  if (const auto at = std::find(chosen.begin(), chosen.end(), &component); at != chosen.end())
    chosen.erase(at);
  else
    chosen.push_back(&component);
  SelectAll(chosen);
}

std::string TFormDesigner::UniqueName(const host::TClass& cls) const {
  std::string base = cls.ClassName();
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base.erase(0, 1);
  for (int n = 1;; ++n) {
    std::string name = base + std::to_string(n);
    if (!form_.FindComponent(name)) return name;
  }
}

host::TComponent& TFormDesigner::Place(const host::TClass& cls, POINT p) {
  host::TComponent* component = cls.Create(&form_);
  try {
    component->SetName(UniqueName(cls));
    if (auto* control = dynamic_cast<host::TControl*>(component)) {
      host::TWinControl& parent = ContainerAt(p);
      const POINT origin = parent.OriginInTopLevel();
      control->SetParent(&parent);
      control->SetBounds(Snap(p.x - origin.x), Snap(p.y - origin.y), control->Width(), control->Height());
    } else {
      component->SetDesignInfo(PackedPoint(POINT{Snap(p.x), Snap(p.y)}));
    }
  } catch (...) {
    delete component;
    throw;
  }
  placing_ = nullptr;
  Select(component);
  Modified();
  if (OnPlaced) OnPlaced();
  return *component;
}

void TFormDesigner::DeleteSelection() {
  if (selected_.empty()) return;
  std::vector<std::string> names;
  for (host::TComponent* c : selected_) names.push_back(c->Name());
  InvalidateMarks();
  selected_.clear();
  // A container takes the controls it holds along; they were the form's components too, so each
  // is looked up again before it goes.
  for (const std::string& name : names) delete form_.FindComponent(name);
  form_.Invalidate();
  SelectionChanged();
  Modified();
}

void TFormDesigner::AlignSelection(TAlignment alignment) {
  const std::vector<host::TControl*> controls = SelectedControls();
  if (controls.size() < 2) return;
  const host::TControl& first = *controls.front();
  InvalidateMarks();
  for (host::TControl* c : controls) {
    int left = c->Left(), top = c->Top(), width = c->Width(), height = c->Height();
    switch (alignment) {
      case TAlignment::Lefts:
        left = first.Left();
        break;
      case TAlignment::Tops:
        top = first.Top();
        break;
      case TAlignment::HorizontalCentres:
        left = first.Left() + (first.Width() - width) / 2;
        break;
      case TAlignment::VerticalCentres:
        top = first.Top() + (first.Height() - height) / 2;
        break;
      case TAlignment::SameSize:
        width = first.Width();
        height = first.Height();
        break;
    }
    c->SetBounds(left, top, width, height);
  }
  Modified();
}

std::string TFormDesigner::CopySelection() const {
  std::vector<std::string> names;
  for (host::TComponent* c : selected_) names.push_back(c->Name());
  return ComponentsOf(TextOf(form_), names);
}

void TFormDesigner::CopyToClipboard() const {
  if (!selected_.empty()) host::Application->Backend().SetClipboardText(CopySelection());
}

void TFormDesigner::CutSelection() {
  if (selected_.empty()) return;
  CopyToClipboard();
  DeleteSelection();
}

void TFormDesigner::PasteFromClipboard() {
  Paste(host::Application->Backend().GetClipboardText());
}

void TFormDesigner::Paste(const std::string& components, int offset) {
  const std::string named = WithFreeNames(
      components, [this](const std::string& name) { return form_.FindComponent(name) != nullptr; });
  const std::vector<std::string> names = TopLevelNames(named);
  ReadComponentsInto(form_, named);
  form_.SetDesigning(true);
  std::vector<host::TComponent*> pasted;
  for (const std::string& name : names)
    if (host::TComponent* c = form_.FindComponent(name)) {
      if (auto* control = dynamic_cast<host::TControl*>(c); control && offset != 0)
        control->SetBounds(control->Left() + offset, control->Top() + offset, control->Width(),
                           control->Height());
      pasted.push_back(c);
    }
  SelectAll(pasted);
  Modified();
}

void TFormDesigner::Duplicate() {
  if (!selected_.empty()) Paste(CopySelection(), kGrid * 2);
}

void TFormDesigner::Undo() {
  if (auto state = history_.Undo()) Restore(*state);
}

void TFormDesigner::Redo() {
  if (auto state = history_.Redo()) Restore(*state);
}

void TFormDesigner::Restore(const std::string& text) {
  std::vector<std::string> names;
  for (host::TComponent* c : selected_) names.push_back(c->Name());
  if (host::GetCaptureControl() == &form_) host::ReleaseCapture();
  drag_ = Drag{};
  band_ = Band{};
  selected_.clear();
  // The inspector lets go of what is about to be freed.
  SelectionChanged();
  RestoreFromText(form_, text);
  form_.SetDesigning(true);
  for (const std::string& name : names)
    if (host::TComponent* c = form_.FindComponent(name)) selected_.push_back(c);
  form_.Invalidate();
  modified_ = true;
  SelectionChanged();
  if (OnModified) OnModified();
}

host::TWinControl& TFormDesigner::ContainerAt(POINT p) const {
  host::TWinControl* container = &form_;
  for (;;) {
    const POINT origin = container->OriginInTopLevel();
    auto* child = dynamic_cast<host::TWinControl*>(
        container->ControlAtPos(POINT{p.x - origin.x, p.y - origin.y}, true, true));
    if (!child || !(child->ControlStyle() & host::csAcceptsControls) || child->Owner() != &form_)
      return *container;
    container = child;
  }
}

RECT TFormDesigner::FormRect(const host::TControl& control) const {
  const POINT o = control.OriginInTopLevel();
  return RECT{o.x, o.y, o.x + control.Width(), o.y + control.Height()};
}

RECT TFormDesigner::MarkOf(const host::TComponent& component) const {
  if (component.DesignInfo() != 0) {
    const POINT p = UnpackedPoint(component.DesignInfo());
    return RECT{p.x, p.y, p.x + kIcon, p.y + kIcon};
  }
  // Never placed in a designer (a form written by hand): the first spot from the bottom-left corner where
  // it covers no control and no icon laid out before it.
  std::vector<RECT> taken;
  for (int i = 0; i < form_.ControlCount(); ++i) taken.push_back(FormRect(*form_.Controls(i)));
  for (int i = 0; i < form_.ComponentCount(); ++i) {
    const host::TComponent* c = form_.Components(i);
    if (c == &component) break;
    if (!dynamic_cast<const host::TControl*>(c)) taken.push_back(IconArea(MarkOf(*c)));
  }
  const int offset = (kIconLabelWidth - kIcon) / 2;
  const int bottom = form_.ClientHeight() - kIcon - kIconLabelHeight - kIconGap;
  for (int top = bottom; top >= kIconGap; top -= kGrid)
    for (int left = kIconGap + offset; left + kIcon + offset <= form_.ClientWidth(); left += kGrid) {
      const RECT icon{left, top, left + kIcon, top + kIcon};
      const RECT area = Inflated(IconArea(icon), 2);
      if (std::none_of(taken.begin(), taken.end(), [&area](const RECT& r) { return Overlap(r, area); }))
        return icon;
    }
  return RECT{kIconGap + offset, bottom, kIconGap + offset + kIcon, bottom + kIcon};
}

std::vector<std::pair<RECT, unsigned>> TFormDesigner::Handles() const {
  std::vector<std::pair<RECT, unsigned>> handles;
  const std::vector<host::TControl*> controls = SelectedControls();
  // One control has handles that size it; several show corner marks only.
  const bool sizing = selected_.size() == 1;
  for (const host::TControl* control : controls) {
    const RECT r = FormRect(*control);
    const int midX = (r.left + r.right - kHandle) / 2;
    const int midY = (r.top + r.bottom - kHandle) / 2;
    const int xs[] = {r.left - kHandle, midX, r.right};
    const int ys[] = {r.top - kHandle, midY, r.bottom};
    const unsigned xEdges[] = {Left, 0, Right};
    const unsigned yEdges[] = {Top, 0, Bottom};
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col)
        if ((row != 1 || col != 1) && (sizing || (row != 1 && col != 1)))
          handles.push_back({RECT{xs[col], ys[row], xs[col] + kHandle, ys[row] + kHandle},
                             sizing ? xEdges[col] | yEdges[row] : 0u});
  }
  return handles;
}

RECT TFormDesigner::Band::Rect() const {
  return RECT{std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x) + 1,
              std::max(start.y, end.y) + 1};
}

RECT TFormDesigner::MarksArea() const {
  RECT area{0, 0, 0, 0};
  auto add = [&area](const RECT& r) {
    const RECT before = area;
    UnionRect(&area, &before, &r);
  };
  for (const host::TComponent* c : selected_) {
    if (auto* control = dynamic_cast<const host::TControl*>(c))
      add(Inflated(FormRect(*control), kHandle));
    else
      add(Inflated(IconArea(MarkOf(*c)), 2));
  }
  if (band_.active) add(band_.Rect());
  return area;
}

void TFormDesigner::InvalidateMarks() {
  form_.InvalidateWindowRect(MarksArea());
}

void TFormDesigner::PaintMarks(HDC dc, const RECT& clip) {
  host::TCanvas canvas(dc);
  auto fill = [&](const RECT& r, host::TColor color) {
    RECT part;
    if (!IntersectRect(&part, &r, &clip)) return;
    canvas.Brush().SetColor(color);
    canvas.FillRect(part);
  };
  for (int i = 0; i < form_.ComponentCount(); ++i) {
    host::TComponent* c = form_.Components(i);
    if (dynamic_cast<host::TControl*>(c)) continue;
    const RECT icon = MarkOf(*c);
    RECT part;
    if (const RECT area = Inflated(IconArea(icon), 2); !IntersectRect(&part, &area, &clip)) continue;
    const int saved = host::SaveDC(dc);
    host::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    if (IsSelected(*c)) fill(Inflated(icon, 2), host::clHighlight);
    RECT face = icon;
    host::StylePainter::Fill(dc, face, host::clBtnFace);
    host::StylePainter::Bevel(dc, face, host::bvRaised, 1);
    host::TFont& font = form_.Font();
    host::StylePainter::Caption(dc, face, IconLetters(*c), font, host::taCenter, host::vaCenter, true);
    const RECT area = IconArea(icon);
    const RECT label{area.left, icon.bottom + 2, area.right, area.bottom};
    host::StylePainter::Caption(dc, label, c->Name(), font, host::taCenter, host::vaTop, true);
    host::RestoreDC(dc, saved);
  }
  const host::TColor handleColor = selected_.size() == 1 ? host::clHighlight : host::clBtnShadow;
  for (const auto& [handle, edges] : Handles()) fill(handle, handleColor);
  if (band_.active) {
    // The band's outline, one pixel wide.
    const RECT r = band_.Rect();
    for (const RECT& side :
         {RECT{r.left, r.top, r.right, r.top + 1}, RECT{r.left, r.bottom - 1, r.right, r.bottom},
          RECT{r.left, r.top, r.left + 1, r.bottom}, RECT{r.right - 1, r.top, r.right, r.bottom}})
      fill(side, host::clHighlight);
  }
}

host::TComponent* TFormDesigner::ComponentAt(host::TControl& sender, POINT p) const {
  // Icons lie over the controls, so they are hit first.
  for (int i = form_.ComponentCount() - 1; i >= 0; --i) {
    host::TComponent* c = form_.Components(i);
    if (dynamic_cast<host::TControl*>(c)) continue;
    if (const RECT area = IconArea(MarkOf(*c)); PtInRect(&area, p)) return c;
  }
  return DesignedOwner(&sender, form_);
}

bool TFormDesigner::IsDesignMsg(host::TControl& sender, host::TMessage& message) {
  switch (message.Msg) {
    case host::WM_KEYDOWN:
      KeyMessage(static_cast<std::uint16_t>(message.WParam), static_cast<host::TShiftState>(message.LParam));
      return true;
    case host::WM_KEYUP:
    case host::WM_CHAR:
      return true;
    default:
      return MouseMessage(sender, message);
  }
}

bool TFormDesigner::MouseMessage(host::TControl& sender, const host::TMessage& message) {
  const POINT local = host::LParamToPoint(message.LParam);
  const POINT origin = sender.OriginInTopLevel();
  const POINT p{local.x + origin.x, local.y + origin.y};
  const bool shift = (static_cast<host::TShiftState>(message.WParam) & host::ssShift) != 0;
  switch (message.Msg) {
    case host::WM_LBUTTONDOWN: {
      if (placing_) {
        Place(*placing_, p);
        return true;
      }
      if (!shift)
        for (const auto& [handle, edges] : Handles())
          if (const RECT grip = Inflated(handle, 1); edges != 0 && PtInRect(&grip, p)) {
            StartDrag(*selected_.front(), edges, p);
            return true;
          }
      host::TComponent* hit = ComponentAt(sender, p);
      if (hit == &form_) {
        // A band drawn on the form selects what it touches.
        if (!shift) Select(&form_);
        band_ = Band{true, shift, p, p};
        host::SetCaptureControl(&form_);
        return true;
      }
      if (shift) {
        ToggleSelected(*hit);
        return true;
      }
      // A click inside the selection keeps it, so that the whole of it can be dragged.
      if (!IsSelected(*hit)) Select(hit);
      StartDrag(*hit, 0, p);
      return true;
    }
    case host::WM_MOUSEMOVE:
      if (drag_.control) {
        Track(p);
      } else if (band_.active) {
        InvalidateMarks();
        band_.end = p;
        InvalidateMarks();
      }
      return true;
    case host::WM_LBUTTONUP: {
      const bool moved = drag_.control && drag_.moved;
      drag_ = Drag{};
      if (band_.active) {
        band_.end = p;
        EndBand();
      }
      if (host::GetCaptureControl() == &form_) host::ReleaseCapture();
      if (moved) Modified();
      return true;
    }
    case host::WM_LBUTTONDBLCLK: {
      host::TComponent* hit = ComponentAt(sender, p);
      Select(hit);
      if (hit != &form_) host::GetComponentEditor(*hit, *this)->Edit();
      return true;
    }
    case host::WM_RBUTTONDOWN: {
      host::TComponent* hit = ComponentAt(sender, p);
      if (!IsSelected(*hit)) Select(hit);
      if (OnContextMenu) OnContextMenu(*hit, form_.ClientToScreen(p));
      return true;
    }
    default:
      // Every other mouse message is the designer's too: designed controls never react.
      return message.Msg >= host::WM_MOUSEMOVE && message.Msg <= host::WM_MBUTTONDBLCLK;
  }
}

void TFormDesigner::StartDrag(host::TComponent& grabbed, unsigned edges, POINT p) {
  drag_ = Drag{&grabbed, edges, p, {}, false};
  auto add = [this](host::TComponent& c) {
    if (auto* control = dynamic_cast<host::TControl*>(&c))
      drag_.bounds.push_back({&c, control->BoundsRect()});
    else
      drag_.bounds.push_back({&c, MarkOf(c)});
  };
  // The grabbed one first: it snaps to the grid, the others keep their places beside it.
  add(grabbed);
  if (edges == 0)
    for (host::TComponent* c : selected_)
      if (c != &grabbed) add(*c);
  host::SetCaptureControl(&form_);
}

void TFormDesigner::MoveTo(host::TComponent& component, const RECT& r) {
  if (auto* control = dynamic_cast<host::TControl*>(&component))
    control->SetBoundsRect(r);
  else
    component.SetDesignInfo(PackedPoint(POINT{r.left, r.top}));
}

void TFormDesigner::EndBand() {
  const RECT band = band_.Rect();
  std::vector<host::TComponent*> chosen = band_.adding ? selected_ : std::vector<host::TComponent*>{};
  InvalidateMarks();
  band_ = Band{};
  // The controls on the form itself, as a band drawn on a container's background selects.
  for (int i = 0; i < form_.ControlCount(); ++i) {
    host::TControl* c = form_.Controls(i);
    const RECT r = FormRect(*c);
    RECT common;
    if (c->Owner() == &form_ && IntersectRect(&common, &r, &band) && !IsSelected(*c)) chosen.push_back(c);
  }
  for (int i = 0; i < form_.ComponentCount(); ++i) {
    host::TComponent* c = form_.Components(i);
    if (!dynamic_cast<host::TControl*>(c) && Overlap(MarkOf(*c), band) && !IsSelected(*c))
      chosen.push_back(c);
  }
  form_.InvalidateWindowRect(band);
  SelectAll(chosen);
}

void TFormDesigner::Track(POINT p) {
  const int dx = p.x - drag_.start.x;
  const int dy = p.y - drag_.start.y;
  if (!drag_.moved && std::abs(dx) < 2 && std::abs(dy) < 2) return;
  InvalidateMarks();
  if (drag_.edges == 0) {
    // The grabbed control snaps to the grid; the others keep their places beside it.
    const RECT& grabbed = drag_.bounds.front().second;
    const int sx = Snap(grabbed.left + dx) - grabbed.left;
    const int sy = Snap(grabbed.top + dy) - grabbed.top;
    for (auto& [component, r] : drag_.bounds)
      MoveTo(*component, RECT{r.left + sx, r.top + sy, r.right + sx, r.bottom + sy});
  } else {
    RECT r = drag_.bounds.front().second;
    if (drag_.edges & Left) r.left = std::min(Snap(r.left + dx), r.right - 1);
    if (drag_.edges & Right) r.right = std::max(Snap(r.right + dx), r.left + 1);
    if (drag_.edges & Top) r.top = std::min(Snap(r.top + dy), r.bottom - 1);
    if (drag_.edges & Bottom) r.bottom = std::max(Snap(r.bottom + dy), r.top + 1);
    MoveTo(*drag_.control, r);
  }
  drag_.moved = true;
  InvalidateMarks();
}

void TFormDesigner::Nudge(int dx, int dy, bool resize) {
  if (selected_.empty()) return;
  InvalidateMarks();
  for (host::TComponent* c : selected_) {
    auto* control = dynamic_cast<host::TControl*>(c);
    if (control && resize)
      control->SetBounds(control->Left(), control->Top(), std::max(1, control->Width() + dx),
                         std::max(1, control->Height() + dy));
    else if (control)
      control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
    else if (!resize) {
      RECT icon = MarkOf(*c);
      OffsetRect(&icon, dx, dy);
      MoveTo(*c, icon);
    }
  }
  InvalidateMarks();
  Modified();
}

bool TFormDesigner::KeyCommand(std::uint16_t key, host::TShiftState shift) {
  if (!(shift & host::ssCtrl)) return false;
  switch (key) {
    case 'Z':
      if (shift & host::ssShift)
        Redo();
      else
        Undo();
      return true;
    case 'Y':
      Redo();
      return true;
    case 'C':
      CopyToClipboard();
      return true;
    case 'X':
      CutSelection();
      return true;
    case 'V':
      PasteFromClipboard();
      return true;
    case 'D':
      Duplicate();
      return true;
    default:
      return false;
  }
}

void TFormDesigner::KeyMessage(std::uint16_t key, host::TShiftState shift) {
  if (KeyCommand(key, shift)) return;
  const bool resize = (shift & host::ssShift) != 0;
  switch (key) {
    case host::VK_DELETE:
      DeleteSelection();
      return;
    case host::VK_ESCAPE:
      // Up to the container, as in any designer; placing is called off first.
      if (placing_) {
        placing_ = nullptr;
      } else if (auto* control = dynamic_cast<host::TControl*>(&Selection()); control && control != &form_) {
        Select(control->Parent());
      } else {
        Select(&form_);
      }
      return;
    case host::VK_LEFT:
      Nudge(-1, 0, resize);
      return;
    case host::VK_RIGHT:
      Nudge(1, 0, resize);
      return;
    case host::VK_UP:
      Nudge(0, -1, resize);
      return;
    case host::VK_DOWN:
      Nudge(0, 1, resize);
      return;
    default:
      return;
  }
}

}  // namespace vantora::studio

#include "FormDesigner.h"

#include <algorithm>

#include "host/designer/DesignRegistry.h"
#include "host/graphics/Graphics.h"

namespace vantora::studio {

namespace {

constexpr int kGrid = 4;        // placing and moving snap to it
constexpr int kHandle = 6;      // grab handles, just outside the selected control
constexpr int kMarkWidth = 88;  // the box standing for a component without a control
constexpr int kMarkHeight = 24;
constexpr int kMarkGap = 8;

int Snap(int v) {
  return (v >= 0 ? v + kGrid / 2 : v - kGrid / 2) / kGrid * kGrid;
}

RECT Inflated(RECT r, int by) {
  return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// The designed component a control belongs to: composite controls own inner controls of their own.
host::TComponent* DesignedOwner(host::TControl* control, const host::TComponent& root) {
  for (host::TControl* c = control; c; c = c->Parent())
    if (c == &root || c->Owner() == &root) return c;
  return nullptr;
}

}  // namespace

TFormDesigner::TFormDesigner(host::TCustomForm& form) : form_(form), selection_(&form) {
  form_.SetDesigning(true);
  form_.SetDesigner(this);
}

TFormDesigner::~TFormDesigner() {
  if (host::GetCaptureControl() == &form_) host::ReleaseCapture();
  form_.SetDesigner(nullptr);
}

void TFormDesigner::Modified() {
  modified_ = true;
  InvalidateMarks();
  if (OnModified) OnModified();
}

void TFormDesigner::Select(host::TComponent* component) {
  if (!component) component = &form_;
  if (component == selection_) return;
  InvalidateMarks();
  selection_ = component;
  InvalidateMarks();
  if (OnSelectionChanged) OnSelectionChanged();
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
  if (selection_ == &form_) return;
  host::TComponent* doomed = selection_;
  InvalidateMarks();
  selection_ = &form_;
  // A container takes the controls it holds along; they were the form's components too.
  delete doomed;
  form_.Invalidate();
  if (OnSelectionChanged) OnSelectionChanged();
  Modified();
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
  int index = 0;
  for (int i = 0; i < form_.ComponentCount(); ++i) {
    const host::TComponent* c = form_.Components(i);
    if (dynamic_cast<const host::TControl*>(c)) continue;
    if (c == &component) break;
    ++index;
  }
  const int left = kMarkGap + index * (kMarkWidth + kMarkGap);
  const int top = form_.ClientHeight() - kMarkHeight - kMarkGap;
  return RECT{left, top, left + kMarkWidth, top + kMarkHeight};
}

std::vector<std::pair<RECT, unsigned>> TFormDesigner::Handles() const {
  auto* control = dynamic_cast<host::TControl*>(selection_);
  if (!control || control == &form_) return {};
  const RECT r = FormRect(*control);
  const int midX = (r.left + r.right - kHandle) / 2;
  const int midY = (r.top + r.bottom - kHandle) / 2;
  const int xs[] = {r.left - kHandle, midX, r.right};
  const int ys[] = {r.top - kHandle, midY, r.bottom};
  const unsigned xEdges[] = {Left, 0, Right};
  const unsigned yEdges[] = {Top, 0, Bottom};
  std::vector<std::pair<RECT, unsigned>> handles;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      if (row != 1 || col != 1)
        handles.push_back(
            {RECT{xs[col], ys[row], xs[col] + kHandle, ys[row] + kHandle}, xEdges[col] | yEdges[row]});
  return handles;
}

RECT TFormDesigner::MarksArea() const {
  if (selection_ == &form_) return RECT{0, 0, 0, 0};
  if (auto* control = dynamic_cast<host::TControl*>(selection_)) return Inflated(FormRect(*control), kHandle);
  return Inflated(MarkOf(*selection_), 2);
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
    const RECT mark = MarkOf(*c);
    const RECT outline = Inflated(mark, 2);
    RECT part;
    if (!IntersectRect(&part, &outline, &clip)) continue;
    if (c == selection_) fill(outline, host::clHighlight);
    fill(mark, host::clBtnShadow);
    fill(Inflated(mark, -1), host::clBtnFace);
    const std::string& name = c->Name();
    host::SetBkMode(dc, host::TRANSPARENT);
    host::SetTextColor(dc, host::ColorToRGB(host::clBtnText));
    RECT inside;
    if (!IntersectRect(&inside, &mark, &clip)) continue;
    const int saved = host::SaveDC(dc);
    host::IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
    host::TextOutA(dc, mark.left + 4, mark.top + 5, name.c_str(), static_cast<int>(name.size()));
    host::RestoreDC(dc, saved);
  }
  for (const auto& [handle, edges] : Handles()) fill(handle, host::clHighlight);
}

host::TComponent* TFormDesigner::ComponentAt(host::TControl& sender, POINT p) const {
  if (&sender == &form_)
    for (int i = 0; i < form_.ComponentCount(); ++i) {
      host::TComponent* c = form_.Components(i);
      const RECT mark = MarkOf(*c);
      if (!dynamic_cast<host::TControl*>(c) && PtInRect(&mark, p)) return c;
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
  switch (message.Msg) {
    case host::WM_LBUTTONDOWN: {
      if (placing_) {
        Place(*placing_, p);
        return true;
      }
      for (const auto& [handle, edges] : Handles())
        if (const RECT grip = Inflated(handle, 1); PtInRect(&grip, p)) {
          auto* control = static_cast<host::TControl*>(selection_);
          drag_ = Drag{control, edges, p, control->BoundsRect(), false};
          host::SetCaptureControl(&form_);
          return true;
        }
      host::TComponent* hit = ComponentAt(sender, p);
      Select(hit);
      auto* control = dynamic_cast<host::TControl*>(hit);
      if (control && control != &form_) {
        drag_ = Drag{control, 0, p, control->BoundsRect(), false};
        host::SetCaptureControl(&form_);
      }
      return true;
    }
    case host::WM_MOUSEMOVE:
      if (drag_.control) Track(p);
      return true;
    case host::WM_LBUTTONUP: {
      const bool moved = drag_.control && drag_.moved;
      drag_ = Drag{};
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
      Select(hit);
      if (OnContextMenu) OnContextMenu(*hit, form_.ClientToScreen(p));
      return true;
    }
    default:
      // Every other mouse message is the designer's too: designed controls never react.
      return message.Msg >= host::WM_MOUSEMOVE && message.Msg <= host::WM_MBUTTONDBLCLK;
  }
}

void TFormDesigner::Track(POINT p) {
  const int dx = p.x - drag_.start.x;
  const int dy = p.y - drag_.start.y;
  if (!drag_.moved && std::abs(dx) < 2 && std::abs(dy) < 2) return;
  RECT r = drag_.bounds;
  if (drag_.edges == 0) {
    const int left = Snap(r.left + dx);
    const int top = Snap(r.top + dy);
    r = RECT{left, top, left + (r.right - r.left), top + (r.bottom - r.top)};
  } else {
    if (drag_.edges & Left) r.left = std::min(Snap(r.left + dx), r.right - 1);
    if (drag_.edges & Right) r.right = std::max(Snap(r.right + dx), r.left + 1);
    if (drag_.edges & Top) r.top = std::min(Snap(r.top + dy), r.bottom - 1);
    if (drag_.edges & Bottom) r.bottom = std::max(Snap(r.bottom + dy), r.top + 1);
  }
  InvalidateMarks();
  drag_.control->SetBoundsRect(r);
  drag_.moved = true;
  InvalidateMarks();
}

void TFormDesigner::Nudge(int dx, int dy, bool resize) {
  auto* control = dynamic_cast<host::TControl*>(selection_);
  if (!control || control == &form_) return;
  InvalidateMarks();
  if (resize)
    control->SetBounds(control->Left(), control->Top(), std::max(1, control->Width() + dx),
                       std::max(1, control->Height() + dy));
  else
    control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
  Modified();
}

void TFormDesigner::KeyMessage(std::uint16_t key, host::TShiftState shift) {
  const bool resize = (shift & host::ssShift) != 0;
  switch (key) {
    case host::VK_DELETE:
      DeleteSelection();
      return;
    case host::VK_ESCAPE:
      // Up to the container, as in any designer; placing is called off first.
      if (placing_) {
        placing_ = nullptr;
      } else if (auto* control = dynamic_cast<host::TControl*>(selection_); control && control != &form_) {
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

#include "host/widgets/PageControl.h"

#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr int kTabHeight = 22;

}  // namespace

const TClass& TTabSheet::StaticClass() {
  static const TClass& cls = ClassBuilder<TTabSheet>("TTabSheet", TPage::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TTabSheet);

void TTabSheet::CMTextChanged(TMessage& message) {
  TPage::CMTextChanged(message);
  if (auto* control = dynamic_cast<TPageControl*>(Parent())) control->UpdateTabs();
}

const TClass& TPageControl::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TPageControl>("TPageControl", TCustomControl::StaticClass())
          .Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
          .Method("OnChange")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TPageControl);

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner), tabs_(new TTabSet(this)) {
  SetControlStyle(ControlStyle() | csOpaque);
  tabs_->SetParent(this);
  tabs_->OnClick = [this](TPersistent*) { SetActivePageIndex(tabs_->TabIndex()); };
  SetBounds(0, 0, 289, 193);
}

int TPageControl::PageCount() const {
  int count = 0;
  for (int i = 0; i < ControlCount(); ++i) count += dynamic_cast<TTabSheet*>(Controls(i)) ? 1 : 0;
  return count;
}

TTabSheet* TPageControl::Pages(int index) const {
  int seen = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* page = dynamic_cast<TTabSheet*>(Controls(i)); page && seen++ == index) return page;
  RaiseListIndexError(index);
}

TTabSheet* TPageControl::AddPage(const std::string& caption) {
  auto* page = new TTabSheet(Owner() ? Owner() : this);
  page->SetParent(this);
  page->SetCaption(caption);
  if (!active_) SetActivePage(page);
  page->SetVisible(page == active_);
  UpdateTabs();
  return page;
}

int TPageControl::ActivePageIndex() const {
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i) == active_) return i;
  return -1;
}

void TPageControl::SetActivePageIndex(int index) {
  if (index >= 0 && index < PageCount()) SetActivePage(Pages(index));
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (IsLoading()) {
    active_ = page;
    return;
  }
  if (page == active_ || (page && page->Parent() != this)) return;
  if (active_) RemoveFreeNotification(active_);
  active_ = page;
  if (page) FreeNotification(page);
  for (int i = 0; i < PageCount(); ++i) Pages(i)->SetVisible(Pages(i) == page);
  tabs_->SetTabIndex(ActivePageIndex());
  if (OnChange) OnChange(this);
}

void TPageControl::UpdateTabs() {
  TStrings& tabs = *tabs_->Tabs();
  tabs.BeginUpdate();
  tabs.Clear();
  for (int i = 0; i < PageCount(); ++i) tabs.Add(Pages(i)->Caption());
  tabs.EndUpdate();
  tabs_->SetTabIndex(ActivePageIndex());
}

void TPageControl::Loaded() {
  TCustomControl::Loaded();
  TTabSheet* page = active_ && active_->Parent() == this ? active_ : PageCount() > 0 ? Pages(0) : nullptr;
  active_ = nullptr;
  UpdateTabs();
  SetActivePage(page);
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == active_) active_ = nullptr;
}

RECT TPageControl::AlignArea() const {
  RECT r = ClientRect();
  r.top = kTabHeight;
  InflateRect(&r, -2, -1);
  r.bottom -= 1;
  return r;
}

void TPageControl::BoundsChanged(int oldWidth, int oldHeight) {
  TCustomControl::BoundsChanged(oldWidth, oldHeight);
  tabs_->SetBounds(0, 0, Width(), kTabHeight);
}

void TPageControl::Paint() {
  HDC dc = Canvas().Handle();
  StylePainter::Fill(dc, ClientRect(), Color());
  // The frame's top edge runs under the tabs, whose strip draws it and breaks it at the chosen tab.
  RECT frame{0, kTabHeight - 1, Width(), Height()};
  StylePainter::PageFrame(dc, frame);
}

}  // namespace vantora::host

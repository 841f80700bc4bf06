#include "host/widgets/Notebook.h"

#include <algorithm>

#include "host/forms/StylePainter.h"

namespace vantora::host {

const TClass& TPage::StaticClass() {
  static const TClass& cls = ClassBuilder<TPage>("TPage", TCustomControl::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TPage);

TPage::TPage(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetAlign(alClient);
}

void TPage::Paint() {
  StylePainter::Fill(Canvas().Handle(), ClientRect(), Color());
}

const TClass& TNotebook::StaticClass() {
  static const TClass& cls = ClassBuilder<TNotebook>("TNotebook", TCustomControl::StaticClass())
                                 .Property("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage)
                                 .Stored(false)
                                 .Property("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex, 0)
                                 .Method("OnPageChanged")
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TNotebook);

TNotebook::TNotebook(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 150, 150);
}

int TNotebook::PageCount() const {
  int count = 0;
  for (int i = 0; i < ControlCount(); ++i) count += dynamic_cast<TPage*>(Controls(i)) ? 1 : 0;
  return count;
}

TPage* TNotebook::Pages(int index) const {
  int seen = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* page = dynamic_cast<TPage*>(Controls(i)); page && seen++ == index) return page;
  RaiseListIndexError(index);
}

TPage* TNotebook::AddPage(const std::string& caption) {
  auto* page = new TPage(Owner() ? Owner() : this);
  page->SetCaption(caption);
  page->SetParent(this);
  ShowPage();
  return page;
}

void TNotebook::SetPageIndex(int value) {
  if (IsLoading()) {
    pageIndex_ = value;
    return;
  }
  if (value < 0 || value >= PageCount() || value == pageIndex_) return;
  pageIndex_ = value;
  ShowPage();
  if (OnPageChanged) OnPageChanged(this);
}

std::string TNotebook::ActivePage() const {
  return pageIndex_ < PageCount() ? Pages(pageIndex_)->Caption() : std::string();
}

void TNotebook::SetActivePage(const std::string& caption) {
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->Caption() == caption) return SetPageIndex(i);
}

void TNotebook::Loaded() {
  TCustomControl::Loaded();
  pageIndex_ = std::clamp(pageIndex_, 0, std::max(PageCount() - 1, 0));
  ShowPage();
}

void TNotebook::ShowPage() {
  for (int i = 0; i < PageCount(); ++i) Pages(i)->SetVisible(i == pageIndex_);
}

void TNotebook::Paint() {
  StylePainter::Fill(Canvas().Handle(), ClientRect(), Color());
}

}  // namespace vantora::host

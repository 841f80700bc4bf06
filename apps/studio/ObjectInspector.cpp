#include "ObjectInspector.h"

#include <strings.h>

#include <algorithm>

#include "host/designer/DesignRegistry.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/StringGrid.h"

namespace vantora::studio {

namespace {

constexpr int kLineHeight = 22;
constexpr int kEllipsisWidth = 24;
constexpr int kMaxDepth = 6;  // owned objects nest this deep at most

// Marks an editor at work, so that the rows it belongs to are not rebuilt under it.
class EditUnderWay {
 public:
  explicit EditUnderWay(bool& flag) : flag_(flag) { flag_ = true; }
  ~EditUnderWay() { flag_ = false; }
  EditUnderWay(const EditUnderWay&) = delete;
  EditUnderWay& operator=(const EditUnderWay&) = delete;

 private:
  bool& flag_;
};

}  // namespace

// The grid says when it scrolled, so that the ellipsis stays in its row.
class TObjectInspector::TGrid : public host::TStringGrid {
 public:
  using TStringGrid::TStringGrid;
  std::function<void()> OnScrolled;

 protected:
  void WndProc(host::TMessage& message) override {
    const int top = TopRow();
    TStringGrid::WndProc(message);
    if (TopRow() != top && OnScrolled) OnScrolled();
  }
};

TObjectInspector::TObjectInspector(host::TWinControl& parent, const host::RECT& area) {
  const int width = area.right - area.left;
  components_ = new host::TComboBox(&parent);
  components_->SetParent(&parent);
  components_->SetStyle(host::csDropDownList);
  components_->SetBounds(area.left, area.top, width, kLineHeight);
  components_->OnCloseUp = [this](host::TPersistent*) {
    const int index = components_->ItemIndex();
    if (OnChooseComponent && index >= 0 && index < static_cast<int>(listed_.size()))
      OnChooseComponent(listed_[static_cast<std::size_t>(index)]);
  };

  grid_ = new TGrid(&parent);
  grid_->SetParent(&parent);
  const int gridTop = area.top + kLineHeight + 4;
  grid_->SetBounds(area.left, gridTop, width, area.bottom - gridTop - kLineHeight - 4);
  grid_->SetColCount(2);
  grid_->SetFixedCols(0);
  grid_->SetFixedRows(1);
  grid_->SetDefaultRowHeight(18);
  // Both columns fit beside the vertical scroll bar, so nothing ever scrolls them sideways.
  const int nameWidth = width * 9 / 20;
  grid_->SetColWidths(0, nameWidth);
  grid_->SetColWidths(1, width - nameWidth - 6 - host::kScrollBarWidth);
  grid_->OnSelectCell = [this](host::TPersistent*, int, int row, bool&) {
    if (row - 1 != chosen_) ChooseRow(row - 1);
  };
  grid_->OnDblClick = [this](host::TPersistent*) { Toggle(chosen_); };

  value_ = new host::TComboBox(&parent);
  value_->SetParent(&parent);
  value_->SetStyle(host::csDropDown);
  value_->SetBounds(area.left, area.bottom - kLineHeight, width, kLineHeight);
  value_->OnKeyDown = [this](host::TPersistent*, std::uint16_t& key, host::TShiftState) {
    if (key != host::VK_RETURN) return;
    key = 0;
    ApplyText(value_->Text());
  };
  value_->OnCloseUp = [this](host::TPersistent*) {
    if (value_->ItemIndex() >= 0) ApplyText(value_->Text());
  };

  // In the chosen row's value cell, as inspectors have it; it takes no focus, so nothing covers its dots.
  ellipsis_ = new host::TSpeedButton(grid_);
  ellipsis_->SetParent(grid_);
  ellipsis_->SetCaption("...");
  ellipsis_->SetVisible(false);
  ellipsis_->OnClick = [this](host::TPersistent*) { EditDialog(); };
  grid_->OnScrolled = [this] { PlaceEllipsis(); };
  Inspect(nullptr, {});
}

TObjectInspector::~TObjectInspector() = default;

bool TObjectInspector::Typing() const {
  return value_->Focused();
}

const host::TStringGrid& TObjectInspector::Grid() const {
  return *grid_;
}

void TObjectInspector::ListComponents(host::TComponent& root, host::TComponent* selected) {
  listed_.clear();
  components_->Items()->Clear();
  auto list = [&](host::TComponent* c) {
    listed_.push_back(c);
    components_->Items()->Add(c->Name() + ": " + c->ClassName());
  };
  list(&root);
  for (int i = 0; i < root.ComponentCount(); ++i) list(root.Components(i));
  const auto at = std::find(listed_.begin(), listed_.end(), selected);
  components_->SetItemIndex(at == listed_.end() ? -1 : static_cast<int>(at - listed_.begin()));
}

void TObjectInspector::Inspect(TFormDesigner* designer, const std::vector<host::TComponent*>& components) {
  host::TComponent* component = components.empty() ? nullptr : components.front();
  if (component != component_) unfolded_.clear();
  designer_ = designer;
  component_ = component;
  others_.assign(components.size() > 1 ? components.begin() + 1 : components.end(), components.end());
  chosen_ = -1;
  BuildRows();
  ShowRows();
  ChooseRow(rows_.empty() ? -1 : 0);
}

void TObjectInspector::Refresh() {
  const std::string path = chosen_ >= 0 ? rows_[static_cast<std::size_t>(chosen_)].path : std::string();
  BuildRows();
  ShowRows();
  chosen_ = -1;
  const int row = FindRow(path);
  ChooseRow(row >= 0 ? row : rows_.empty() ? -1 : 0);
}

void TObjectInspector::ValuesChanged() {
  if (!editing_) Refresh();
}

// A component's name is no published property but the inspector edits it all the same.
const host::TPropInfo& NameProperty() {
  static const host::TPropInfo info = [] {
    host::TPropInfo name;
    name.Name = "Name";
    name.Kind = host::TTypeKind::tkString;
    name.Getter = [](const host::TPersistent& p) -> host::TValue {
      return dynamic_cast<const host::TComponent&>(p).Name();
    };
    name.Setter = [](host::TPersistent& p, const host::TValue& v) {
      dynamic_cast<host::TComponent&>(p).SetName(std::get<std::string>(v));
    };
    return name;
  }();
  return info;
}

void TObjectInspector::BuildRows() {
  rows_.clear();
  if (!designer_ || !component_) return;
  // Names are each component's own.
  if (others_.empty())
    rows_.push_back(
        Row{std::make_unique<host::TStringProperty>(*designer_, *component_, NameProperty()), "Name", 0});
  AddRows(*component_, "", 0);
}

bool TObjectInspector::SharedByAll(const host::TPropInfo& prop) const {
  return std::all_of(others_.begin(), others_.end(), [&prop](const host::TComponent* other) {
    const host::TPropInfo* theirs = other->ClassType().FindProperty(prop.Name);
    return theirs && theirs->Kind == prop.Kind;
  });
}

std::unique_ptr<host::TPropertyEditor> TObjectInspector::EditorOf(host::TComponent& component,
                                                                  const std::string& path) {
  host::TPersistent* instance = &component;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = path.find('.', start);
    const host::TPropInfo* prop = instance->ClassType().FindProperty(path.substr(start, dot - start));
    if (!prop) return nullptr;
    if (dot == std::string::npos) return host::GetPropertyEditor(*designer_, *instance, *prop);
    instance = prop->Kind == host::TTypeKind::tkClass ? host::GetObjectProp(*instance, *prop) : nullptr;
    if (!instance) return nullptr;
    start = dot + 1;
  }
}

void TObjectInspector::ApplyToOthers(const std::string& path, const std::string& text) {
  for (host::TComponent* other : others_)
    if (auto editor = EditorOf(*other, path)) editor->SetValue(text);
}

void TObjectInspector::AddRows(host::TPersistent& instance, const std::string& prefix, int depth) {
  std::vector<std::pair<std::unique_ptr<host::TPropertyEditor>, const host::TPropInfo*>> editors;
  for (const host::TPropInfo* prop : instance.ClassType().Properties()) {
    if (depth == 0 && !SharedByAll(*prop)) continue;
    if (auto editor = host::GetPropertyEditor(*designer_, instance, *prop))
      editors.emplace_back(std::move(editor), prop);
  }
  // In alphabetical order of the names shown, as inspectors list them.
  std::stable_sort(editors.begin(), editors.end(), [](const auto& a, const auto& b) {
    return strcasecmp(a.first->GetName().c_str(), b.first->GetName().c_str()) < 0;
  });
  for (auto& [editor, prop] : editors) {
    const bool unfolds = (editor->GetAttributes() & host::paSubProperties) != 0;
    Row& row = rows_.emplace_back(Row{std::move(editor), prefix + prop->Name, depth});
    if (!unfolds || !unfolded_.contains(row.path) || depth >= kMaxDepth) continue;
    host::TPersistent* object = host::GetObjectProp(instance, *prop);
    if (object && object != &instance) AddRows(*object, row.path + ".", depth + 1);
  }
}

std::string TObjectInspector::RowName(int row) const {
  const Row& r = rows_.at(static_cast<std::size_t>(row));
  const bool unfolds = (r.editor->GetAttributes() & host::paSubProperties) != 0;
  std::string marker = unfolds ? (unfolded_.contains(r.path) ? "- " : "+ ") : "  ";
  return std::string(static_cast<std::size_t>(r.depth) * 3, ' ') + marker + r.editor->GetName();
}

std::string TObjectInspector::RowValue(int row) const {
  return rows_.at(static_cast<std::size_t>(row)).editor->GetValue();
}

int TObjectInspector::FindRow(const std::string& path) const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].path == path) return static_cast<int>(i);
  return -1;
}

void TObjectInspector::ShowRows() {
  grid_->SetRowCount(std::max(2, RowCount() + 1));
  grid_->SetCells(0, 0, "Property");
  grid_->SetCells(1, 0, "Value");
  for (int i = 0; i < RowCount(); ++i) {
    grid_->SetCells(0, i + 1, RowName(i));
    grid_->SetCells(1, i + 1, RowValue(i));
  }
  if (rows_.empty()) {
    grid_->SetCells(0, 1, "");
    grid_->SetCells(1, 1, "");
  }
}

void TObjectInspector::ChooseRow(int row) {
  if (row >= RowCount()) row = RowCount() - 1;
  chosen_ = row;
  if (row >= 0 && grid_->Row() != row + 1) grid_->MoveTo(1, row + 1);
  ShowValueLine();
}

void TObjectInspector::ShowValueLine() {
  value_->Items()->Clear();
  if (chosen_ < 0) {
    value_->SetText("");
    value_->SetEnabled(false);
    PlaceEllipsis();
    return;
  }
  host::TPropertyEditor& editor = *rows_[static_cast<std::size_t>(chosen_)].editor;
  const auto attributes = editor.GetAttributes();
  if (attributes & host::paValueList)
    editor.GetValues([this](const std::string& v) { value_->Items()->Add(v); });
  value_->SetText(editor.GetValue());
  value_->SetEnabled(!(attributes & host::paReadOnly) || (attributes & host::paValueList));
  PlaceEllipsis();
}

void TObjectInspector::PlaceEllipsis() {
  const bool dialog =
      chosen_ >= 0 && (rows_[static_cast<std::size_t>(chosen_)].editor->GetAttributes() & host::paDialog);
  const RECT cell = dialog ? grid_->CellRect(1, chosen_ + 1) : RECT{};
  const bool shown = cell.bottom > cell.top && cell.right > cell.left;
  if (shown)
    ellipsis_->SetBounds(cell.right - kEllipsisWidth, cell.top, kEllipsisWidth, cell.bottom - cell.top);
  ellipsis_->SetVisible(shown);
}

void TObjectInspector::Toggle(int row) {
  if (row < 0 || row >= RowCount()) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  const auto attributes = r.editor->GetAttributes();
  if (attributes & host::paSubProperties) {
    if (!unfolded_.erase(r.path)) unfolded_.insert(r.path);
    Refresh();
  } else if (attributes & host::paDialog) {
    EditDialog();
  }
}

void TObjectInspector::ApplyText(const std::string& text) {
  if (chosen_ < 0) return;
  host::TPropertyEditor& editor = *rows_[static_cast<std::size_t>(chosen_)].editor;
  if ((editor.GetAttributes() & host::paReadOnly) && !(editor.GetAttributes() & host::paValueList)) return;
  try {
    const EditUnderWay editing(editing_);
    const TDesignerChange change(*designer_);
    editor.SetValue(text);
    ApplyToOthers(rows_[static_cast<std::size_t>(chosen_)].path, text);
  } catch (...) {
    // The row shows the value it kept; the application reports why.
    ShowValueLine();
    throw;
  }
  Refresh();
}

void TObjectInspector::EditDialog() {
  if (chosen_ < 0) return;
  host::TPropertyEditor& editor = *rows_[static_cast<std::size_t>(chosen_)].editor;
  if (editor.GetAttributes() & host::paDialog) {
    const EditUnderWay editing(editing_);
    // What the dialog gave the first component, the others take too: the whole is one step.
    const TDesignerChange change(*designer_);
    editor.Edit();
    if (!(editor.GetAttributes() & host::paReadOnly))
      ApplyToOthers(rows_[static_cast<std::size_t>(chosen_)].path, editor.GetValue());
  }
  Refresh();
}

}  // namespace vantora::studio

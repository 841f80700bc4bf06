// The object inspector: the published properties of the selected component, one row each through
// its property editor, owned objects unfolding beneath their row. With several selected it shows the
// properties they share, and an edit applies to all of them as one step. The value of the chosen row is
// typed (or picked from its list) in the line below the grid; a dialog row has an ellipsis button.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FormDesigner.h"
#include "host/designer/DesignEditors.h"
#include "host/forms/Controls.h"

namespace vantora::host {
class TSpeedButton;
class TComboBox;
class TStringGrid;
}  // namespace vantora::host

namespace vantora::studio {

class TObjectInspector {
 public:
  // Builds its controls on Parent, in Area (Parent's client coordinates).
  TObjectInspector(host::TWinControl& parent, const host::RECT& area);
  ~TObjectInspector();

  // Shows the properties the components share (none: nothing). Designer is told of every change.
  void Inspect(TFormDesigner* designer, const std::vector<host::TComponent*>& components);
  // Reads every value again, keeping the chosen row.
  void Refresh();
  // The designed form changed: the values are read again, after the edit under way if there is one
  // (its editor must outlive it).
  void ValuesChanged();

  // The rows as shown: name (indented, with "+" or "-" before an object that unfolds) and value.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  std::string RowName(int row) const;
  std::string RowValue(int row) const;
  int FindRow(const std::string& path) const;
  const host::TStringGrid& Grid() const;
  // Chooses a row as a click on it does.
  void ChooseRow(int row);
  // What a double click on a row does: an object's row unfolds or folds, a dialog row opens it.
  void Toggle(int row);
  // What the value line's Enter, its list and its ellipsis do.
  void ApplyText(const std::string& text);
  // Whether the value line has the keys.
  bool Typing() const;
  void EditDialog();

  // The components of the inspected form listed for choosing; Chosen picks one.
  std::function<void(host::TComponent* chosen)> OnChooseComponent;
  void ListComponents(host::TComponent& root, host::TComponent* selected);

 private:
  struct Row {
    std::unique_ptr<host::TPropertyEditor> editor;
    std::string path;
    int depth = 0;
  };

  void BuildRows();
  bool SharedByAll(const host::TPropInfo& prop) const;
  // The editor of the row at Path for another of the inspected components.
  std::unique_ptr<host::TPropertyEditor> EditorOf(host::TComponent& component, const std::string& path);
  void ApplyToOthers(const std::string& path, const std::string& text);
  void AddRows(host::TPersistent& instance, const std::string& prefix, int depth);
  void ShowRows();
  void ShowValueLine();
  void PlaceEllipsis();

  TFormDesigner* designer_ = nullptr;
  host::TComponent* component_ = nullptr;
  std::vector<host::TComponent*> others_;  // selected with it
  std::vector<Row> rows_;
  std::set<std::string> unfolded_;
  int chosen_ = -1;
  bool editing_ = false;
  std::vector<host::TComponent*> listed_;
  host::TComboBox* components_;
  class TGrid;
  TGrid* grid_;
  host::TComboBox* value_;
  host::TSpeedButton* ellipsis_;
};

}  // namespace vantora::studio

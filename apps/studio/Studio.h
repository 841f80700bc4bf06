// Vantora Studio: a small form designer. Its window holds the file buttons, the component palette
// of the registered packages and the object inspector; the designed form is a window of its own.
#pragma once

#include <memory>
#include <string>

#include "FormDesigner.h"
#include "ObjectInspector.h"
#include "StudioWindow.h"

namespace vantora::host {
class TApplication;
class TForm;
class TSpeedButton;
class TPopupMenu;
}  // namespace vantora::host

namespace vantora::studio {

class TStudio {
 public:
  explicit TStudio(host::TApplication& app);
  ~TStudio();

  host::TForm& Window() const { return *window_; }
  host::TCustomForm& DesignedForm() const { return *form_; }
  TFormDesigner& Designer() const { return *designer_; }
  TObjectInspector& Inspector() const { return *inspector_; }
  const std::string& FileName() const { return path_; }
  // The palette button that places components of Cls; null when the palette has none.
  host::TSpeedButton* PaletteButton(const host::TClass& cls) const;
  host::TPopupMenu& ContextMenu() const { return *menu_; }
  // The Edit button's menu, its items enabled for the designer's state when it last opened.
  host::TPopupMenu& EditMenu() const { return *editMenu_; }

  // Each asks first whether to save changes that would be lost; a file that cannot be read leaves
  // the form being designed as it was.
  void NewForm();
  void OpenForm(const std::string& path);
  // Writes the designed form in the text form of component streams.
  void SaveForm(const std::string& path);
  // A live copy of the designed form, to try its controls: hover, press, click.
  host::TCustomForm& TestForm();

 private:
  void BuildToolbar();
  void BuildPalette();
  void FillEditMenu();
  void ShowPalettePage(int page);
  void Design(std::unique_ptr<host::TCustomForm> form, const std::string& path);
  bool ConfirmDiscard();
  void Save();
  void SaveAs();
  void Open();
  void SelectionChanged();
  void UpdateCaption();
  void PopupContextMenu(host::TComponent& component, POINT p);

  host::TApplication& app_;
  TStudioWindow* window_;
  std::unique_ptr<TObjectInspector> inspector_;
  std::unique_ptr<host::TCustomForm> form_;
  std::unique_ptr<TFormDesigner> designer_;
  host::TPopupMenu* menu_ = nullptr;
  host::TPopupMenu* editMenu_ = nullptr;
  std::vector<std::pair<const host::TClass*, host::TSpeedButton*>> paletteButtons_;
  host::TSpeedButton* pointer_ = nullptr;
  std::string path_;
};

}  // namespace vantora::studio

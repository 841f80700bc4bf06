// The form of the file dialogs: the folder it looks in, its folders and the files that match the
// chosen filter in one list, the file name, the filter, and the checks made before it accepts a
// name. A folder that cannot be read (gone, no permission) shows as an empty list with the reason.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/dialogs/DialogForm.h"
#include "host/dialogs/FileFilter.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/Label.h"
#include "host/widgets/ListBox.h"

VANTORA_API_BEGIN
namespace vantora::host {

struct TFileDialogSettings {
  std::string title;
  std::vector<TFileFilter> filters;
  int filterIndex = 1;  // one-based, as the dialogs' property
  std::string defaultExt;
  std::string folder;
  std::string fileName;
  bool save = false;
  bool pathMustExist = false;
  bool fileMustExist = false;
  bool overwritePrompt = false;
};

// The title shown: the settings' own, else "Open" or "Save As".
std::string DialogTitle(const TFileDialogSettings& settings);

class TFileDialogForm : public TDialogForm {
 public:
  // ExtraWidth leaves room at the right for what a dialog adds (a picture's preview).
  TFileDialogForm(const TFileDialogSettings& settings, int extraWidth = 0);

  const std::filesystem::path& Folder() const { return folder_; }
  void ShowFolder(const std::filesystem::path& folder);
  // What the list shows: folders first (as "[name]"), then the matching files, each sorted.
  const TStrings& Entries() const { return *files_->Items(); }
  // The chosen file (absolute) and filter, once the dialog was accepted.
  const std::string& Chosen() const { return chosen_; }
  // The file the name in the edit stands for, in the folder shown.
  std::string NamedPath() const;
  int FilterIndex() const { return filterCombo_->ItemIndex() + 1; }
  int Right() const { return listRight_; }

  // Told of the file the selection or the name now names (empty: none).
  std::function<void(const std::string& path)> OnFileSelected;

 private:
  void Fill();
  // The entry's folder or file name, and whether it is a folder.
  bool EntryIsFolder(int index, std::string& name) const;
  void EntryClicked();
  void EntryChosen();
  // Checks the name in the edit and accepts it, or opens the folder it names.
  void Accept();

  TFileDialogSettings settings_;
  std::filesystem::path folder_;
  std::string chosen_;
  TLabel* folderLabel_;
  TLabel* message_;
  TListBox* files_;
  TEdit* nameEdit_;
  TComboBox* filterCombo_;
  int listRight_ = 0;
};

}  // namespace vantora::host
VANTORA_API_END

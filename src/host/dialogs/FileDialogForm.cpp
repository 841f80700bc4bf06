#include "host/dialogs/FileDialogForm.h"

#include <algorithm>
#include <system_error>

#include "host/dialogs/MessageDialogs.h"
#include "host/widgets/SpeedButton.h"

namespace vantora::host {

namespace fs = std::filesystem;

namespace {

constexpr int kMargin = 10, kListWidth = 360, kListHeight = 200;

// Names in the order a person expects, letter case aside: each is sorted by its folded form,
// made once, so a folder of many files sorts quickly.
void SortIgnoringCase(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) {
    std::string key = name;
    for (char& c : key)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    keyed.emplace_back(std::move(key), std::move(name));
  }
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace

std::string DialogTitle(const TFileDialogSettings& settings) {
  if (!settings.title.empty()) return settings.title;
  return settings.save ? "Save As" : "Open";
}

TFileDialogForm::TFileDialogForm(const TFileDialogSettings& settings, int extraWidth)
    : TDialogForm(DialogTitle(settings), 2 * kMargin + kListWidth + 85 + extraWidth, 330),
      settings_(settings) {
  Place<TLabel>(this, "LookInLabel", kMargin, kMargin + 4, 50, 13, "Look in:");
  folderLabel_ = AddText(this, "FolderLabel", kMargin + 55, kMargin + 4, kListWidth - 85, 13, "");
  auto* up = Place<TSpeedButton>(this, "UpButton", kMargin + kListWidth - 24, kMargin, 24, 22, "Up");
  up->OnClick = [this](TPersistent*) { ShowFolder(folder_.parent_path()); };
  files_ = Place<TListBox>(this, "Files", kMargin, kMargin + 28, kListWidth, kListHeight);
  files_->OnClick = [this](TPersistent*) { EntryClicked(); };
  files_->OnDblClick = [this](TPersistent*) { EntryChosen(); };
  files_->OnKeyDown = [this](TPersistent*, std::uint16_t& key, TShiftState) {
    std::string name;
    if (key == VK_RETURN && files_->ItemIndex() >= 0 && EntryIsFolder(files_->ItemIndex(), name)) {
      key = 0;
      EntryChosen();
    }
  };
  listRight_ = kMargin + kListWidth;
  message_ = AddText(this, "Message", kMargin, files_->Top() + kListHeight + 4, kListWidth, 13, "");
  message_->Font().SetColor(clMaroon);
  const int nameTop = message_->Top() + 20;
  auto* nameLabel = Place<TLabel>(this, "FileNameLabel", kMargin, nameTop + 4, 80, 13, "File &name:");
  nameEdit_ = Place<TEdit>(this, "FileNameEdit", kMargin + 90, nameTop, kListWidth - 90, 21);
  nameLabel->SetFocusControl(nameEdit_);
  nameEdit_->OnChange = [this](TPersistent*) {
    if (OnFileSelected && nameEdit_->Focused()) OnFileSelected(NamedPath());
  };
  auto* typeLabel = Place<TLabel>(this, "FilterLabel", kMargin, nameTop + 32, 80, 13, "Files of &type:");
  filterCombo_ = Place<TComboBox>(this, "FilterCombo", kMargin + 90, nameTop + 28, kListWidth - 90, 21);
  typeLabel->SetFocusControl(filterCombo_);
  filterCombo_->SetStyle(csDropDownList);
  for (const TFileFilter& filter : settings_.filters) filterCombo_->Items()->Add(filter.description);
  if (!settings_.filters.empty())
    filterCombo_->SetItemIndex(
        std::clamp(settings_.filterIndex, 1, static_cast<int>(settings_.filters.size())) - 1);
  filterCombo_->OnChange = [this](TPersistent*) { Fill(); };

  const int buttonsLeft = kMargin + kListWidth + 10;
  auto* ok = AddButton("OK", settings_.save ? "&Save" : "&Open", mrNone, buttonsLeft, nameTop, true);
  ok->OnClick = [this](TPersistent*) { Accept(); };
  AddButton("Cancel", "Cancel", mrCancel, buttonsLeft, nameTop + 28, false, true);
  SetBounds(0, 0, Width(), nameTop + 28 + 21 + kMargin);

  fs::path start = settings_.folder.empty() ? fs::path(".") : fs::path(settings_.folder);
  fs::path initialName = settings_.fileName;
  if (initialName.has_parent_path()) {
    start = initialName.parent_path();
    initialName = initialName.filename();
  }
  ShowFolder(start);
  nameEdit_->SetText(initialName.string());
  SetActiveControl(nameEdit_);
}

std::string TFileDialogForm::NamedPath() const {
  return nameEdit_->Text().empty() ? std::string() : (folder_ / nameEdit_->Text()).string();
}

void TFileDialogForm::ShowFolder(const fs::path& folder) {
  std::error_code error;
  fs::path absolute = fs::absolute(folder, error);
  folder_ = error ? folder : absolute.lexically_normal();
  if (folder_.has_filename() == false && folder_ != folder_.root_path()) folder_ = folder_.parent_path();
  folderLabel_->SetCaption(folder_.string());
  Fill();
}

void TFileDialogForm::Fill() {
  std::vector<std::string> folders, files;
  message_->SetCaption("");
  const TFileFilter* filter = nullptr;
  if (filterCombo_->ItemIndex() >= 0)
    filter = &settings_.filters[static_cast<std::size_t>(filterCombo_->ItemIndex())];
  std::error_code error;
  fs::directory_iterator it(folder_, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code typeError;
    const std::string name = it->path().filename().string();
    if (it->is_directory(typeError))
      folders.push_back(name);
    else if (!filter || MatchesFilter(name, *filter))
      files.push_back(name);
  }
  if (error) message_->SetCaption("Cannot read " + folder_.string() + ": " + error.message());
  SortIgnoringCase(folders);
  SortIgnoringCase(files);
  TStrings& items = *files_->Items();
  items.BeginUpdate();
  items.Clear();
  if (folder_.has_parent_path() && folder_ != folder_.root_path()) items.Add("[..]");
  for (const std::string& name : folders) items.Add("[" + name + "]");
  for (const std::string& name : files) items.Add(name);
  items.EndUpdate();
  files_->SetTopIndex(0);
}

bool TFileDialogForm::EntryIsFolder(int index, std::string& name) const {
  const std::string& entry = (*files_->Items())[index];
  const bool folder = entry.size() >= 2 && entry.front() == '[' && entry.back() == ']';
  name = folder ? entry.substr(1, entry.size() - 2) : entry;
  return folder;
}

void TFileDialogForm::EntryClicked() {
  std::string name;
  if (files_->ItemIndex() < 0 || EntryIsFolder(files_->ItemIndex(), name)) return;
  nameEdit_->SetText(name);
  if (OnFileSelected) OnFileSelected((folder_ / name).string());
}

void TFileDialogForm::EntryChosen() {
  std::string name;
  if (files_->ItemIndex() < 0) return;
  if (!EntryIsFolder(files_->ItemIndex(), name)) return Accept();
  ShowFolder(name == ".." ? folder_.parent_path() : folder_ / name);
}

void TFileDialogForm::Accept() {
  std::string text = nameEdit_->Text();
  if (text.empty()) return;
  fs::path path = fs::path(text).is_absolute() ? fs::path(text) : folder_ / text;
  std::error_code error;
  if (fs::is_directory(path, error)) {
    nameEdit_->SetText("");
    ShowFolder(path);
    return;
  }
  if (!path.has_extension() && !settings_.defaultExt.empty()) path += "." + settings_.defaultExt;
  if (settings_.pathMustExist && !fs::is_directory(path.parent_path(), error)) {
    MessageDlg(path.parent_path().string() + "\nPath does not exist.\nCheck the path and try again.",
               mtWarning, {mbOK});
    return;
  }
  const bool exists = fs::exists(path, error);
  if (settings_.fileMustExist && !exists) {
    MessageDlg(path.filename().string() + "\nFile not found.\nCheck the file name and try again.", mtWarning,
               {mbOK});
    return;
  }
  if (settings_.overwritePrompt && exists &&
      MessageDlg(path.string() + " already exists.\nDo you want to replace it?", mtWarning, {mbYes, mbNo}) !=
          mrYes)
    return;
  chosen_ = path.string();
  SetModalResult(mrOk);
}

}  // namespace vantora::host

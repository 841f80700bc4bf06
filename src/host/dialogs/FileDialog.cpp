#include "host/dialogs/FileDialog.h"

#include <filesystem>

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TOpenOption) {
  static const TEnumInfo info{"TOpenOption", {"ofOverwritePrompt", "ofPathMustExist", "ofFileMustExist"}};
  return info;
}

const TClass& TOpenDialog::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TOpenDialog>("TOpenDialog", TCommonDialog::StaticClass())
          .Property("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
          .Property("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
          .Property("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
          .Property("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1)
          .Property("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
          .Property("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, TOpenOptions{})
          .Property("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TOpenDialog);

const TClass& TSaveDialog::StaticClass() {
  static const TClass& cls = ClassBuilder<TSaveDialog>("TSaveDialog", TOpenDialog::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TSaveDialog);

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}

void TOpenDialog::SetDefaultExt(const std::string& value) {
  defaultExt_ = !value.empty() && value.front() == '.' ? value.substr(1) : value;
}

TFileDialogSettings TOpenDialog::Settings() const {
  TFileDialogSettings settings;
  settings.title = title_;
  settings.filters = ParseFileFilter(filter_);
  settings.filterIndex = filterIndex_;
  settings.defaultExt = defaultExt_;
  settings.folder = initialDir_;
  settings.fileName = fileName_;
  settings.save = IsSave();
  settings.pathMustExist = options_.Contains(ofPathMustExist);
  settings.fileMustExist = options_.Contains(ofFileMustExist) && !IsSave();
  settings.overwritePrompt = options_.Contains(ofOverwritePrompt) && IsSave();
  return settings;
}

TDialogRecord TOpenDialog::Record() const {
  TDialogRecord record;
  record.kind = IsSave() ? TDialogKind::SaveFile : TDialogKind::OpenFile;
  record.title = DialogTitle(Settings());
  record.value = fileName_;
  record.filter = filter_;
  record.defaultExt = defaultExt_;
  record.initialDir = initialDir_;
  return record;
}

bool TOpenDialog::Execute() {
  const TDialogRecord record = Record();
  if (auto answer = DialogResponder().Take(record)) {
    if (!answer->accept) return false;
    std::filesystem::path path = answer->text;
    if (!path.has_extension() && !defaultExt_.empty()) path += "." + defaultExt_;
    fileName_ = path.string();
    return true;
  }
  TDialogAnswer answer;
  answer.accept = ShowDialog();
  answer.text = fileName_;
  DialogResponder().Record(record, answer);
  return answer.accept;
}

bool TOpenDialog::ShowDialog() {
  TFileDialogForm form(Settings());
  return Run(form);
}

bool TOpenDialog::Run(TFileDialogForm& form) {
  if (form.Run() != mrOk) return false;
  fileName_ = form.Chosen();
  filterIndex_ = form.FilterIndex();
  return true;
}

}  // namespace vantora::host

// The open and save dialogs: FileName, the classic Filter string with FilterIndex, DefaultExt
// (added to a name without an extension), InitialDir, Title and Options (path must exist, file
// must exist, overwrite prompt). Execute answers whether a file was chosen.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/dialogs/CommonDialog.h"
#include "host/dialogs/FileDialogForm.h"
#include "host/forms/Responder.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TOpenOption : std::uint8_t { ofOverwritePrompt, ofPathMustExist, ofFileMustExist };
const TEnumInfo& TypeInfoOf(TOpenOption);
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
  VANTORA_PERSISTENT(TOpenDialog)

  explicit TOpenDialog(TComponent* owner);

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& value) { filter_ = value; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  // Without its dot: "lbl".
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& value);
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }

  bool Execute() override;

 protected:
  virtual bool IsSave() const { return false; }
  // Builds and shows the dialog's form; a picture dialog adds its preview to it.
  virtual bool ShowDialog();
  // Runs a built form and takes the chosen file from it.
  bool Run(TFileDialogForm& form);
  TFileDialogSettings Settings() const;
  // The dialog as the responder records it.
  TDialogRecord Record() const;

 private:
  std::string fileName_, filter_, defaultExt_, initialDir_, title_;
  int filterIndex_ = 1;
  TOpenOptions options_;
};

class TSaveDialog : public TOpenDialog {
  VANTORA_PERSISTENT(TSaveDialog)
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

 protected:
  bool IsSave() const override { return true; }
};

}  // namespace vantora::host
VANTORA_API_END

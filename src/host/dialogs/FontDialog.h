// The font dialog: a family from the fonts fontconfig knows (scalable ones only with
// fdTrueTypeOnly), a style, a size, the underline and strike-out effects (fdEffects) and a sample.
// With fdForceFontExist a typed family must be one of the list. Font holds the starting font and
// the chosen one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/dialogs/CommonDialog.h"
#include "host/forms/Font.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TFontDialogOption : std::uint8_t { fdEffects, fdTrueTypeOnly, fdForceFontExist, fdLimitSize };
const TEnumInfo& TypeInfoOf(TFontDialogOption);
using TFontDialogOptions = TSet<TFontDialogOption>;

class TFontDialog : public TCommonDialog {
  VANTORA_PERSISTENT(TFontDialog)

  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  TFontDialogOptions Options() const { return options_; }
  void SetOptions(TFontDialogOptions value) { options_ = value; }
  // The sizes offered and accepted with fdLimitSize.
  int MinFontSize() const { return minFontSize_; }
  void SetMinFontSize(int value) { minFontSize_ = value; }
  int MaxFontSize() const { return maxFontSize_; }
  void SetMaxFontSize(int value) { maxFontSize_ = value; }

  bool Execute() override;

 private:
  std::unique_ptr<TFont> font_;
  TFontDialogOptions options_{fdEffects};
  int minFontSize_ = 0, maxFontSize_ = 0;
};

// The font families installed, sorted, each once; only scalable ones when asked.
std::vector<std::string> FontFamilies(bool scalableOnly);

}  // namespace vantora::host
VANTORA_API_END

// The colour dialog: a grid of basic colours and sixteen custom ones; fully open (cdFullOpen) it
// adds a field of hue across and saturation up (a pick keeps the value), the chosen colour beside
// the one it started from, and fields for hue, saturation and value and for red, green and blue.
// Color is the colour it starts with and the one chosen.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/dialogs/CommonDialog.h"
#include "host/graphics/Graphics.h"
#include "host/widgets/Strings.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TColorDialogOption : std::uint8_t { cdFullOpen, cdPreventFullOpen };
const TEnumInfo& TypeInfoOf(TColorDialogOption);
using TColorDialogOptions = TSet<TColorDialogOption>;

class TColorDialog : public TCommonDialog {
  VANTORA_PERSISTENT(TColorDialog)

  explicit TColorDialog(TComponent* owner);
  ~TColorDialog() override;

  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TColorDialogOptions Options() const { return options_; }
  void SetOptions(TColorDialogOptions value) { options_ = value; }
  // "ColorA=RRGGBB" to "ColorP=RRGGBB" (hexadecimal), as the classic dialog keeps them.
  TStrings* CustomColors() const { return customColors_.get(); }
  void SetCustomColors(TStrings* value) { customColors_->Assign(value); }

  bool Execute() override;

 private:
  TColor color_ = clBlack;
  TColorDialogOptions options_;
  std::unique_ptr<TStrings> customColors_;
};

// Hue 0..359, saturation and value 0..100.
struct THsv {
  int hue, saturation, value;
};
THsv RgbToHsv(TColor color);
TColor HsvToRgb(const THsv& hsv);

}  // namespace vantora::host
VANTORA_API_END

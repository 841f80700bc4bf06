// The open dialog for pictures: the file the selection names is shown, scaled to fit, in a
// preview beside the list, with its size (or why it cannot be shown) beneath.
#pragma once

#include "VantoraExport.h"
#include "host/dialogs/FileDialog.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TOpenPictureDialog : public TOpenDialog {
  VANTORA_PERSISTENT(TOpenPictureDialog)
  explicit TOpenPictureDialog(TComponent* owner);

 protected:
  bool ShowDialog() override;
};

// Shows a picture file scaled to fit, centred on a sunken field.
class TPicturePreview : public TCustomControl {
  VANTORA_PERSISTENT(TPicturePreview)
  explicit TPicturePreview(TComponent* owner);
  ~TPicturePreview() override;

  // Loads the picture; answers a line for the user: its size, or why it cannot be shown.
  std::string Load(const std::string& path);
  const TBitmap& Picture() const { return *picture_; }

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TBitmap> picture_;
};

}  // namespace vantora::host
VANTORA_API_END

#include "host/dialogs/OpenPictureDialog.h"

#include <algorithm>
#include <filesystem>

#include "host/forms/StylePainter.h"
#include "host/widgets/Label.h"

namespace vantora::host {

namespace {

constexpr int kPreviewWidth = 160;

}  // namespace

const TClass& TOpenPictureDialog::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TOpenPictureDialog>("TOpenPictureDialog", TOpenDialog::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TOpenPictureDialog);

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
  SetFilter(
      "All pictures (*.bmp;*.png;*.jpg;*.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|"
      "PNG pictures (*.png)|*.png|JPEG pictures (*.jpg;*.jpeg)|*.jpg;*.jpeg");
}

bool TOpenPictureDialog::ShowDialog() {
  TFileDialogForm form(Settings(), kPreviewWidth + 10);
  auto* preview = form.Place<TPicturePreview>(&form, "Preview", form.Right() + 95, 38, kPreviewWidth, 150);
  auto* size = form.AddText(&form, "PictureSize", preview->Left(), preview->Top() + preview->Height() + 4,
                            kPreviewWidth, 26, "", true);
  form.OnFileSelected = [preview, size](const std::string& path) { size->SetCaption(preview->Load(path)); };
  form.OnFileSelected(form.NamedPath());
  return Run(form);
}

const TClass& TPicturePreview::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TPicturePreview>("TPicturePreview", TCustomControl::StaticClass()).Build();
  return cls;
}

TPicturePreview::TPicturePreview(TComponent* owner)
    : TCustomControl(owner), picture_(std::make_unique<TBitmap>()) {
  SetControlStyle((ControlStyle() & ~csAcceptsControls) | csOpaque);
}

TPicturePreview::~TPicturePreview() = default;

std::string TPicturePreview::Load(const std::string& path) {
  picture_->SetHandle(nullptr);
  Invalidate();
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return {};
  try {
    picture_->LoadFromFile(path);
  } catch (const Exception& e) {
    picture_->SetHandle(nullptr);
    return e.Message();
  }
  if (picture_->Empty()) return "Not a picture";
  return std::to_string(picture_->Width()) + " x " + std::to_string(picture_->Height());
}

void TPicturePreview::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  StylePainter::FieldFrame(dc, r);
  StylePainter::Fill(dc, r, clWindow);
  if (picture_->Empty()) return;
  // Scaled down to fit, never up, and centred.
  const int width = r.right - r.left, height = r.bottom - r.top;
  const double scale = std::min({1.0, static_cast<double>(width) / picture_->Width(),
                                 static_cast<double>(height) / picture_->Height()});
  const int w = std::max(1, static_cast<int>(picture_->Width() * scale));
  const int h = std::max(1, static_cast<int>(picture_->Height() * scale));
  const int x = r.left + (width - w) / 2, y = r.top + (height - h) / 2;
  Canvas().StretchDraw(RECT{x, y, x + w, y + h}, *picture_);
}

}  // namespace vantora::host

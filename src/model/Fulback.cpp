#include "model/Fulback.h"

#include <algorithm>

namespace vantora {

const host::TClass& tFulgoBackground::StaticClass() {
  using B = tFulgoBackground;
  static const host::TClass& cls =
      host::ClassBuilder<B>("tFulgoBackground", tFulgoObject::StaticClass())
          .Property("ImageAutoSize", &B::GetImageAutoSize, &B::SetImageAutoSize, true)
          .Property("BackImage", &B::GetBackImage, &B::SetBackImage)
          .Property("ImageWidth", &B::GetImageWidth, &B::SetImageWidth, 0)
          .Property("ImageHeight", &B::GetImageHeight, &B::SetImageHeight, 0)
          .Property("Image", &B::GetImage, &B::SetImage)
          .Property("Exist", &B::GetExist, &B::SetExist, true)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoBackground);

namespace {

// A side as a bitmap can have it.
TWidth Side(std::int32_t value) {
  return static_cast<TWidth>(std::clamp<std::int32_t>(value, 0, kMaxBitmapSide));
}

// A placement that stays meaningful as a 16-bit position; CopyOver refuses a result too large.
std::int16_t Position(std::int32_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -kMaxBitmapSide, kMaxBitmapSide));
}

}  // namespace

tFulgoBackground::tFulgoBackground(tFulgoPersistent* AOwner)
    : tFulgoObject(AOwner),
      BackImage(std::make_unique<tFulgoGlyph>()),
      Image(std::make_unique<host::TBitmap>()) {
  Image->OnChange = [this](host::TBitmap& sender) { ImageChanged(sender); };
  BackImage->OnChange = [this](host::TPersistent* sender) { GlyphRebuild(sender); };
  SetDefaults();
}

tFulgoBackground::~tFulgoBackground() {
  // The handlers point back here; nothing may call them while the parts go.
  BackImage->OnChange = nullptr;
  Image->OnChange = nullptr;
}

void tFulgoBackground::SetDefaults() {
  Active = true;
  TextWidthPlus = 0;
  TextHeightPlus = 0;
  ImageWidth = 0;
  ImageHeight = 0;
  ImageAutoSize = true;
  MaskColor = 0;
  BackImage->Init();
  Exist = true;
}

void tFulgoBackground::Init() {
  tFulgoObject::Init();
  SetDefaults();
}

void tFulgoBackground::SetImageAutoSize(bool Value) {
  if (Value == ImageAutoSize) return;
  ImageAutoSize = Value;
  Rebuild();
}

void tFulgoBackground::SetBackImage(tFulgoGlyph* Value) {
  if (!Value || Value == BackImage.get()) return;
  BackImage->Assign(Value);
}

void tFulgoBackground::SetImageWidth(std::int32_t Value) {
  if (Value == ImageWidth) return;
  ImageWidth = Value;
  Rebuild();
}

void tFulgoBackground::SetImageHeight(std::int32_t Value) {
  if (Value == ImageHeight) return;
  ImageHeight = Value;
  Rebuild();
}

void tFulgoBackground::SetImage(host::TBitmap* Value) {
  if (!Value || Value == Image.get()) return;
  Image->Assign(*Value);
}

void tFulgoBackground::SetExist(bool Value) {
  if (Value == Exist) return;
  Exist = Value;
  Rebuild();
}

void tFulgoBackground::ImageChanged(host::TBitmap&) {
  if (Image->Empty()) return;
  BackImage->GetGlyphData(*Image);
  // Emptied in place rather than replaced: this runs inside the bitmap's own change event. The
  // emptying comes back here with an empty bitmap and stops.
  Image->SetHandle(nullptr);
  Image->SetPalette(nullptr);
}

void tFulgoBackground::Ready() {
  if (!Exist)
    for (tFulgoLayer* layer : Layers.All()) layer->SetActive(true);
  tFulgoObject::Ready();
}

bool tFulgoBackground::RectangularBody(std::int32_t& BodyWidth, std::int32_t& BodyHeight) const {
  BodyWidth = Side(TargetWidth);
  BodyHeight = Side(TargetHeight);
  return Exist && BackImage->Empty() && BodyWidth > 0 && BodyHeight > 0;
}

void tFulgoBackground::MakeFirstBitmap() {
  const TWidth w = Side(TargetWidth);
  const THeight h = Side(TargetHeight);
  Dib->FreeDib();
  if (!Exist) {
    Dib->MakeEmpty(w, h);
    return;
  }
  if (BackImage->Empty()) {
    Dib->NewColored(w, h, 255);
    return;
  }
  tFulgoDib picture;
  BackImage->MakeDuplicate(picture);
  picture.MakeMask(MaskColor);
  picture.ChangeToMinSize();
  if (ImageAutoSize) {
    Dib->AdoptBlock(picture.ResizeDibOwned(w, h));
    return;
  }
  const std::int32_t pw0 = picture.GetWidth(), ph0 = picture.GetHeight();
  // A picture size of 0 means "not set": the cropped picture keeps its own size.
  if ((pw0 != w || ph0 != h) && ImageWidth > 0 && ImageHeight > 0) {
    picture.AdoptBlock(picture.ResizeDibOwned(Side(ImageWidth), Side(ImageHeight)));
  }
  const std::int32_t pw = picture.GetWidth(), ph = picture.GetHeight();
  std::int32_t x = 0;
  switch (Align->Alignment) {
    case host::taLeftJustify:
      x = 1;
      break;
    case host::taRightJustify:
      x = w - pw;
      break;
    default:
      x = (w - pw) / 2;
      break;
  }
  x += Align->X;
  const std::int32_t y = (h - ph) / 2 + Align->Y;
  Dib->MakeEmpty(w, h);
  Dib->CopyOver(picture, Position(x), Position(y));
}

}  // namespace vantora

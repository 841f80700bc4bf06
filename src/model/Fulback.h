// Unit Fulback: tFulgoBackground, the object every art lays its other objects on: a rectangle of the
// size the art decides, or the outline of a picture stretched to it or placed inside it.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "core/Fuldib.h"
#include "host/graphics/Graphics.h"
#include "model/Fulgoobj.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoBackground : public tFulgoObject {
  VANTORA_PERSISTENT(tFulgoBackground)

  explicit tFulgoBackground(tFulgoPersistent* AOwner);
  ~tFulgoBackground() override;

  bool ImageAutoSize = true;
  // The picture; its non-black outline is the body.
  std::unique_ptr<tFulgoGlyph> BackImage;
  std::int32_t ImageWidth = 0;
  std::int32_t ImageHeight = 0;
  // Drop slot: a picture put here moves into BackImage, so it always reads back empty.
  std::unique_ptr<host::TBitmap> Image;
  bool Exist = true;

  // Added to the largest other object when the art sizes the background itself; set at run time
  // only (by the wizard) and not streamed.
  std::int32_t TextWidthPlus = 0;
  std::int32_t TextHeightPlus = 0;
  // The picture colour that becomes transparent: always black.
  TColor MaskColor = 0;
  // Size of the first bitmap, written by the art before every render.
  std::int32_t TargetWidth = 0;
  std::int32_t TargetHeight = 0;

  void SetDefaults();
  void Init() override;

  bool GetImageAutoSize() const { return ImageAutoSize; }
  void SetImageAutoSize(bool Value);
  tFulgoGlyph* GetBackImage() const { return BackImage.get(); }
  void SetBackImage(tFulgoGlyph* Value);
  std::int32_t GetImageWidth() const { return ImageWidth; }
  void SetImageWidth(std::int32_t Value);
  std::int32_t GetImageHeight() const { return ImageHeight; }
  void SetImageHeight(std::int32_t Value);
  host::TBitmap* GetImage() const { return Image.get(); }
  // Copies the picture into the slot, which moves it on into BackImage.
  void SetImage(host::TBitmap* Value);
  bool GetExist() const { return Exist; }
  void SetExist(bool Value);

  // Change event of Image.
  void ImageChanged(host::TBitmap& Sender);

  // Without a body of its own the background still carries its layers: they are switched on.
  void Ready() override;
  void MakeFirstBitmap() override;
  // Without a picture the body is the whole target rectangle.
  bool RectangularBody(std::int32_t& BodyWidth, std::int32_t& BodyHeight) const override;
};

}  // namespace vantora
VANTORA_API_END

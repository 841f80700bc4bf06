// Unit Fulgoobj: tFulgoObject, one drawable element of a look (the letters of a text, the rectangle
// or picture of a background). Its body is made as a mask, painted by its colour fill, decorated by
// its effect layers and optionally warped into a shape; the art then composes the objects.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "effects/Fulcolor.h"
#include "effects/Fullayer.h"
#include "effects/Fullyrs.h"
#include "model/BandedLayers.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoOnePalette;

class tFulgoObject : public tFulgoPersistent {
  VANTORA_PERSISTENT(tFulgoObject)

  explicit tFulgoObject(tFulgoPersistent* AOwner);
  ~tFulgoObject() override;

  // The object's picture: it holds one only between Render and Finished.
  std::unique_ptr<tFulgoDib> Dib;
  std::unique_ptr<tFulgoAlign> Align;
  // Layer3D, LayerFrame and LayerShadow, in the order they are prepared, rendered and measured. The
  // list owns them.
  tLayersList Layers;
  std::unique_ptr<tFulgoColor> FulgoColor;
  tFulgo3D* Layer3D = nullptr;
  tFulgoShadow* LayerShadow = nullptr;
  tFulgoFrame* LayerFrame = nullptr;

  // Size of the last rendered bitmap.
  std::int16_t Width = 0;
  std::int16_t Height = 0;
  std::int16_t Shape = 0;
  TColor FadeTo = kButtonFace;
  // Growth the active layers add around the body: the shift of the origin (zero or negative) and
  // the total growth.
  std::int16_t AddX = 0;
  std::int16_t AddY = 0;
  std::int16_t AddWidth = 0;
  std::int16_t AddHeight = 0;
  // Whether a rectangular body may have its layers drawn as bands around it (the same pixels, made
  // without a whole mask per layer), and whether the last render did so. Not published.
  bool DrawBands = true;
  bool DrewBands = false;
  tKeptBandOutline BandOutline;

  void SetDefaults();
  void Init() override;

  tFulgoColor* GetFulgoColor() const { return FulgoColor.get(); }
  void SetFulgoColor(tFulgoColor* Value);
  tFulgoAlign* GetAlign() const { return Align.get(); }
  std::int16_t GetWidth() const { return Width; }
  std::int16_t GetHeight() const { return Height; }
  std::int16_t GetShape() const { return Shape; }
  void SetShape(std::int16_t Value);
  tFulgo3D* GetLayer3D() const { return Layer3D; }
  tFulgoShadow* GetLayerShadow() const { return LayerShadow; }
  tFulgoFrame* GetLayerFrame() const { return LayerFrame; }
  TColor GetFadeTo() const { return FadeTo; }
  // Always hands the colour on to the fill and every layer as their Brush2; any rebuild comes from
  // their setters.
  void SetFadeTo(TColor Value);

  // The render phases, in this order for one render of the art; Finished once the art has copied
  // the picture.
  virtual void Ready();
  void RegisterOnePalette(tFulgoOnePalette& Palette);
  void ApplyOnePalette(tFulgoOnePalette& Palette);
  // First bitmap, fill, layers, margins, shape; then Width and Height.
  void Render();
  void Finished();

  // The body as a mask (247 outside it); the base version only empties Dib.
  virtual void MakeFirstBitmap();
  // Sums the margins of the active layers.
  virtual void CalcAddXY();
  // Whether the first bitmap will be a BodyWidth x BodyHeight rectangle without a transparent pixel.
  virtual bool RectangularBody(std::int32_t& BodyWidth, std::int32_t& BodyHeight) const;

 private:
  void AddLayers();
};

// The objects of an art. It owns them.
class tObjectList : public tOwningQorList<tFulgoObject> {
 public:
  tFulgoObject* GetActiveObject(int Index) const { return GetActiveTyped(Index); }
};

}  // namespace vantora
VANTORA_API_END

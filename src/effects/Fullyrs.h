// Unit Fullyrs: the three effect layers an object carries, and the list that holds them. The 3D
// edge draws a band beside the object (and with Embossed a second, opposite band in its second
// fill), the frame grows the object on every side, the shadow lays a scaled copy of it at an offset.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "effects/Fullayer.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoFrame : public tFulgoLayer {
  VANTORA_PERSISTENT(tFulgoFrame)

  explicit tFulgoFrame(tFulgoPersistent* AOwner) : tFulgoLayer(AOwner) {}

  void CalcAddXY() override;
  std::unique_ptr<tFulgoDib> MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                         std::int16_t& OffY) override;

 protected:
  bool DrawsInInk() const override { return true; }
};

class tFulgo3D : public tFulgoLayer {
  VANTORA_PERSISTENT(tFulgo3D)

  explicit tFulgo3D(tFulgoPersistent* AOwner);

  void SetDefaults();
  void Init() override;
  void CalcAddXY() override;
  // The band on the side Direction faces, and with MakeEffect2 the band on the opposite side.
  std::unique_ptr<tFulgoDib> MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                         std::int16_t& OffY) override;
  std::unique_ptr<tFulgoDib> MakeEffect2(const tFulgoDib& Dib, std::int16_t& OffX,
                                         std::int16_t& OffY) override;

 protected:
  bool DrawsInInk() const override { return true; }
};

class tFulgoShadow : public tFulgoLayer {
  VANTORA_PERSISTENT(tFulgoShadow)

  explicit tFulgoShadow(tFulgoPersistent* AOwner);

  // Offset of the shadow in pixels, and its size in percent of the object.
  std::int16_t Left = 1;
  std::int16_t Top = 1;
  std::int16_t SizeX = 100;
  std::int16_t SizeY = 100;

  void SetDefaults();
  void Init() override;

  std::int16_t GetLeft() const { return Left; }
  void SetLeft(std::int16_t Value);
  std::int16_t GetTop() const { return Top; }
  void SetTop(std::int16_t Value);
  std::int16_t GetSizeX() const { return SizeX; }
  void SetSizeX(std::int16_t Value);
  std::int16_t GetSizeY() const { return SizeY; }
  void SetSizeY(std::int16_t Value);

  void CalcAddXY() override;
  std::unique_ptr<tFulgoDib> MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                         std::int16_t& OffY) override;

 private:
  // The offsets as drawn: within a bitmap side either way.
  std::int16_t DrawnLeft() const;
  std::int16_t DrawnTop() const;
};

// The layers of an object, in the order they are prepared, rendered and measured. It owns them.
class tLayersList : public tOwningQorList<tFulgoLayer> {
 public:
  // The Index-th active layer; raises EListError past the last one.
  tFulgoLayer* GetActiveLayer(int Index) const { return GetActiveTyped(Index); }
};

}  // namespace vantora
VANTORA_API_END

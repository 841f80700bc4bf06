// Unit Fullbl: TFulgoLabel, a windowless control showing one label art (a text over a background)
// whose Caption is the text the art shows; oFulgoLabel, the variant for labels made in code, joins
// its window's shared palette by itself and never stores its palette component.
#pragma once

#include <memory>

#include "VantoraExport.h"
#include "controls/Fulcust.h"
#include "model/Fullblart.h"

VANTORA_API_BEGIN
namespace vantora {

class TFulgoLabel : public TFulgoGraphicControl {
  VANTORA_PERSISTENT(TFulgoLabel)

  explicit TFulgoLabel(host::TComponent* AOwner);
  ~TFulgoLabel() override;

  std::unique_ptr<tFulgoLabelArt> Art;

  void WndProc(host::TMessage& Message) override;
  void AddFulgoArt() override;
  void ComponentDefaults() override;
  void Init() override;
  void SetDefaults() {}
  void CaptionChanged();
  tFulgoLabelArt* GetArt() const { return Art.get(); }
};

class oFulgoLabel : public TFulgoLabel {
  VANTORA_PERSISTENT(oFulgoLabel)

  explicit oFulgoLabel(host::TComponent* AOwner);
};

}  // namespace vantora
VANTORA_API_END

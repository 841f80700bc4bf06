// Unit Fulgen: TFulgoGen, the generic control that shows one art handed to it from outside (the
// wizard's preview); it neither owns nor creates an art.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "controls/Fulcust.h"
#include "model/Fulback.h"
#include "model/Fultext.h"

VANTORA_API_BEGIN
namespace vantora {

class TFulgoGen : public TFulgoGraphicControl {
  VANTORA_PERSISTENT(TFulgoGen)

  explicit TFulgoGen(host::TComponent* AOwner);
  ~TFulgoGen() override;

  // Not owned: the art belongs to whoever handed it over.
  tFulgoArt* Art = nullptr;
  tFulgoText* FulgoText = nullptr;
  tFulgoBackground* FulgoBackground = nullptr;
  // Copied into the needed size of the art; -1 sizes it to its content.
  std::int32_t RequiredWidth = -1;
  std::int32_t RequiredHeight = -1;

  void AddFulgoArt() override {}
  void Init() override;
  void SetDefaults();
  tFulgoArt* GetFulgoArt() const { return Art; }
  // Shows Art; its last text and background objects become FulgoText and FulgoBackground.
  void SetFulgoArt(tFulgoArt* Value);
};

}  // namespace vantora
VANTORA_API_END

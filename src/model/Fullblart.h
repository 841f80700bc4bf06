// Unit Fullblart: tFulgoLabelArt, the art of the label and the panel: a background with a text
// composed over it.
#pragma once

#include <memory>

#include "VantoraExport.h"
#include "model/Fulback.h"
#include "model/Fulgoart.h"
#include "model/Fultext.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoLabelArt : public tFulgoArt {
  VANTORA_PERSISTENT(tFulgoLabelArt)

  explicit tFulgoLabelArt(tFulgoPersistent* AOwner);

  // Owned through the object list.
  tFulgoBackground* FulgoBackground = nullptr;
  tFulgoText* FulgoText = nullptr;

  // Background first, so the text is composed over it.
  void AddFulgoObjects() override;
  std::unique_ptr<tFulgoArt> NewArt() const override;

  tFulgoText* GetFulgoText() const { return FulgoText; }
  tFulgoBackground* GetFulgoBackground() const { return FulgoBackground; }
};

}  // namespace vantora
VANTORA_API_END

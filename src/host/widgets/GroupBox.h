// A group box: an etched frame round its children with the caption set into its top edge.
#pragma once

#include "VantoraExport.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TCustomGroupBox : public TCustomControl {
  VANTORA_PERSISTENT(TCustomGroupBox)

  explicit TCustomGroupBox(TComponent* owner);

 protected:
  void Paint() override;
  RECT AlignArea() const override;
  void CMDialogChar(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
};

class TGroupBox : public TCustomGroupBox {
  VANTORA_PERSISTENT(TGroupBox)
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

}  // namespace vantora::host
VANTORA_API_END

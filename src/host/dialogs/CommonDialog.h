// What every dialog component shares: Execute shows it modally (or takes a scripted answer) and
// answers whether the user confirmed.
#pragma once

#include "VantoraExport.h"
#include "host/classes/Persistent.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TCommonDialog : public TComponent {
  VANTORA_PERSISTENT(TCommonDialog)
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  virtual bool Execute() = 0;
};

}  // namespace vantora::host
VANTORA_API_END

// What every dialog component shares: Execute shows it modally (or takes a scripted answer) and
// answers whether the user confirmed.
#pragma once

#include "host/classes/Persistent.h"

namespace vantora::host {

class TCommonDialog : public TComponent {
  VANTORA_PERSISTENT(TCommonDialog)
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  virtual bool Execute() = 0;
};

}  // namespace vantora::host

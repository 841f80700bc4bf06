// A timer component: OnTimer every Interval milliseconds of the backend's clock while Enabled.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/classes/Types.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TTimer : public TComponent {
  VANTORA_PERSISTENT(TTimer)

  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t value);

  TNotifyEvent OnTimer;

  void Loaded() override;

 private:
  // Restarts the count from now (or stops it).
  void UpdateTimer();
  void Fire();
  bool enabled_ = true;
  std::uint32_t interval_ = 1000;
};

}  // namespace vantora::host
VANTORA_API_END

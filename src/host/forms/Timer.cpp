#include "host/forms/Timer.h"

#include "host/forms/WindowSystem.h"

namespace vantora::host {

const TClass& TTimer::StaticClass() {
  static const TClass& cls = ClassBuilder<TTimer>("TTimer", TComponent::StaticClass())
                                 .Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
                                 .Property("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
                                 .Method("OnTimer")
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TTimer);

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  UpdateTimer();
}

TTimer::~TTimer() {
  windowing::RemoveCallbackTimers(this);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  windowing::RemoveCallbackTimers(this);
  if (enabled_ && interval_ > 0 && !IsLoading() && !IsDesigning())
    windowing::AddCallbackTimer(this, interval_, [this] { Fire(); });
}

void TTimer::Fire() {
  // A copy: the handler may free this timer.
  const TNotifyEvent handler = OnTimer;
  if (handler) handler(this);
}

}  // namespace vantora::host

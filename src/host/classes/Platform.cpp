#include "host/classes/Platform.h"

namespace vantora::host {

int HeadlessMessageBox::Show(const std::string& text, const std::string& caption, std::uint32_t flags) {
  shown_.push_back({text, caption, flags});
  if (answers_.empty()) return IDOK;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

namespace {

template <class Interface, class Default>
struct ServiceSlot {
  std::unique_ptr<Interface> service = std::make_unique<Default>();

  Interface& Get() { return *service; }
  std::unique_ptr<Interface> Set(std::unique_ptr<Interface> next) {
    if (!next) next = std::make_unique<Default>();
    std::swap(service, next);
    return next;
  }
  Default* Headless() { return dynamic_cast<Default*>(service.get()); }
};

ServiceSlot<IMessageBoxService, HeadlessMessageBox>& MessageBoxSlot() {
  static ServiceSlot<IMessageBoxService, HeadlessMessageBox> slot;
  return slot;
}
ServiceSlot<IBeepService, HeadlessBeep>& BeepSlot() {
  static ServiceSlot<IBeepService, HeadlessBeep> slot;
  return slot;
}
ServiceSlot<IClockService, VirtualClock>& ClockSlot() {
  static ServiceSlot<IClockService, VirtualClock> slot;
  return slot;
}

}  // namespace

IMessageBoxService& MessageBoxService() { return MessageBoxSlot().Get(); }
std::unique_ptr<IMessageBoxService> SetMessageBoxService(std::unique_ptr<IMessageBoxService> service) {
  return MessageBoxSlot().Set(std::move(service));
}
IBeepService& BeepService() { return BeepSlot().Get(); }
std::unique_ptr<IBeepService> SetBeepService(std::unique_ptr<IBeepService> service) {
  return BeepSlot().Set(std::move(service));
}
IClockService& ClockService() { return ClockSlot().Get(); }
std::unique_ptr<IClockService> SetClockService(std::unique_ptr<IClockService> service) {
  return ClockSlot().Set(std::move(service));
}

HeadlessMessageBox* HeadlessMessageBoxInstalled() { return MessageBoxSlot().Headless(); }
HeadlessBeep* HeadlessBeepInstalled() { return BeepSlot().Headless(); }
VirtualClock* VirtualClockInstalled() { return ClockSlot().Headless(); }

int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
  return MessageBoxService().Show(text, caption, flags);
}
void MessageBeep(std::uint32_t type) { BeepService().Beep(type); }
std::uint32_t GetTickCount() { return ClockService().TickCount(); }

}  // namespace vantora::host

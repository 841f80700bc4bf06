// Platform services the library calls outside any window: the message box, the beep and the tick
// clock. Each sits behind a small interface; the headless implementations are the defaults, and an
// application installs its own message box and its backend's bell while it lives.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Message box flags and results keep their classic values, which callers combine and compare.
inline constexpr std::uint32_t MB_OK = 0x0000;
inline constexpr std::uint32_t MB_OKCANCEL = 0x0001;
inline constexpr std::uint32_t MB_YESNO = 0x0004;
inline constexpr std::uint32_t MB_ICONHAND = 0x0010;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x0020;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x0030;
inline constexpr std::uint32_t MB_ICONASTERISK = 0x0040;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class IMessageBoxService {
 public:
  virtual ~IMessageBoxService() = default;
  virtual int Show(const std::string& text, const std::string& caption, std::uint32_t flags) = 0;
};

class IBeepService {
 public:
  virtual ~IBeepService() = default;
  virtual void Beep(std::uint32_t type) = 0;
};

class IClockService {
 public:
  virtual ~IClockService() = default;
  virtual std::uint32_t TickCount() = 0;  // milliseconds, wrapping like the classic tick counter
};

// Records every box instead of showing it and answers from a script (IDOK when the script is empty).
class HeadlessMessageBox : public IMessageBoxService {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    std::uint32_t flags;
  };
  int Show(const std::string& text, const std::string& caption, std::uint32_t flags) override;
  void ScriptAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<Shown>& History() const { return shown_; }
  void ClearHistory() { shown_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<Shown> shown_;
};

class HeadlessBeep : public IBeepService {
 public:
  void Beep(std::uint32_t) override { ++count_; }
  int Count() const { return count_; }
  void Reset() { count_ = 0; }

 private:
  int count_ = 0;
};

// A clock that only moves when told to, so timing behaviour is exact in tests.
class VirtualClock : public IClockService {
 public:
  std::uint32_t TickCount() override { return now_; }
  void Advance(std::uint32_t ms) { now_ += ms; }

 private:
  std::uint32_t now_ = 0;
};

// The installed services. Each setter returns the previous service so a caller can restore it.
IMessageBoxService& MessageBoxService();
std::unique_ptr<IMessageBoxService> SetMessageBoxService(std::unique_ptr<IMessageBoxService> service);
IBeepService& BeepService();
std::unique_ptr<IBeepService> SetBeepService(std::unique_ptr<IBeepService> service);
IClockService& ClockService();
std::unique_ptr<IClockService> SetClockService(std::unique_ptr<IClockService> service);

// The headless defaults, reachable for tests while they are installed (null otherwise).
HeadlessMessageBox* HeadlessMessageBoxInstalled();
HeadlessBeep* HeadlessBeepInstalled();
VirtualClock* VirtualClockInstalled();

// The classic entry points the library calls.
int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags);
void MessageBeep(std::uint32_t type = 0);
std::uint32_t GetTickCount();

}  // namespace vantora::host
VANTORA_API_END

#include "host/forms/WindowSystem.h"

#include <algorithm>
#include <unordered_set>

#include "host/graphics/Screen.h"

namespace vantora::host {

namespace windowing {

namespace {

std::unordered_set<const TControl*>& Live() {
  static std::unordered_set<const TControl*> live;
  return live;
}

bool Due(std::uint32_t due, std::uint32_t now) {
  return static_cast<std::int32_t>(now - due) >= 0;
}

TimerEntry* FindTimer(std::uint64_t serial) {
  auto& timers = Current().timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [serial](const TimerEntry& t) { return t.serial == serial; });
  return it == timers.end() ? nullptr : &*it;
}

std::uint32_t Now() {
  TBackend* backend = Current().backend;
  return backend ? backend->GetTickCount() : 0;
}

}  // namespace

State& Current() {
  static State state;
  return state;
}

bool IsAlive(const TControl* control) {
  return Live().contains(control);
}

void Register(TControl* control) {
  Live().insert(control);
}

void Forget(TControl* control) {
  Live().erase(control);
  State& state = Current();
  if (state.capture == control) ReleaseCapture();
  if (state.hover == control) state.hover = nullptr;
  if (state.focus == control) state.focus = nullptr;
  if (state.active == control) state.active = nullptr;
  if (state.dropDown == control || state.dropDownOwner == control) {
    state.dropDown = nullptr;
    state.dropDownOwner = nullptr;
  }
  std::erase(state.modal, control);
  std::erase_if(state.posted, [control](const PostedMessage& m) { return m.target == control; });
  std::erase_if(state.timers, [control](const TimerEntry& t) { return t.target == control; });
}

void ChangeFocus(TWinControl* control) {
  State& state = Current();
  TWinControl* old = state.focus;
  if (old == control) return;
  state.focus = control;
  if (old) {
    old->Perform(CM_EXIT);
    if (IsAlive(old)) old->Perform(WM_KILLFOCUS);
  }
  // A handler may have moved the focus again.
  if (!control || state.focus != control || !IsAlive(control)) return;
  if (TWinControl* top = control->TopLevel()) top->FocusChanged(control);
  control->Perform(CM_ENTER);
  if (IsAlive(control)) control->Perform(WM_SETFOCUS);
}

void CancelDropDown() {
  if (TControl* owner = Current().dropDownOwner) owner->Perform(WM_CANCELMODE);
}

void CancelDropDownWithin(const TControl& control) {
  for (const TControl* c = Current().dropDownOwner; c; c = c->Parent())
    if (c == &control) return CancelDropDown();
}

void ActivateWindow(TWinControl* window) {
  State& state = Current();
  if (state.active == window) return;
  // A drop-down belongs to its form's moment of input; another window taking over ends it.
  if (state.dropDown && state.dropDown->TopLevel() != window) CancelDropDown();
  TWinControl* old = state.active;
  state.active = window;
  if (old) old->Perform(CM_DEACTIVATE);
  if (window && IsAlive(window)) window->Perform(CM_ACTIVATE);
  NegotiatePalettes();
}

void NegotiatePalettes() {
  State& state = Current();
  if (state.active && state.active->IsShowing()) state.active->PaletteChanged(true);
  for (TWinControl* top : std::vector<TWinControl*>(state.topLevels))
    if (top != state.active && IsAlive(top) && top->IsShowing()) top->PaletteChanged(false);
  if (GetDisplayMode() != DisplayMode::Palette256) return;
  for (TWinControl* top : state.topLevels)
    if (top->IsShowing() && top->HandleAllocated()) top->InvalidateWindowRect(top->ClientRect());
}

bool DispatchPosted() {
  State& state = Current();
  // Only what was posted before this turn: a handler that posts again waits for the next one.
  std::size_t count = state.posted.size();
  bool any = false;
  while (count-- > 0 && !state.posted.empty()) {
    PostedMessage posted = state.posted.front();
    state.posted.pop_front();
    any = true;
    try {
      posted.target->Perform(posted.message.Msg, posted.message.WParam, posted.message.LParam);
    } catch (...) {
      ReportCurrentException();
    }
  }
  return any;
}

bool FireDueTimers() {
  State& state = Current();
  if (!state.backend || state.timers.empty()) return false;
  std::vector<std::uint64_t> serials;
  for (const TimerEntry& t : state.timers) serials.push_back(t.serial);
  bool fired = false;
  for (std::uint64_t serial : serials) {
    TimerEntry* timer = FindTimer(serial);
    const std::uint32_t now = Now();
    if (!timer || timer->firing || !Due(timer->due, now)) continue;
    // Late timers fire once, not once per missed interval.
    timer->due = now + timer->interval;
    timer->firing = true;
    fired = true;
    TControl* target = timer->target;
    const UINT_PTR id = timer->id;
    const std::function<void()> callback = timer->callback;
    try {
      if (target)
        target->Perform(WM_TIMER, id);
      else
        callback();
    } catch (...) {
      if (TimerEntry* again = FindTimer(serial)) again->firing = false;
      ReportCurrentException();
      continue;
    }
    if (TimerEntry* again = FindTimer(serial)) again->firing = false;
  }
  return fired;
}

std::uint32_t TimeToNextTimer() {
  State& state = Current();
  if (!state.backend) return kWaitForever;
  const std::uint32_t now = Now();
  std::uint32_t wait = kWaitForever;
  for (const TimerEntry& t : state.timers) {
    if (t.firing) continue;
    const auto left = static_cast<std::int32_t>(t.due - now);
    wait = std::min(wait, left <= 0 ? 0u : static_cast<std::uint32_t>(left));
  }
  return wait;
}

UINT_PTR AddCallbackTimer(const void* owner, UINT interval, std::function<void()> callback) {
  State& state = Current();
  TimerEntry entry{state.nextTimerSerial++,     nullptr, owner, 0,
                   std::max<UINT>(interval, 1), 0,       false, std::move(callback)};
  entry.id = static_cast<UINT_PTR>(entry.serial);
  entry.due = Now() + entry.interval;
  state.timers.push_back(std::move(entry));
  return state.timers.back().id;
}

void RemoveCallbackTimers(const void* owner) {
  std::erase_if(Current().timers, [owner](const TimerEntry& t) { return !t.target && t.owner == owner; });
}

void FreeDeviceContexts() {
  while (!Current().canvasesWithDc.empty()) Current().canvasesWithDc.back()->FreeHandle();
}

void ReportCurrentException() {
  auto& handler = Current().exceptionHandler;
  if (!handler) throw;
  handler(std::current_exception());
}

}  // namespace windowing

UINT_PTR SetTimer(TControl* control, UINT_PTR id, UINT interval) {
  if (!control || !windowing::IsAlive(control)) return 0;
  auto& state = windowing::Current();
  interval = std::max<UINT>(interval, 1);
  const std::uint32_t now = state.backend ? state.backend->GetTickCount() : 0;
  for (windowing::TimerEntry& t : state.timers) {
    if (t.target == control && t.id == id) {
      t.interval = interval;
      t.due = now + interval;
      return id;
    }
  }
  state.timers.push_back(
      {state.nextTimerSerial++, control, nullptr, id, interval, now + interval, false, {}});
  return id;
}

bool KillTimer(TControl* control, UINT_PTR id) {
  return std::erase_if(windowing::Current().timers,
                       [&](const windowing::TimerEntry& t) { return t.target == control && t.id == id; }) > 0;
}

}  // namespace vantora::host

// The window system's shared state inside the forms layer: the backend in use, capture, focus,
// hover, the active top-level window, posted messages and timers. Only the forms layer's own
// sources include this header.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

#include "VantoraExport.h"
#include "host/backends/Backend.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host::windowing {

struct PostedMessage {
  TControl* target;
  TMessage message;
};

struct TimerEntry {
  std::uint64_t serial;
  TControl* target;   // gets WM_TIMER; null for a callback timer
  const void* owner;  // the callback timer's owner
  UINT_PTR id;
  UINT interval;
  std::uint32_t due;
  bool firing = false;
  std::function<void()> callback;
};

struct State {
  TBackend* backend = nullptr;
  TControl* capture = nullptr;
  TWinControl* focus = nullptr;
  TControl* hover = nullptr;
  TWinControl* active = nullptr;
  TWinControl* dropDown = nullptr;  // the open drop-down window, above everything of its form
  TControl* dropDownOwner = nullptr;
  std::deque<PostedMessage> posted;
  std::vector<TimerEntry> timers;
  std::uint64_t nextTimerSerial = 1;
  std::vector<TWinControl*> topLevels;
  std::vector<TWinControl*> modal;  // forms in their modal loops, innermost last
  std::vector<TControlCanvas*> canvasesWithDc;
  // Shows an exception that escaped a handler; without one the exception propagates.
  std::function<void(std::exception_ptr)> exceptionHandler;
};

State& Current();

bool IsAlive(const TControl* control);
void Register(TControl* control);
void Forget(TControl* control);

// Moves the keyboard focus; CM_EXIT/CM_ENTER and the kill/set focus messages follow.
void ChangeFocus(TWinControl* control);
// Asks the open drop-down's owner to close it (WM_CANCELMODE): when Control, one of its ancestors,
// stops showing, is disabled or leaves the tree.
void CancelDropDownWithin(const TControl& control);
void CancelDropDown();
// Makes Window the active top-level window and negotiates palettes.
void ActivateWindow(TWinControl* window);
// The active window realises its palette in the foreground, every other showing window in the
// background; on a palette display everything is repainted so that colours map anew.
void NegotiatePalettes();

// Runs the messages posted before the call; answers whether there were any.
bool DispatchPosted();
// Fires every due timer once; answers whether one fired.
bool FireDueTimers();
// Milliseconds until the next timer is due, kWaitForever when none runs.
std::uint32_t TimeToNextTimer();
UINT_PTR AddCallbackTimer(const void* owner, UINT interval, std::function<void()> callback);
void RemoveCallbackTimers(const void* owner);
// Gives back the contexts canvases took outside a paint.
void FreeDeviceContexts();
// Reports an exception that escaped a handler (call inside a catch block).
void ReportCurrentException();

}  // namespace vantora::host::windowing
VANTORA_API_END

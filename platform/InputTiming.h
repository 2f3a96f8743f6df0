#pragma once

namespace qn {

// The kinds of user input whose last occurrence the desktop can date.
enum class InputEventType { KeyDown, LeftMouseDown, RightMouseDown, ScrollWheel, LeftMouseDragged };

// Whose input counts: everything the session saw (synthetic events included), or only what the
// hardware produced.
enum class InputSourceState { CombinedSession, HIDSystem };

// When the user last typed, clicked, scrolled or dragged. The pointer's location is
// Screens::mouseLocation.
class InputTiming {
 public:
  virtual ~InputTiming() = default;
  // Seconds since the last event of the type; a very large number when there was none.
  virtual double secondsSinceLastEvent(InputSourceState state, InputEventType type) = 0;
};

}  // namespace qn

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Geometry.h"
#include "platform/Menu.h"

namespace qn {

// A native control inside a panel. Frames are in the coordinates of the control's parent (the
// panel's content, or the box it was added to): origin at the top left, y down.
class Control {
 public:
  virtual ~Control() = default;
  virtual void setFrame(Rect frame) = 0;
  virtual Rect frame() const = 0;
  virtual void setHidden(bool hidden) = 0;
  virtual bool isHidden() const = 0;
};

// A wrapping, non-selectable text label; it starts empty.
class Label : public Control {
 public:
  virtual void setText(const std::string& text) = 0;
  virtual const std::string& text() const = 0;
  virtual void setColor(Color color) = 0;
  virtual Color color() const = 0;
  // The height the text needs when wrapped at the width, never more than maxHeight.
  virtual double heightForWidth(double width, double maxHeight) const = 0;
};

// A push button with a rounded bezel. A click acts at once, also on a panel that is not focused
// and whose application is not active.
class Button : public Control {
 public:
  virtual void setTitle(const std::string& title) = 0;
  virtual const std::string& title() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
  // The width the button needs to show its title on one line.
  virtual double naturalWidth() const = 0;
  // Called on the main loop when the user clicks the enabled button.
  std::function<void()> onPress;
};

// A row of segments of which at most one is selected.
class SegmentedControl : public Control {
 public:
  // -1 selects none.
  virtual void setSelected(int index) = 0;
  virtual int selected() const = 0;
  // Called on the main loop when the user clicks a segment, after the selection changed to it.
  std::function<void()> onSelect;
};

// A plain rectangle filled with a colour; other boxes can sit inside it.
class Box : public Control {
 public:
  virtual void setColor(Color color) = 0;
  virtual Color color() const = 0;
};

// What a drawn view shows and how it takes the pointer; positions are the view's own (top
// left origin, y down).
class ViewContent {
 public:
  virtual ~ViewContent() = default;
  virtual void draw(Canvas& canvas, Size bounds) = 0;
  virtual void mouseMoved(Point) {}
  virtual void mouseExited() {}
  virtual void mouseDown(Point) {}
};

// A view drawn by its content, e.g. with Cairo on the desktop.
class DrawnView : public Control {
 public:
  // Asks for a redraw on the next pass of the main loop.
  virtual void setNeedsDisplay() = 0;
};

struct ButtonStyle {
  std::string title;
  Font font{11.5, FontWeight::Regular};
};

}  // namespace qn

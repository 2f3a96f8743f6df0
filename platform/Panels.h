#pragma once

#include <functional>
#include <memory>

#include "platform/Canvas.h"
#include "platform/Controls.h"
#include "platform/Geometry.h"

namespace qn {

// What a panel shows and how it takes the pointer. Pointer positions are global, in desktop
// coordinates (origin at the bottom left of the primary screen, y up), so a gesture survives
// the panel moving under the pointer.
class PanelContent {
 public:
  virtual ~PanelContent() = default;
  virtual void draw(Canvas& canvas, Size bounds) = 0;
  virtual void mouseDown(Point) {}
  virtual void mouseDragged(Point) {}
  virtual void mouseUp(Point) {}
  virtual void rightMouseDown(Point) {}
  virtual void mouseEntered() {}
  virtual void mouseExited() {}
};

// How a panel behaves towards the window system.
struct PanelRecipe {
  // Higher levels stay above lower ones; normal application windows are level 0.
  int level = 25;
  bool opaque = false;
  bool shadow = true;
  bool hidesOnDeactivate = false;
  bool movableByWindowServer = false;
  // Shown on every workspace, never in window cycling or a taskbar.
  bool allWorkspaces = true;
};

// A borderless window that never takes the keyboard focus and never activates its application:
// showing or clicking it leaves the user's application frontmost.
class Panel {
 public:
  virtual ~Panel() = default;
  // The frame in desktop coordinates.
  virtual void setFrame(Rect frame) = 0;
  virtual Rect frame() const = 0;
  virtual void setLevel(int level) = 0;
  virtual int level() const = 0;
  // Shows the panel above others of its level without activating the application.
  virtual void orderFrontRegardless() = 0;
  virtual void orderOut() = 0;
  virtual bool isVisible() const = 0;
  // The panel's opacity, 0 to 1; animated over the duration, then completion runs on the main
  // loop (also when a later call replaced the animation).
  virtual void setAlphaValue(double alpha) = 0;
  virtual double alphaValue() const = 0;
  virtual void animateAlpha(double alpha, double seconds, std::function<void()> completion) = 0;
  // The content is not owned; it must outlive the panel or be replaced first.
  virtual void setContent(PanelContent* content) = 0;
  // Asks for a redraw of the content on the next pass of the main loop.
  virtual void setNeedsDisplay() = 0;
  // The panel can be moved by dragging its background (not its controls).
  virtual void setMovableByBackground(bool movable) = 0;

  // Native controls above the content, drawn in the order they were added. The panel owns them;
  // they live as long as the panel. A box given as parent holds the new control inside it.
  virtual Label* addLabel(Font font, Color color) = 0;
  virtual Button* addButton(const ButtonStyle& style) = 0;
  virtual SegmentedControl* addSegmentedControl(const std::vector<std::string>& titles,
                                                Font font) = 0;
  virtual Box* addBox(Color color, double cornerRadius, Box* parent = nullptr) = 0;
  // The content is not owned; it must outlive the panel.
  virtual DrawnView* addDrawnView(ViewContent* content) = 0;
};

class Panels {
 public:
  virtual ~Panels() = default;
  virtual std::unique_ptr<Panel> makePanel(Rect contentRect, const PanelRecipe& recipe) = 0;
  // Shows a context menu at the point (desktop coordinates) and returns at once; the chosen
  // item's action runs later on the main loop. Nothing runs when the menu is dismissed.
  virtual void popUpMenu(const std::vector<MenuItem>& items, Point at) = 0;
};

}  // namespace qn

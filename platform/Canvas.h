#pragma once

#include <string>

#include "platform/Geometry.h"

namespace qn {

enum class FontWeight { Regular, Semibold, Bold };

// The system font with digits of one width, at a size in points.
struct Font {
  double size = 13;
  FontWeight weight = FontWeight::Regular;
};

// Drawing into a view. Coordinates are the view's own: origin at the top left, y down.
class Canvas {
 public:
  virtual ~Canvas() = default;
  // Fills a rectangle whose four corners are rounded with the radius.
  virtual void fillRoundedRect(Rect rect, double radius, Color color) = 0;
  virtual void fillOval(Rect rect, Color color) = 0;
  // The advance width of the text in the font.
  virtual double textWidth(const std::string& text, Font font) = 0;
  // The height of one line of text in the font.
  virtual double lineHeight(Font font) = 0;
  // Draws one line of text whose top left corner is at the point.
  virtual void drawText(const std::string& text, Point topLeft, Font font, Color color) = 0;
  // Draws one line of text inside the rectangle, cut at the end with an ellipsis when it is wider.
  virtual void drawTextTruncated(const std::string& text, Rect rect, Font font, Color color) = 0;
};

}  // namespace qn

#pragma once

#include <string>
#include <vector>

#include "base/Image.h"
#include "platform/Geometry.h"

namespace qn {

enum class FontWeight { Regular, Medium, Semibold, Bold };

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

  // Saves and restores the clip; calls pair up.
  virtual void save() = 0;
  virtual void restore() = 0;
  // Narrows the clip to a rectangle with rounded corners.
  virtual void clipRoundedRect(Rect rect, double radius) = 0;
  virtual void strokeRoundedRect(Rect rect, double radius, double lineWidth, Color color) = 0;
  // A closed polygon through the points.
  virtual void fillPolygon(const std::vector<Point>& points, Color color) = 0;
  virtual void strokePolygon(const std::vector<Point>& points, double lineWidth, Color color) = 0;
  // The whole image stretched into the rectangle, replacing what was there, smoothly scaled.
  virtual void drawImage(const Image& image, Rect rect) = 0;
};

}  // namespace qn

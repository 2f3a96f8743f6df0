#pragma once

#include <cairo.h>

#include "platform/Canvas.h"

namespace qn {

// Draws with Cairo; text with Pango in the system font with tabular digits, sized in pixels so
// that a point of the ports is a pixel on screen.
class GtkCanvas : public Canvas {
 public:
  explicit GtkCanvas(cairo_t* cr) : cr_(cr) {}
  void fillRoundedRect(Rect rect, double radius, Color color) override;
  void fillOval(Rect rect, Color color) override;
  double textWidth(const std::string& text, Font font) override;
  double lineHeight(Font font) override;
  void drawText(const std::string& text, Point topLeft, Font font, Color color) override;
  void drawTextTruncated(const std::string& text, Rect rect, Font font, Color color) override;
  void save() override;
  void restore() override;
  void clipRoundedRect(Rect rect, double radius) override;
  void strokeRoundedRect(Rect rect, double radius, double lineWidth, Color color) override;
  void fillPolygon(const std::vector<Point>& points, Color color) override;
  void strokePolygon(const std::vector<Point>& points, double lineWidth, Color color) override;
  void drawImage(const Image& image, Rect rect) override;

 private:
  cairo_t* cr_;
};

}  // namespace qn

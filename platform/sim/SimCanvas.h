#pragma once

#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace qn {

// The simulated desktop's text metrics: 0.6 of the font size per code point, lines 1.25 times
// the font size high.
double simTextWidth(const std::string& text, Font font);
double simLineHeight(Font font);

// Records every drawing call, measuring text with the metrics above.
class SimCanvas : public Canvas {
 public:
  enum class Kind {
    RoundedRect,
    Oval,
    Text,
    Save,
    Restore,
    Clip,
    StrokeRoundedRect,
    FillPolygon,
    StrokePolygon,
    Image
  };
  struct Op {
    Kind kind = Kind::RoundedRect;
    // For text: the top left corner and the measured width, height = font size; for truncated
    // text the rectangle it was given.
    Rect rect{};
    double radius = 0;
    Color color{};
    std::string text{};
    Font font{};
    double lineWidth = 0;
    std::vector<Point> points{};
    // For an image: its size in pixels.
    Size imageSize{};
  };

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

  std::vector<Op> ops;
  // The operations of one kind, in order.
  std::vector<Op> opsOf(Kind kind) const;
  // The texts drawn, in order.
  std::vector<std::string> texts() const;
  const Op* findText(const std::string& text) const;
};

}  // namespace qn

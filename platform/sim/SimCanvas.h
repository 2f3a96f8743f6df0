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
  enum class Kind { RoundedRect, Oval, Text };
  struct Op {
    Kind kind;
    // For text: the top left corner and the measured width, height = font size; for truncated
    // text the rectangle it was given.
    Rect rect;
    double radius = 0;
    Color color;
    std::string text;
    Font font;
  };

  void fillRoundedRect(Rect rect, double radius, Color color) override;
  void fillOval(Rect rect, Color color) override;
  double textWidth(const std::string& text, Font font) override;
  double lineHeight(Font font) override;
  void drawText(const std::string& text, Point topLeft, Font font, Color color) override;
  void drawTextTruncated(const std::string& text, Rect rect, Font font, Color color) override;

  std::vector<Op> ops;
  // The texts drawn, in order.
  std::vector<std::string> texts() const;
  const Op* findText(const std::string& text) const;
};

}  // namespace qn

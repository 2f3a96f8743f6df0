#pragma once

#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace qn {

// Records every drawing call. Text is measured as 0.6 of the font size per code point.
class SimCanvas : public Canvas {
 public:
  enum class Kind { RoundedRect, Oval, Text };
  struct Op {
    Kind kind;
    Rect rect;  // for text: the top left corner and the measured width, height = font size
    double radius = 0;
    Color color;
    std::string text;
    Font font;
  };

  void fillRoundedRect(Rect rect, double radius, Color color) override;
  void fillOval(Rect rect, Color color) override;
  double textWidth(const std::string& text, Font font) override;
  void drawText(const std::string& text, Point topLeft, Font font, Color color) override;

  std::vector<Op> ops;
  // The texts drawn, in order.
  std::vector<std::string> texts() const;
  const Op* findText(const std::string& text) const;
};

}  // namespace qn

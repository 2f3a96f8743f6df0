#include "platform/sim/SimCanvas.h"

namespace qn {

void SimCanvas::fillRoundedRect(Rect rect, double radius, Color color) {
  ops.push_back(Op{Kind::RoundedRect, rect, radius, color, {}, {}});
}

void SimCanvas::fillOval(Rect rect, Color color) {
  ops.push_back(Op{Kind::Oval, rect, 0, color, {}, {}});
}

double simTextWidth(const std::string& text, Font font) {
  double codePoints = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++codePoints;
  return codePoints * font.size * 0.6;
}

double simLineHeight(Font font) {
  return font.size * 1.25;
}

double SimCanvas::textWidth(const std::string& text, Font font) {
  return simTextWidth(text, font);
}

double SimCanvas::lineHeight(Font font) {
  return simLineHeight(font);
}

void SimCanvas::drawText(const std::string& text, Point topLeft, Font font, Color color) {
  ops.push_back(
      Op{Kind::Text, Rect{topLeft, {textWidth(text, font), font.size}}, 0, color, text, font});
}

void SimCanvas::drawTextTruncated(const std::string& text, Rect rect, Font font, Color color) {
  ops.push_back(Op{Kind::Text, rect, 0, color, text, font});
}

std::vector<std::string> SimCanvas::texts() const {
  std::vector<std::string> list;
  for (const auto& op : ops)
    if (op.kind == Kind::Text) list.push_back(op.text);
  return list;
}

const SimCanvas::Op* SimCanvas::findText(const std::string& text) const {
  for (const auto& op : ops)
    if (op.kind == Kind::Text && op.text == text) return &op;
  return nullptr;
}

}  // namespace qn

#include "platform/sim/SimCanvas.h"

namespace qn {

void SimCanvas::fillRoundedRect(Rect rect, double radius, Color color) {
  ops.push_back(Op{.kind = Kind::RoundedRect, .rect = rect, .radius = radius, .color = color});
}

void SimCanvas::fillOval(Rect rect, Color color) {
  ops.push_back(Op{.kind = Kind::Oval, .rect = rect, .color = color});
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
  ops.push_back(Op{.kind = Kind::Text,
                   .rect = Rect{topLeft, {textWidth(text, font), font.size}},
                   .color = color,
                   .text = text,
                   .font = font});
}

void SimCanvas::drawTextTruncated(const std::string& text, Rect rect, Font font, Color color) {
  ops.push_back(Op{.kind = Kind::Text, .rect = rect, .color = color, .text = text, .font = font});
}

void SimCanvas::save() {
  ops.push_back(Op{.kind = Kind::Save});
}

void SimCanvas::restore() {
  ops.push_back(Op{.kind = Kind::Restore});
}

void SimCanvas::clipRoundedRect(Rect rect, double radius) {
  ops.push_back(Op{.kind = Kind::Clip, .rect = rect, .radius = radius});
}

void SimCanvas::strokeRoundedRect(Rect rect, double radius, double lineWidth, Color color) {
  ops.push_back(Op{.kind = Kind::StrokeRoundedRect,
                   .rect = rect,
                   .radius = radius,
                   .color = color,
                   .lineWidth = lineWidth});
}

void SimCanvas::fillPolygon(const std::vector<Point>& points, Color color) {
  ops.push_back(Op{.kind = Kind::FillPolygon, .color = color, .points = points});
}

void SimCanvas::strokePolygon(const std::vector<Point>& points, double lineWidth, Color color) {
  ops.push_back(
      Op{.kind = Kind::StrokePolygon, .color = color, .lineWidth = lineWidth, .points = points});
}

void SimCanvas::drawImage(const Image& image, Rect rect) {
  ops.push_back(Op{
      .kind = Kind::Image, .rect = rect, .imageSize = {double(image.width), double(image.height)}});
}

std::vector<SimCanvas::Op> SimCanvas::opsOf(Kind kind) const {
  std::vector<Op> list;
  for (const auto& op : ops)
    if (op.kind == kind) list.push_back(op);
  return list;
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

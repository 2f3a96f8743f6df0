#include "companion/worker/MirrorView.h"

#include <algorithm>

#include "companion/views/Colors.h"

namespace qn {

namespace {

constexpr Color kBackground{0.09, 0.10, 0.13, 1};
constexpr Color kDot{0.25, 0.85, 0.45, 1};
constexpr Color kPictureArea{0.07, 0.08, 0.10, 1};
constexpr Color kRipple{1, 0.45, 0.1, 1};

Color withAlpha(Color color, double alpha) {
  color.alpha = alpha;
  return color;
}

bool contains(Rect r, Point p) {
  return p.x >= r.origin.x && p.x <= r.origin.x + r.size.width && p.y >= r.origin.y &&
         p.y <= r.origin.y + r.size.height;
}

}  // namespace

Rect MirrorView::closeRect(double width) {
  return Rect{{width - 66, 5}, {58, 22}};
}

Rect MirrorView::closeR() const {
  return closeRect(panel_.frame().size.width);
}

Point MirrorView::local(Point global) const {
  const Rect frame = panel_.frame();
  return Point{global.x - frame.origin.x, frame.origin.y + frame.size.height - global.y};
}

void MirrorView::draw(Canvas& canvas, Size bounds) {
  const double w = bounds.width;
  const double h = bounds.height;
  const Rect whole{{0, 0}, bounds};
  const Rect picture{{0, top}, {w, h - top}};
  canvas.save();
  canvas.clipRoundedRect(whole, 12);
  canvas.fillRoundedRect(whole, 0, kBackground);
  canvas.fillOval(Rect{{12, 12}, {8, 8}}, kDot);
  canvas.drawText(caption, Point{27, 8}, Font{12, FontWeight::Medium}, white(0.92));
  const Rect close = closeRect(w);
  canvas.fillRoundedRect(close, 6, white(0.14));
  canvas.drawText(zh_ ? "收起" : "Hide", Point{close.origin.x + 16, close.origin.y + 3},
                  Font{12, FontWeight::Regular}, white(1));
  canvas.fillRoundedRect(picture, 0, kPictureArea);
  if (img) {
    canvas.drawImage(*img, picture);
  } else {
    const std::string text = zh_ ? "画面马上就来…" : "Connecting live view…";
    const Font font{13, FontWeight::Regular};
    canvas.drawText(text,
                    Point{w / 2 - canvas.textWidth(text, font) / 2,
                          top + picture.size.height / 2 - canvas.lineHeight(font) / 2},
                    font, white(0.45));
  }
  drawPointer(canvas, bounds);
  drawHint(canvas, picture);
  canvas.restore();
}

void MirrorView::drawPointer(Canvas& canvas, Size bounds) const {
  if (!cur) return;
  const double px = cur->x / size0.width * bounds.width;
  const double py = cur->y / size0.height * (bounds.height - top) + top;
  if (downT > 0) {
    const double r = (1 - downT) * 14 + 10;
    canvas.fillOval(Rect{{px - r, py - r}, {2 * r, 2 * r}}, withAlpha(kRipple, downT * 0.35));
  }
  const std::vector<Point> arrow{
      {px, py},           {px, py + 17},       {px + 4.2, py + 13.2}, {px + 7, py + 19.4},
      {px + 10, py + 18}, {px + 7.2, py + 12}, {px + 12.4, py + 11.6}};
  canvas.strokePolygon(arrow, 2.4, white(1));
  canvas.fillPolygon(arrow, Color{0, 0, 0, 1});
}

void MirrorView::drawHint(Canvas& canvas, Rect picture) const {
  if (hint <= 0) return;
  const std::string text =
      zh_ ? "这里只能看，点不到，不会打扰 AI" : "View only. Clicks here do nothing.";
  const Font font{14, FontWeight::Semibold};
  const double alpha = std::min(hint * 2, 1.0);
  const double tw = canvas.textWidth(text, font);
  const double th = canvas.lineHeight(font);
  const double cx = picture.origin.x + picture.size.width / 2;
  const double cy = picture.origin.y + picture.size.height / 2;
  const Rect pill{{cx - tw / 2 - 18, cy - 22}, {tw + 36, 44}};
  canvas.fillRoundedRect(pill, 12, Color{0, 0, 0, alpha * 0.75});
  canvas.drawText(text, Point{pill.origin.x + 18, cy - th / 2}, font, white(alpha));
}

void MirrorView::mouseDown(Point global) {
  const Point p = local(global);
  last_.reset();
  if (contains(closeR(), p)) {
    if (onClose) onClose();
  } else if (p.y < top) {
    last_ = global;
  } else {
    showHint();
  }
}

void MirrorView::mouseDragged(Point global) {
  if (!last_) return;
  if (onDragWin) onDragWin(Point{global.x - last_->x, global.y - last_->y});
  last_ = global;
}

void MirrorView::rightMouseDown(Point) {
  showHint();
}

void MirrorView::showHint() {
  hint = 1;
  if (onNeedsDisplay) onNeedsDisplay();
}

}  // namespace qn

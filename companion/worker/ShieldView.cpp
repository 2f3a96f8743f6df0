#include "companion/worker/ShieldView.h"

#include "companion/ScreenGeometry.h"
#include "companion/views/Colors.h"

namespace qn {

namespace {

Color gray(double level, double alpha = 1) {
  return Color{level, level, level, alpha};
}

constexpr Color kBorder{0.25, 0.85, 0.45, 0.9};

}  // namespace

Rect ShieldView::closeR(Size bounds) {
  return Rect{{bounds.width - 30, bounds.height - 26}, {22, 22}};
}

// Drawn from the bottom-left layout: a rectangle at y (y up) of height h sits at
// bounds.height - y - h on the canvas, and a text drawn "at" a point has its bottom there.
void ShieldView::draw(Canvas& canvas, Size bounds) {
  const double w = bounds.width;
  const double h = bounds.height;
  const Rect all{{0, 0}, {w, h}};
  if (img) {
    canvas.fillRoundedRect(all, 8, gray(0.09));
    canvas.drawImage(*img, Rect{{0, top}, {w, h - top}});
  } else {
    // Invisible, but the panel still takes the pointer.
    canvas.fillRoundedRect(all, 0, Color{0, 0, 0, 0.012});
  }
  canvas.fillRoundedRect(Rect{{0, 0}, {w, 30}}, 8, gray(0.12, 0.92));

  const Font captionFont{12.5, FontWeight::Medium};
  canvas.drawText(caption, Point{12, 30 - 8 - canvas.lineHeight(captionFont)}, captionFont,
                  white(1));
  const Rect close = closeR(bounds);
  const Font markFont{13, FontWeight::Bold};
  const double markBottom = h - (close.origin.y + 3);
  canvas.drawText("✕", Point{close.origin.x + 5, markBottom - canvas.lineHeight(markFont)},
                  markFont, white(0.85));

  canvas.strokeRoundedRect(Rect{{1, 1}, {w - 2, h - 2}}, 8, 2, kBorder);

  if (hint > 0) {
    const std::string text =
        zh_ ? "只能看，点不到（AI 正在操作）。要自己来：右键边缘控件选「我自己来」"
            : "View only (AI is working). To take over, right-click the edge tab > Take over";
    const Font hintFont{13, FontWeight::Medium};
    const double tw = canvas.textWidth(text, hintFont);
    const double th = canvas.lineHeight(hintFont);
    const Rect pill{{w / 2 - tw / 2 - 14, h / 2 - 18}, {tw + 28, 36}};
    canvas.fillRoundedRect(pill, 10, gray(0.1, 0.88));
    const double textBottom = h / 2 + 18 - 10;
    canvas.drawText(text, Point{pill.origin.x + 14, textBottom - th}, hintFont, white(1));
  }
}

void ShieldView::mouseDown(Point global) {
  click(global);
}

void ShieldView::rightMouseDown(Point global) {
  click(global);
}

void ShieldView::click(Point global) {
  if (host == nullptr) return;
  const Rect frame = host->frame();
  const Point p{global.x - frame.origin.x, global.y - frame.origin.y};
  if (contains(closeR(frame.size), p)) {
    if (onClose) onClose();
    return;
  }
  hint = 1;
  if (onHint) onHint();
}

}  // namespace qn

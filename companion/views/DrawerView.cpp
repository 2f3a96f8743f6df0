#include "companion/views/DrawerView.h"

namespace qn {

void DrawerView::draw(Canvas& canvas, Size bounds) {
  canvas.fillRoundedRect(Rect{{0, 0}, bounds}, kCornerRadius, kBackground);
}

void DrawerView::mouseEntered() {
  if (onHover) onHover(true);
}

void DrawerView::mouseExited() {
  if (onHover) onHover(false);
}

}  // namespace qn

#include "companion/views/AskView.h"

namespace qn {

void AskView::draw(Canvas& canvas, Size bounds) {
  canvas.fillRoundedRect(Rect{{0, 0}, bounds}, kCornerRadius, kBackground);
}

}  // namespace qn

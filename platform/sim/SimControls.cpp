#include "platform/sim/SimControls.h"

#include <algorithm>
#include <cmath>

#include "platform/sim/SimCanvas.h"

namespace qn {

double SimLabel::heightForWidth(double width, double maxHeight) const {
  if (text_.empty()) return 0;
  const double perLine = std::max(1.0, std::floor(width / (font.size * 0.6)));
  double lines = 0;
  size_t start = 0;
  while (start <= text_.size()) {
    const size_t end = std::min(text_.find('\n', start), text_.size());
    const double chars = simTextWidth(text_.substr(start, end - start), font) / (font.size * 0.6);
    lines += std::max(1.0, std::ceil(chars / perLine));
    start = end + 1;
  }
  return std::min(maxHeight, lines * simLineHeight(font));
}

double SimButton::naturalWidth() const {
  return simTextWidth(title_, font) + 16;
}

void SimButton::click() {
  if (!isHidden() && isEnabled() && onPress) onPress();
}

void SimSegmentedControl::choose(int index) {
  if (isHidden() || index < 0 || index >= int(titles.size())) return;
  setSelected(index);
  if (onSelect) onSelect();
}

}  // namespace qn

#include <algorithm>
#include <cmath>
#include <span>

#include "base/Base64.h"
#include "base/ImageDecode.h"
#include "companion/App.h"
#include "companion/Members.h"
#include "companion/ScreenGeometry.h"

namespace qn {

namespace {

// Bounds that keep the mirror's geometry finite whatever the parent sends: no picture side
// beyond this many pixels, no pointer farther out than this.
constexpr double kMaxPictureSide = 100'000;
constexpr double kFarthestPointer = 1'000'000;

double finiteIn(double value, double low, double high) {
  if (std::isnan(value)) return low;
  return std::clamp(value, low, high);
}

// The picture's size from "w" and "h", when both are positive.
std::optional<Size> pictureSize(const nlohmann::json& command) {
  const double w = numberMember(command, "w").value_or(0);
  const double h = numberMember(command, "h").value_or(0);
  if (!(w > 0 && h > 0)) return std::nullopt;
  return Size{finiteIn(w, 1, kMaxPictureSide), finiteIn(h, 1, kMaxPictureSide)};
}

bool differs(Size a, Size b) {
  return a.width != b.width || a.height != b.height;
}

// The picture in "d": none when "d" is missing or not base64, a null image when the bytes are
// not a picture.
std::optional<ImageRef> pictureOf(const nlohmann::json& command) {
  const std::string* data = stringRef(command, "d");
  if (data == nullptr) return std::nullopt;
  const auto bytes = decodeBase64(*data);
  if (!bytes) return std::nullopt;
  return decodeImage(std::span<const uint8_t>(*bytes));
}

}  // namespace

void App::mirror(bool on) {
  if (on == mirrorOn) return;
  mirrorOn = on;
  view->shown = on || shown;
  redrawTab();
  if (bubble->isVisible()) bubbleShow(true);
  if (!on) {
    mir->animateAlpha(0, 0.1, weakly([](App& app) {
                        if (app.mirrorOn) return;
                        app.mir->orderOut();
                        app.mir->setAlphaValue(1);
                      }));
    return;
  }
  mirMoved = false;
  mv->cur.reset();
  useStill(mirrorId);
  layMirror();
  mir->setAlphaValue(1);
  mir->setNeedsDisplay();
  if (!options_.quietUI) mir->orderFrontRegardless();
}

void App::layMirror() {
  mv->caption = mirrorCaption();
  mir->setNeedsDisplay();
  const auto screen = here();
  if (!screen) return;
  const Rect& vf = screen->visibleFrame;
  const double a = mv->size0.width;
  const double b = mv->size0.height;
  const double s = std::min((vf.size.height * 0.8 - MirrorView::top) / b,
                            std::min(vf.size.width * 0.72, 1000.0) / a);
  const double w = finiteIn(a * s, 1, kMaxPictureSide);
  const double h = finiteIn(b * s, 1, kMaxPictureSide) + MirrorView::top;
  Point origin = mir->frame().origin;
  if (!mirMoved) {
    const Rect tab = panel->frame();
    origin.x = edgeLeft ? maxX(tab) + 10 : tab.origin.x - w - 10;
    origin.y = std::min(maxY(vf) - h - 10, std::max(midY(tab) - h / 2, vf.origin.y + 10));
  }
  mir->setFrame(Rect{origin, {w, h}});
}

std::string App::mirrorCaption() const {
  std::string t = title;
  if (options_.boardMode) {
    if (const Job* job = findJob(jobs, mirrorId); job != nullptr && !job->title.empty())
      t = job->title;
  }
  return liveViewCaption(t);
}

std::string App::liveViewCaption(const std::string& detail) const {
  const std::string head = T("实时画面 · 只能看", "Live view");
  return detail.empty() ? head : head + " · " + detail;
}

void App::keepStill(const std::string& id, ImageRef image, Size size) {
  const std::string key = options_.boardMode ? id : "";
  stills[key] = Still{std::move(image), size};
  if (stills.size() <= 6) return;
  const auto spare = std::find_if(stills.begin(), stills.end(), [&](const auto& entry) {
    return entry.first != key && entry.first != mirrorId;
  });
  if (spare != stills.end()) stills.erase(spare);
}

void App::useStill(const std::string& id) {
  const auto found = stills.find(options_.boardMode ? id : "");
  if (found == stills.end()) {
    mv->img.reset();
    return;
  }
  mv->img = found->second.image;
  if (found->second.size.width > 0 && found->second.size.height > 0) mv->size0 = found->second.size;
}

// In board mode only the mirrored job's frames and pointer count.
bool App::mirrorsCommand(const nlohmann::json& command) const {
  if (!mirrorOn) return false;
  if (!options_.boardMode) return true;
  const std::string* id = stringRef(command, "id");
  return id != nullptr && *id == mirrorId;
}

void App::frameCommand(const nlohmann::json& command) {
  if (!mirrorsCommand(command)) return;
  auto picture = pictureOf(command);
  if (!picture) return;
  mv->img = std::move(*picture);
  const auto size = pictureSize(command);
  if (mv->img) keepStill(mirrorId, mv->img, size.value_or(Size{}));
  if (size && differs(*size, mv->size0)) {
    mv->size0 = *size;
    layMirror();
  }
  mir->setNeedsDisplay();
}

void App::stillCommand(const nlohmann::json& command) {
  auto picture = pictureOf(command);
  if (!picture || !*picture) return;
  const std::string id = stringMember(command, "id").value_or("");
  keepStill(id, std::move(*picture), pictureSize(command).value_or(Size{}));
  if (mirrorOn && !mv->img && (!options_.boardMode || id == mirrorId)) {
    useStill(id);
    layMirror();
    mir->setNeedsDisplay();
  }
}

void App::curCommand(const nlohmann::json& command) {
  if (!mirrorsCommand(command)) return;
  const auto coordinate = [&](const char* key) {
    return finiteIn(numberMember(command, key).value_or(0), -kFarthestPointer, kFarthestPointer);
  };
  mv->cur = Point{coordinate("x"), coordinate("y")};
  if (intMember(command, "down") == 1) mv->downT = 1;
  mir->setNeedsDisplay();
  ensureAnimation();
}

}  // namespace qn

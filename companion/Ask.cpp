#include <algorithm>

#include "companion/App.h"
#include "companion/Members.h"
#include "companion/views/Colors.h"

namespace qn {

namespace {

constexpr double kLabelMaxHeight = 600;
constexpr double kWidth = 440;
constexpr double kContentWidth = 396;
constexpr double kMargin = 22;

// Frames a label at y with the height its text needs and returns that height.
double placeAt(Label& label, double y) {
  const double height = label.heightForWidth(kContentWidth, kLabelMaxHeight);
  label.setFrame(Rect{{kMargin, y}, {kContentWidth, height}});
  return height;
}

}  // namespace

void App::buildAsk() {
  ask = mk(Rect{{0, 0}, {kWidth, 260}});
  ask->setMovableByBackground(true);
  av = std::make_unique<AskView>();
  ask->setContent(av.get());
  aTitle = ask->addLabel(Font{15, FontWeight::Semibold}, white(1));
  aBody = ask->addLabel(Font{13, FontWeight::Regular}, white(0.92));
  aTips = ask->addLabel(Font{13, FontWeight::Regular}, kOrange);
  ButtonStyle style;
  style.font = Font{13, FontWeight::Regular};
  aNo = ask->addButton(style);
  aNo->onPress = weakly([](App& app) { app.askNo(); });
  aYes = ask->addButton(style);
  aYes->onPress = weakly([](App& app) { app.askYes(); });
}

void App::askShow(const nlohmann::json& command) {
  if (boolMember(command, "close") == true) {
    askId.clear();
    ask->orderOut();
    return;
  }
  if (!options_.boardMode) return;
  const auto id = stringMember(command, "id");
  if (!id || id->empty()) return;

  static const nlohmann::json none = nlohmann::json::object();
  const nlohmann::json* found = objectMember(command, options_.zh ? "zh" : "en");
  const nlohmann::json& texts = found ? *found : none;
  const auto text = [&](const char* key) { return stringMember(texts, key).value_or(""); };
  const std::string titleText = text("title");
  const std::string body = text("body");
  const std::string tips = text("tips");
  const std::string yes = text("yes");
  const std::string no = text("no");

  askId = *id;
  askVer = intMember(command, "ver").value_or(0);
  if (titleText.empty() || body.empty() || tips.empty() || yes.empty() || no.empty()) {
    answer("no");
    return;
  }

  aTitle->setText(titleText);
  aBody->setText(body);
  aTips->setText(tips);
  aYes->setTitle(yes);
  aNo->setTitle(no);

  const double h1 = placeAt(*aTitle, 20);
  const double y2 = 20 + h1 + 10;
  const double h2 = placeAt(*aBody, y2);
  const double y3 = y2 + h2 + 10;
  const double h3 = placeAt(*aTips, y3);
  const double yb = y3 + h3 + 10 + 6;
  const double wNo = aNo->naturalWidth() + 14;
  const double wYes = aYes->naturalWidth() + 14;
  double extra = 30;
  if (wNo + wYes + 8 <= kContentWidth) {
    aYes->setFrame(Rect{{418 - wYes, yb}, {wYes, 30}});
    aNo->setFrame(Rect{{418 - wYes - 8 - wNo, yb}, {wNo, 30}});
  } else {
    aNo->setFrame(Rect{{kMargin, yb}, {kContentWidth, 30}});
    aYes->setFrame(Rect{{kMargin, yb + 34}, {kContentWidth, 30}});
    extra = 64;
  }
  ask->setFrame(Rect{ask->frame().origin, {kWidth, yb + extra + 18}});
  ask->setNeedsDisplay();

  askPlace();
  if (!options_.quietUI) ask->orderFrontRegardless();
}

void App::askPlace() {
  const auto s = here();
  if (!s) return;
  const Rect& V = s->visibleFrame;
  const Rect F = ask->frame();
  const double x = V.origin.x + V.size.width / 2 - F.size.width / 2;
  const double y = std::min(V.origin.y + V.size.height / 2 - F.size.height / 2 + 60,
                            V.origin.y + V.size.height - F.size.height - 10);
  ask->setFrame(Rect{{x, y}, F.size});
}

void App::answer(const std::string& v) {
  if (askId.empty()) return;
  const std::string id = askId;
  askId.clear();
  ask->orderOut();
  emit({{"ev", "consent"},
        {"id", id},
        {"v", v},
        {"ver", askVer},
        {"lang", options_.zh ? "zh" : "en"}});
}

void App::askYes() {
  answer("yes");
}

void App::askNo() {
  answer("no");
}

}  // namespace qn

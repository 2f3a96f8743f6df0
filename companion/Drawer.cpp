#include <algorithm>

#include "companion/App.h"
#include "companion/views/Colors.h"

namespace qn {

void App::buildDrawer() {
  dv = std::make_unique<DrawerView>();
  bubble->setContent(dv.get());
  dv->onHover = [weak = weak_from_this()](bool inside) {
    const auto app = weak.lock();
    if (!app) return;
    app->inDrawer = inside;
    if (!inside) {
      app->closeSoon();
    } else if (app->unlOn("hint") && !app->unlText("line").empty()) {
      app->unlSeen = true;
    }
  };

  const auto lab = [this](Font font, Color color) { return bubble->addLabel(font, color); };
  const auto btn = [this](const std::string& title, void (App::*action)()) {
    ButtonStyle style;
    style.title = title;
    style.font = Font{11.5, FontWeight::Regular};
    Button* button = bubble->addButton(style);
    button->onPress = weakly([action](App& app) { (app.*action)(); });
    return button;
  };
  const Font regular11{11, FontWeight::Regular};

  lTitle = lab(Font{12.5, FontWeight::Semibold}, white(1));
  lDetail = lab(Font{12, FontWeight::Regular}, white(0.85));
  lNote = lab(regular11, white(0.6));
  lWarn = lab(regular11, kOrange);
  bar = bubble->addBox(white(0.15), 2);
  barIn = bubble->addBox(white(0), 2, bar);
  seg = bubble->addSegmentedControl(
      {T("最稳", "Slowest"), T("稳", "Safe"), T("标准", "Normal"), T("快", "Fast")}, regular11);
  seg->onSelect = weakly([](App& app) { app.segC(); });
  lv = std::make_unique<ListView>(options_.zh);
  lvView = bubble->addDrawnView(lv.get());
  lv->onPick = [weak = weak_from_this()](const std::string& id) {
    if (const auto app = weak.lock()) app->pick(id);
  };
  lv->onNeedsDisplay = weakly([](App& app) { app.lvView->setNeedsDisplay(); });
  lTip = lab(regular11, white(0.55));
  bView = btn("", &App::tog2);
  bPause = btn("", &App::pauseC);
  bStop = btn("", &App::stopC);
  bOpen = btn(T("打开结果", "Open results"), &App::openC);
  bYes = btn(T("确认调快", "Go faster"), &App::yesC);
  bNo = btn(T("不调了", "Cancel"), &App::noC);
  lUnl = lab(regular11, white(1));
  bUnl = btn("", &App::unlC);
}

void App::segC() {
  const size_t i = size_t(std::clamp(seg->selected(), 0, int(speeds.size()) - 1));
  const std::string name(speeds[i]);
  if (name == "fast" && speed != "fast") {
    askFast = true;
    bubbleShow(true);
    return;
  }
  askFast = false;
  send({{"ev", "speed"}, {"v", name}});
}

void App::yesC() {
  askFast = false;
  send({{"ev", "speed"}, {"v", "fast"}});
  bubbleShow(true);
}

void App::noC() {
  askFast = false;
  bubbleShow(true);
}

void App::tog() {
  send({{"ev", "toggle"}});
}

void App::tog2() {
  tog();
}

void App::pauseC() {
  const std::string st = cst();
  item(st == "paused" || st == "held" ? "resume" : "pause");
}

void App::stopC() {
  item(ended() ? "close" : "stop");
}

void App::openC() {
  item("open");
}

void App::item(const std::string& key) {
  send({{"ev", "menu"}, {"item", key}});
}

void App::pick(const std::string& id) {
  if (id == sel) return;
  const auto job = std::find_if(jobs.begin(), jobs.end(), [&](const Job& j) { return j.id == id; });
  if (job == jobs.end()) return;
  sel = id;
  askFast = false;
  title = job->title;
  detail = job->detail;
  speed = job->speed;
  note = job->note;
  result = job->result;
  shown = job->shown;
  emit({{"ev", "pick"}, {"id", id}});
  bubbleShow(true);
}

}  // namespace qn

// The GTK backend's share of refreshing the drawer: new texts into its labels, each label
// measured at the content width and placed, the selector and a row of buttons placed, the panel
// resized. Run on a desktop (bench/run.sh starts a private one).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/gtk/GtkCompanionBackend.h"

namespace {

const qn::Color kWhite{1, 1, 1, 1};

class Background : public qn::PanelContent {
 public:
  void draw(qn::Canvas& canvas, qn::Size bounds) override {
    canvas.fillRoundedRect(qn::Rect{{0, 0}, bounds}, 12, qn::Color{0.09, 0.10, 0.13, 0.97});
  }
};

void BM_DrawerControlsRefresh(benchmark::State& state) {
  static qn::GtkCompanionBackend backend;
  int argc = 0;
  char** argv = nullptr;
  if (!backend.init(argc, argv)) {
    state.SkipWithError("no display");
    return;
  }
  Background background;
  auto panel = backend.panels().makePanel(qn::Rect{{900, 300}, {290, 400}}, qn::PanelRecipe{});
  panel->setContent(&background);
  const std::vector<qn::Font> fonts = {
      {11, qn::FontWeight::Regular}, {12.5, qn::FontWeight::Semibold},
      {12, qn::FontWeight::Regular}, {11, qn::FontWeight::Regular},
      {11, qn::FontWeight::Regular}, {11, qn::FontWeight::Regular}};
  std::vector<qn::Label*> labels;
  for (const auto& font : fonts) labels.push_back(panel->addLabel(font, kWhite));
  qn::SegmentedControl* seg = panel->addSegmentedControl({"最稳", "稳", "标准", "快"}, {11});
  std::vector<qn::Button*> buttons;
  for (const char* title : {"看画面", "暂停", "停止"})
    buttons.push_back(panel->addButton(qn::ButtonStyle{title}));
  panel->orderFrontRegardless();
  backend.loop().after(0.3, [&] { backend.loop().quit(); });
  backend.loop().run();

  const std::vector<std::vector<std::string>> texts = {
      {"同时 3 个 · 排队 1 个", "义乌小商品供应商名录采集 · 正在干活",
       "第 3 家，共 10 家：正在打开店铺首页并读取联系方式", "页面加载较慢，已自动放慢速度", "",
       "内存紧张，先少开几个"},
      {"3 running · 1 queued", "Yiwu small goods suppliers · Working",
       "Company 3 of 10: opening the shop's front page and reading its contacts",
       "Pages load slowly; the speed was lowered by itself", "", "low memory"}};
  const double w = 262;
  size_t round = 0;
  for (auto _ : state) {
    const auto& set = texts[round++ % texts.size()];
    double y = 12;
    for (size_t i = 0; i < labels.size(); ++i) {
      labels[i]->setText(set[i]);
      labels[i]->setHidden(set[i].empty());
      const double h = labels[i]->heightForWidth(w, 300);
      labels[i]->setFrame(qn::Rect{{14, y}, {w, h}});
      y += h + 5;
    }
    seg->setSelected(int(round % 4));
    seg->setFrame(qn::Rect{{12, y + 2}, {w + 4, 22}});
    y += 30;
    for (size_t i = 0; i < buttons.size(); ++i)
      buttons[i]->setFrame(qn::Rect{{10 + double(i) * (w + 8) / 3, y + 1}, {(w + 8) / 3, 24}});
    benchmark::DoNotOptimize(buttons[0]->naturalWidth());
    panel->setFrame(qn::Rect{{900, 300}, {290, y + 36}});
  }
}
BENCHMARK(BM_DrawerControlsRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

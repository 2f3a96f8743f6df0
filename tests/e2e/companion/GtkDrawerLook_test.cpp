// The look of a dark drawer panel with native controls, in Chinese and in English: a screenshot
// to look at, and pixels read back to check that text is legible and stays inside its frames.
#include <gtest/gtest.h>

#include <gdk/gdk.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/ChildProcess.h"
#include "platform/gtk/GtkDesktopSpace.h"
#include "tests/e2e/companion/DesktopTestSupport.h"

namespace qn {
namespace {

const Color kBackground{0.09, 0.10, 0.13, 0.97};
const Color kOrange{1.0, 0.72, 0.3, 1};
const Color kGreen{0.2, 0.8, 0.4, 1};

Color white(double alpha) {
  return Color{1, 1, 1, alpha};
}

class DrawerBackground : public PanelContent {
 public:
  void draw(Canvas& canvas, Size bounds) override {
    canvas.fillRoundedRect(Rect{{0, 0}, bounds}, 12, kBackground);
  }
};

struct Row {
  std::string title;
  std::string word;
  Color dot;
};

// A job list drawn like the drawer's: dot, title cut before the state word, the word.
class JobList : public ViewContent {
 public:
  JobList(std::vector<Row> rows, std::string more)
      : rows_(std::move(rows)), more_(std::move(more)) {}
  void draw(Canvas& canvas, Size bounds) override {
    for (size_t i = 0; i < rows_.size(); ++i) {
      const double y = 24.0 * double(i);
      if (i == 0) canvas.fillRoundedRect(Rect{{0, y + 1}, {bounds.width, 22}}, 6, white(0.14));
      canvas.fillOval(Rect{{8, y + 8}, {8, 8}}, rows_[i].dot);
      const Font small{11, FontWeight::Regular};
      const double tw = canvas.textWidth(rows_[i].word, small);
      const double th = canvas.lineHeight(small);
      canvas.drawText(rows_[i].word, Point{bounds.width - 8 - tw, y + (24 - th) / 2}, small,
                      white(0.65));
      canvas.drawTextTruncated(rows_[i].title, Rect{{23, y + 4}, {bounds.width - 23 - tw - 16, 17}},
                               Font{12, i == 0 ? FontWeight::Semibold : FontWeight::Regular},
                               white(0.92));
    }
    canvas.drawText(more_, Point{23, 24.0 * double(rows_.size()) + 3}, Font{11}, white(0.5));
  }

 private:
  std::vector<Row> rows_;
  std::string more_;
};

struct Texts {
  std::vector<Row> rows;
  std::string more, tip, title, detail, note, warn;
  std::vector<std::string> speeds, buttons;
};

Rect rootRect(const Panel& panel, Rect local) {
  const Rect r = GtkDesktopSpace::desktopToRoot(panel.frame());
  return Rect{{r.origin.x + local.origin.x, r.origin.y + local.origin.y}, local.size};
}

// The drawer's controls placed top-down at the content width, each label at the height it
// needs, as the companion places them.
struct Drawer {
  Drawer(const Texts& texts, double left) : list(texts.rows, texts.more) {
    const double width = 290, w = width - 28;
    panel = shownPanel(Rect{{left, 150}, {width, 600}}, &background);
    DrawnView* view = panel->addDrawnView(&list);
    const double listHeight = 24.0 * double(texts.rows.size()) + 20;
    view->setFrame(Rect{{6, 8}, {w + 16, listHeight}});
    double y = listHeight + 14;
    const auto place = [&](Label* label, const std::string& text) {
      label->setText(text);
      const double h = label->heightForWidth(w, 300);
      label->setFrame(Rect{{14, y}, {w, h}});
      labels.push_back(label);
      y += h + 5;
    };
    place(panel->addLabel(Font{11}, white(0.55)), texts.tip);
    y += 3;
    place(panel->addLabel(Font{12.5, FontWeight::Semibold}, white(1)), texts.title);
    Box* bar = panel->addBox(white(0.15), 2);
    bar->setFrame(Rect{{14, y + 2}, {w, 4}});
    barFill = Rect{{14, y + 2}, {w * 0.4, 4}};
    panel->addBox(kGreen, 2, bar)->setFrame(Rect{{0, 0}, {w * 0.4, 4}});
    y += 13;
    place(panel->addLabel(Font{12}, white(0.85)), texts.detail);
    place(panel->addLabel(Font{11}, white(0.6)), texts.note);
    speeds = Rect{{12, y + 2}, {w + 4, 22}};
    SegmentedControl* seg = panel->addSegmentedControl(texts.speeds, Font{11});
    seg->setFrame(speeds);
    seg->setSelected(3);
    y += 30;
    place(panel->addLabel(Font{11}, kOrange), texts.warn);
    const double share = (w + 8) / double(texts.buttons.size());
    for (size_t i = 0; i < texts.buttons.size(); ++i) {
      Button* button = panel->addButton(ButtonStyle{texts.buttons[i]});
      button->setFrame(Rect{{10 + double(i) * share, y + 1}, {share, 24}});
    }
    y += 32;
    // A label given less height than its text needs: two lines, the rest cut.
    Label* cut = panel->addLabel(Font{11}, white(0.7));
    cut->setText(texts.warn);
    const double two = 2 * cut->heightForWidth(5000, 300) + 1;
    cut->setFrame(Rect{{14, y}, {w, two}});
    labels.push_back(cut);
    y += two + 8;
    panel->setFrame(Rect{{left, 150}, {width, y + 4}});
  }
  // A point of the drawer in root coordinates.
  Point root(Point local) const { return rootRect(*panel, Rect{local, {}}).origin; }

  DrawerBackground background;
  JobList list;
  std::unique_ptr<Panel> panel;
  std::vector<Label*> labels;
  Rect barFill;
  Rect speeds;
};

const Texts kChinese{{{"义乌小商品供应商名录采集（第二批，含联系方式和主营类目）", "3/10", kGreen},
                      {"广州服装档口", "排队 1", {0.6, 0.6, 0.6, 1}},
                      {"深圳电子元件", "需要你", kOrange}},
                     "还有 2 个",
                     "同时 3 个 · 排队 1 个 · 停住 1 个",
                     "义乌小商品供应商名录采集 · 正在干活",
                     "第 3 家，共 10 家：正在打开店铺首页并读取联系方式",
                     "页面加载较慢，已自动放慢速度",
                     "快：约 90 家/小时。打开太密，1688 "
                     "很快会弹滑块；频繁验证可能被限制搜索或要求重新登录。只建议备用号、"
                     "量少时短时间用。确定要调快吗？",
                     {"最稳", "稳", "标准", "快"},
                     {"看画面", "暂停", "停止"}};

const Texts kEnglish{
    {{"Yiwu small goods suppliers directory (second batch, with contacts)", "3/10", kGreen},
     {"Guangzhou clothing stalls", "#1", {0.6, 0.6, 0.6, 1}},
     {"Shenzhen electronic parts", "Needs you", kOrange}},
    "2 more",
    "3 running · 1 queued · 1 on hold",
    "Yiwu small goods suppliers · Working",
    "Company 3 of 10: opening the shop's front page and reading its contacts",
    "Pages load slowly; the speed was lowered by itself",
    "Fast: about 90/hour. Pages open close together, so 1688 soon shows a slider; frequent checks "
    "can get searches restricted or ask you to sign in again. Only for a spare account, a few "
    "companies, for a short time. Go faster anyway?",
    {"Slowest", "Safe", "Normal", "Fast"},
    {"I'll handle it", "Pause", "Stop"}};

TEST(GtkDrawerLook, DarkDrawerInChineseAndEnglishIsLegible) {
  pointerTo(1390, 890);
  Drawer zh(kChinese, 60), en(kEnglish, 400);
  for (const Drawer* d : {&zh, &en})
    ASSERT_TRUE(
        spinUntil([&] { return viewableAt(GtkDesktopSpace::desktopToRoot(d->panel->frame())); }));
  spinFor(0.5);
  saveScreenshot(std::string(QN_SHOT_DIR) + "/drawer-zh-en.png");

  const ScreenPixels screen;
  for (const Drawer* d : {&zh, &en}) {
    const Rect frame = d->panel->frame();
    // The margin left of the labels is plain background.
    const guchar* bg = screen.at(d->root(Point{8, frame.size.height / 2}));
    EXPECT_NEAR(bg[0], 0.09 * 255, 12);
    EXPECT_NEAR(bg[2], 0.13 * 255, 12);
    for (size_t i = 0; i < d->labels.size(); ++i) {
      const Rect f = d->labels[i]->frame();
      ASSERT_GT(f.size.height, 0) << "label " << i;
      EXPECT_GT(screen.brightest(rootRect(*d->panel, f)), 140)
          << "label " << i << " shows its text";
      // The 4 pixels under a label are its gap: text that does not fit its frame would be there.
      const Rect gap{{f.origin.x, f.origin.y + f.size.height + 1}, {f.size.width, 3}};
      EXPECT_LT(screen.brightest(rootRect(*d->panel, gap)), 90)
          << "label " << i << " stays in its frame";
    }
    const guchar* fill =
        screen.at(d->root(Point{d->barFill.origin.x + 10, d->barFill.origin.y + 2}));
    EXPECT_GT(fill[1], 150) << "the bar's fill inside the bar";
    EXPECT_LT(fill[0], 100);
    const double rest = screen.brightness(
        d->root(Point{d->barFill.origin.x + d->barFill.size.width + 20, d->barFill.origin.y + 2}));
    EXPECT_GT(rest, screen.brightness(d->root(Point{8, d->barFill.origin.y + 2})) + 10)
        << "the bar lighter than the background";
    // Inside each segment's bezel, away from its title: the selected one is lighter.
    const auto bezel = [&](int i) {
      return screen.brightness(d->root(
          Point{d->speeds.origin.x + d->speeds.size.width * i / 4 + 5, d->speeds.origin.y + 4}));
    };
    EXPECT_GT(bezel(3), bezel(0) + 15) << "the selected speed stands out";
    EXPECT_GT(bezel(0), bg[0] + 5.0) << "segments have a bezel on the background";
  }
}

class DialogBackground : public PanelContent {
 public:
  void draw(Canvas& canvas, Size bounds) override {
    canvas.fillRoundedRect(Rect{{0, 0}, bounds}, 12, Color{0.09, 0.10, 0.13, 1.0});
  }
};

// The ask dialog's layout: three labels at the width 396, the two buttons side by side at their
// natural widths when they fit, else stacked.
TEST(GtkDrawerLook, AskDialogButtonsFitTheirTitles) {
  DialogBackground background;
  auto dialog = shownPanel(Rect{{480, 380}, {440, 260}}, &background);
  dialog->setMovableByBackground(true);
  double y = 20;
  std::vector<Label*> labels;
  const auto place = [&](Font font, Color color, const std::string& text) {
    Label* label = dialog->addLabel(font, color);
    label->setText(text);
    const double h = label->heightForWidth(396, 600);
    label->setFrame(Rect{{22, y}, {396, h}});
    labels.push_back(label);
    y += h + 10;
  };
  place(Font{15, FontWeight::Semibold}, white(1), "允许读取店铺列表吗？");
  place(Font{13}, white(0.92),
        "为了继续采集，需要读取你在 1688 后台的店铺列表。只读取名称和链接，不会修改任何内容。");
  place(Font{13}, kOrange, "提示：可以随时在设置里关闭。");
  const double yb = y + 6;
  Button* no = dialog->addButton(ButtonStyle{"暂不允许", Font{13}});
  Button* yes = dialog->addButton(ButtonStyle{"允许读取", Font{13}});
  const double wNo = no->naturalWidth() + 14, wYes = yes->naturalWidth() + 14;
  ASSERT_LE(wNo + wYes + 8, 396) << "short titles side by side";
  yes->setFrame(Rect{{418 - wYes, yb}, {wYes, 30}});
  no->setFrame(Rect{{418 - wYes - 8 - wNo, yb}, {wNo, 30}});
  dialog->setFrame(Rect{{480, 380}, {440, yb + 30 + 18}});
  ASSERT_TRUE(
      spinUntil([&] { return viewableAt(GtkDesktopSpace::desktopToRoot(dialog->frame())); }));
  spinFor(0.4);
  saveScreenshot(std::string(QN_SHOT_DIR) + "/ask-dialog-zh.png");
  const ScreenPixels screen;
  for (Label* label : labels)
    EXPECT_GT(screen.brightest(rootRect(*dialog, label->frame())), 140) << label->text();
  // Each title lies inside its bezel with room on both sides: the outer 5 pixels of a button's
  // middle row are bezel only.
  for (Button* button : {no, yes}) {
    const Rect f = button->frame();
    const Rect left{{f.origin.x + 1, f.origin.y + 8}, {5, 14}};
    const Rect right{{f.origin.x + f.size.width - 6, f.origin.y + 8}, {5, 14}};
    EXPECT_LT(screen.brightest(rootRect(*dialog, left)), 120) << button->title();
    EXPECT_LT(screen.brightest(rootRect(*dialog, right)), 120) << button->title();
    EXPECT_GT(screen.brightest(rootRect(*dialog, f)), 180) << button->title() << " shows";
  }
}

TEST(GtkDrawerLook, ControlsWithoutAnAreaShowNothing) {
  DrawerBackground background;
  auto panel = shownPanel(Rect{{760, 100}, {200, 100}}, &background);
  Button* unplaced = panel->addButton(ButtonStyle{"Stop"});
  int presses = 0;
  unplaced->onPress = [&] { ++presses; };
  panel->addBox(kOrange, 2)->setFrame(Rect{{20, 50}, {0, 4}});
  const Rect placed{{20, 70}, {40, 4}};
  panel->addBox(kOrange, 2)->setFrame(placed);
  spinFor(0.4);
  const ScreenPixels screen;
  EXPECT_LT(screen.brightest(rootRect(*panel, Rect{{4, 4}, {60, 30}})), 60) << "no frame";
  EXPECT_LT(screen.brightest(rootRect(*panel, Rect{{10, 46}, {30, 12}})), 60) << "no width";
  const guchar* box = screen.at(rootRect(*panel, Rect{{30, 72}, {}}).origin);
  EXPECT_GT(box[0], 200) << "a box with an area shows";
  pointerToPanel(*panel, {8, 8});
  xdotool({"click", "1"});
  spinFor(0.3);
  EXPECT_EQ(presses, 0) << "nor takes clicks";
}

}  // namespace
}  // namespace qn

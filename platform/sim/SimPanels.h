#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Panels.h"
#include "platform/sim/SimCanvas.h"
#include "platform/sim/SimControls.h"

namespace qn {

class SimPanel : public Panel {
 public:
  SimPanel(Rect frame, PanelRecipe recipe) : recipe(recipe), frame_(frame), level_(recipe.level) {}
  void setFrame(Rect frame) override { frame_ = frame; }
  Rect frame() const override { return frame_; }
  void setLevel(int level) override { level_ = level; }
  int level() const override { return level_; }
  void orderFrontRegardless() override { visible_ = true; }
  void orderOut() override { visible_ = false; }
  bool isVisible() const override { return visible_; }
  // Like the desktop's, setting the opacity ends a running animation first.
  void setAlphaValue(double alpha) override {
    finishAnimation();
    alpha_ = alpha;
  }
  double alphaValue() const override { return alpha_; }
  // The animation ends when the test says so (finishAnimation); a new one ends the old first.
  void animateAlpha(double alpha, double seconds, std::function<void()> completion) override {
    finishAnimation();
    alphaTarget = alpha;
    animationSeconds = seconds;
    pendingCompletion = std::move(completion);
  }
  void finishAnimation() {
    if (!alphaTarget) return;
    alpha_ = *alphaTarget;
    alphaTarget.reset();
    if (auto completion = std::move(pendingCompletion)) completion();
  }
  void setContent(PanelContent* content) override { content_ = content; }
  void setNeedsDisplay() override { ++redraws; }
  void setMovableByBackground(bool movable) override { movableByBackground = movable; }
  Label* addLabel(Font font, Color color) override;
  Button* addButton(const ButtonStyle& style) override;
  SegmentedControl* addSegmentedControl(const std::vector<std::string>& titles, Font font) override;
  Box* addBox(Color color, double cornerRadius, Box* parent) override;
  DrawnView* addDrawnView(ViewContent* content) override;

  // Draws the content as the desktop would on its next pass.
  SimCanvas render() const;
  PanelContent* content() const { return content_; }

  PanelRecipe recipe;
  std::optional<double> alphaTarget;
  double animationSeconds = 0;
  std::function<void()> pendingCompletion;
  int redraws = 0;
  bool movableByBackground = false;
  // The controls, in the order they were added.
  std::vector<std::unique_ptr<Control>> controls;

 private:
  Rect frame_;
  int level_;
  bool visible_ = false;
  double alpha_ = 1;
  PanelContent* content_ = nullptr;
};

class SimPanels : public Panels {
 public:
  std::unique_ptr<Panel> makePanel(Rect contentRect, const PanelRecipe& recipe) override;
  void popUpMenu(const std::vector<MenuItem>& items, Point at) override;
  // Every panel made, in order. The panels belong to the caller and must outlive this list's use.
  std::vector<SimPanel*> made;
  // The last menu shown and where; a test chooses an item by calling its action.
  std::vector<MenuItem> menu;
  Point menuAt;
  int menusShown = 0;
};

}  // namespace qn

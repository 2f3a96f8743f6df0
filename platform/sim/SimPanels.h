#pragma once

#include <memory>
#include <vector>

#include "platform/Panels.h"
#include "platform/sim/SimCanvas.h"

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
  void setContent(PanelContent* content) override { content_ = content; }
  void setNeedsDisplay() override { ++redraws; }

  // Draws the content as the desktop would on its next pass.
  SimCanvas render() const;
  PanelContent* content() const { return content_; }

  PanelRecipe recipe;
  int redraws = 0;

 private:
  Rect frame_;
  int level_;
  bool visible_ = false;
  PanelContent* content_ = nullptr;
};

class SimPanels : public Panels {
 public:
  std::unique_ptr<Panel> makePanel(Rect contentRect, const PanelRecipe& recipe) override;
  // Every panel made, in order. The panels belong to the caller and must outlive this list's use.
  std::vector<SimPanel*> made;
};

}  // namespace qn

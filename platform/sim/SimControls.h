#pragma once

#include <string>
#include <vector>

#include "platform/Controls.h"

namespace qn {

// Controls of the simulated desktop. They measure text with the simulated metrics and let
// tests click them as a user would.
template <class Base>
class SimControl : public Base {
 public:
  explicit SimControl(const Control* parent) : parent(parent) {}
  void setFrame(Rect frame) override { frame_ = frame; }
  Rect frame() const override { return frame_; }
  void setHidden(bool hidden) override { hidden_ = hidden; }
  bool isHidden() const override { return hidden_; }
  // The box holding the control, or none for a control placed on the panel's content.
  const Control* parent;

 private:
  Rect frame_;
  bool hidden_ = false;
};

class SimLabel : public SimControl<Label> {
 public:
  SimLabel(Font font, Color color) : SimControl(nullptr), font(font), color_(color) {}
  void setText(const std::string& text) override { text_ = text; }
  const std::string& text() const override { return text_; }
  void setColor(Color color) override { color_ = color; }
  Color color() const override { return color_; }
  // Wraps by code points at the width; explicit line feeds start new lines.
  double heightForWidth(double width, double maxHeight) const override;
  const Font font;

 private:
  std::string text_;
  Color color_;
};

class SimButton : public SimControl<Button> {
 public:
  explicit SimButton(ButtonStyle style)
      : SimControl(nullptr), font(style.font), title_(style.title) {}
  void setTitle(const std::string& title) override { title_ = title; }
  const std::string& title() const override { return title_; }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  // The title's width plus 16 points of bezel.
  double naturalWidth() const override;
  // A user's click: acts only on a visible, enabled button.
  void click();
  const Font font;

 private:
  std::string title_;
  bool enabled_ = true;
};

class SimSegmentedControl : public SimControl<SegmentedControl> {
 public:
  SimSegmentedControl(std::vector<std::string> titles, Font font)
      : SimControl(nullptr), titles(std::move(titles)), font(font) {}
  void setSelected(int index) override { selected_ = index; }
  int selected() const override { return selected_; }
  // A user's click on a segment of the visible control.
  void choose(int index);
  const std::vector<std::string> titles;
  const Font font;

 private:
  int selected_ = -1;
};

class SimBox : public SimControl<Box> {
 public:
  SimBox(Color color, double cornerRadius, const Control* parent)
      : SimControl(parent), cornerRadius(cornerRadius), color_(color) {}
  void setColor(Color color) override { color_ = color; }
  Color color() const override { return color_; }
  const double cornerRadius;

 private:
  Color color_;
};

class SimDrawnView : public SimControl<DrawnView> {
 public:
  explicit SimDrawnView(ViewContent* content) : SimControl(nullptr), content(content) {}
  void setNeedsDisplay() override { ++redraws; }
  ViewContent* const content;
  int redraws = 0;
};

}  // namespace qn

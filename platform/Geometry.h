#pragma once

namespace qn {

struct Point {
  double x = 0;
  double y = 0;
};

struct Size {
  double width = 0;
  double height = 0;
};

struct Rect {
  Point origin;
  Size size;
};

struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
};

}  // namespace qn

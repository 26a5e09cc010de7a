#pragma once

#include <string>

#include "base/signal.h"
#include "output/log.h"

// The main window's own properties: caption, geometry and colour.
class WindowFrame {
  public:
    static constexpr int kMinimumWidth = 500;
    static constexpr int kMinimumHeight = 200;

    const std::string& caption() const { return caption_; }
    Rgb background() const { return kSkyBlue; }

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The minimum size holds for every value set.
    void setLeft(int value);
    void setTop(int value);
    void setWidth(int value);
    void setHeight(int value);
    // The view reports the geometry the operator gave the window.
    void updateFromView(int left, int top, int width, int height);

    Signal<> geometryChanged;

  private:
    std::string caption_ = "Telvarn";
    int left_ = 100;
    int top_ = 100;
    int width_ = 700;
    int height_ = 300;
};

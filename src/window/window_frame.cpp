#include "window/window_frame.h"

#include <algorithm>

void WindowFrame::setLeft(int value) {
    left_ = value;
    geometryChanged();
}

void WindowFrame::setTop(int value) {
    top_ = value;
    geometryChanged();
}

void WindowFrame::setWidth(int value) {
    width_ = std::max(value, kMinimumWidth);
    geometryChanged();
}

void WindowFrame::setHeight(int value) {
    height_ = std::max(value, kMinimumHeight);
    geometryChanged();
}

void WindowFrame::updateFromView(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(width, kMinimumWidth);
    height_ = std::max(height, kMinimumHeight);
}

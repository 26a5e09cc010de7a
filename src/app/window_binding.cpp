#include "app/window_binding.h"

WindowBinding::WindowBinding(MainWindow& model, NativeWindow& window)
    : model_(model), window_(window) {
    connections_.push_back(model.status.changed.connect(
        [this](const std::string& text) { window_.showStatusText(text); }));
    connections_.push_back(model.frame.geometryChanged.connect([this] { place(); }));
    connections_.push_back(model.closeRequested.connect([this] { window_.closeLater(); }));
    connections_.push_back(model.repaintRequested.connect([this] { window_.repaintNow(); }));
    window_.showStatusText(model.status.text());
    place();
}

void WindowBinding::place() {
    const WindowFrame& frame = model_.frame;
    placing_ = true;
    window_.place({frame.left(), frame.top(), frame.width(), frame.height()});
    placing_ = false;
}

void WindowBinding::moved() {
    if (placing_) return;
    const WindowPlace place = window_.placement();
    model_.guarded(
        [&] { model_.frame.updateFromView(place.left, place.top, place.width, place.height); });
}

bool WindowBinding::closing() {
    bool closed = false;
    model_.guarded([&] {
        model_.FormClose();
        closed = true;
    });
    // A settings file that cannot be written leaves the window open.
    return closed;
}

void WindowBinding::logDoubleClicked() {
    model_.guarded([this] { model_.MemoClear(); });
}

#include "output/status_line.h"

void StatusLine::setText(const std::string& text) {
    text_ = text;
    changed(text_);
}

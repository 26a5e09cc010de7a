#pragma once

#include "window/main_menu.h"

// "Обновление" is enabled exactly when one of its two items is; called after
// every change of either item.
void applyUpdateMenuRule(MainMenu& menu);

#pragma once

#include "chip/chip_menu_context.h"
#include "window/menu_item.h"

// The handler of the whole "Микросхема" menu.
class ChipMenu {
  public:
    explicit ChipMenu(ChipMenuContext context);

    // Dispatches on the clicked item: new chip, variant, load, program or burn,
    // dump, the two option items; anything else does nothing.
    void MainMenuChipClick(MenuItem& sender);
    // Sends the variant's idle mode and marks the item, whatever the answer.
    void SelectChipVariant(MenuItem& item);

  private:
    void newChip();
    void loadFile();
    void dump();

    ChipMenuContext c_;
};

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
    // The choice made once a programmer has been found at start: "9912ЛК047",
    // whatever was chosen last time. Nothing while the link is closed.
    void SelectStartUpVariant();

  private:
    void newChip();
    void loadFile();
    void dump();

    ChipMenuContext c_;
};

#include "control/programmer_menu.h"

ProgrammerMenu::ProgrammerMenu(ProgrammerMenuContext context) : c_(std::move(context)) {}

void ProgrammerMenu::MainMenuProgClick(MenuItem& sender) {
    if (&sender == &c_.menu.MainMenuProgFind) c_.discovery();
}

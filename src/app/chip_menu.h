#pragma once

#include <string>

#include "app/menu_binding.h"
#include "base/system_services.h"
#include "session/programmer_session.h"
#include "window/main_menu.h"

// The "Микросхема" menu as a view of the session: the variant's and the
// options' marks show the session's choice, and each item's click becomes one
// call: new chip, variant, load, program or burn, dump, the two options.
class ChipMenu {
  public:
    ChipMenu(MainMenu& menu, ProgrammerSession& session, Dialogs& dialogs,
             std::string programDirectory, const ClickGuard& guard = nullptr);

    // Selects the variant and marks it, whatever the programmer answers.
    void SelectChipVariant(const ChipVariant& variant);
    // The choice made once a programmer has been found at start: "9912ЛК047",
    // whatever was chosen last time. Nothing while the link is closed.
    void SelectStartUpVariant();
    // Marks the two option items as the session's options are.
    void showOptions();

  private:
    void bind(const ClickGuard& guard);
    void showVariant();
    void loadFile();
    void burn();
    void toggleOption(bool& option);

    MainMenu& menu_;
    ProgrammerSession& session_;
    Dialogs& dialogs_;
    std::string programDirectory_;
};

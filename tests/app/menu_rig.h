#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/chip_menu.h"
#include "app/programmer_menu.h"
#include "support/fake_desktop.h"
#include "support/ram_model.h"
#include "support/scripted_link.h"
#include "support/session_rig.h"
#include "support/test_bytes.h"

// The two programmer menus as the window has them, views of a session on the
// link of LinkRig; "Поиск" counts and does what the test gives it to do.
template <class LinkRig>
struct MenuViewRig : SessionRig<LinkRig> {
    template <class... Args>
    explicit MenuViewRig(Args&&... args) : SessionRig<LinkRig>(std::forward<Args>(args)...) {}

    // A click on an item, as the window's menu bar or a shortcut gives it.
    void choose(MenuItem& item) { item.click(); }
    void click(MenuItem& item) { item.click(); }

    MainMenu menu;
    FakeDialogs dialogs;
    int discoveries = 0;
    std::function<void()> discovery;
    std::unique_ptr<Timer> timerProg = this->pump.createTimer([] {});
    ChipMenu chip{this->menu, this->session, dialogs, "/opt/telvarn"};
    ProgrammerMenu handler{this->menu, this->log, this->session,
                           [this] {
                               ++discoveries;
                               if (discovery) discovery();
                           },
                           timerProg.get()};
};

// The programmer menu on a scripted port.
struct MenuRig : MenuViewRig<ScriptedLink> {
    std::vector<std::string> statusTexts;
    Connection statusShown;

    MenuRig() {
        statusShown =
            status.changed.connect([this](const std::string& text) { statusTexts.push_back(text); });
    }

    void open() { link.open(); }

    // The frames written so far that begin with the command word.
    std::vector<Bytes> framesOf(const std::string& word) const {
        return framesBeginningWith(port.written, word);
    }

    std::vector<std::string> commandWords() const {
        std::vector<std::string> out;
        for (const Bytes& frame : port.written) {
            std::string text(frame.begin(), frame.end());
            out.push_back(text.substr(0, text.find_first_not_of("abcdefghijklmnopqrstuvwxyz")));
        }
        return out;
    }
};

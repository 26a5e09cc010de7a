#pragma once

#include <string>
#include <vector>

#include "support/programmer_menu_rig.h"
#include "support/scripted_link.h"
#include "support/test_bytes.h"

// The programmer menu on a scripted port, its items wired to the handler the
// way the main window wires them, so that shortcuts reach it too.
struct MenuRig : ProgrammerMenuRig<ScriptedLink> {
    std::vector<std::string> statusTexts;
    Connection statusShown;

    MenuRig() {
        auto prog = [this](MenuItem& item) { choose(item); };
        for (MenuItem* item : menu.all()) {
            if (item->isSeparator()) continue;
            for (const MenuItem* at = item; at != nullptr; at = at->parent()) {
                if (at == &menu.MainMenuProg) item->setOnClick(prog);
            }
        }
        menu.MainMenuProgMUX.setOnClick(nullptr);
        statusShown =
            status.changed.connect([this](const std::string& text) { statusTexts.push_back(text); });
    }

    void open() { link.open(); }

    // The frames written so far that begin with the command word.
    std::vector<Bytes> framesOf(const std::string& word) const {
        std::vector<Bytes> out;
        for (const Bytes& frame : port.written) {
            if (frame.size() >= word.size() &&
                std::equal(word.begin(), word.end(), frame.begin())) {
                out.push_back(frame);
            }
        }
        return out;
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

// A 13-character status reply. The positions nobody reads carry ones, so a
// reader that looks at the wrong place gets noticed.
inline std::string statusReply(char vpr, const std::string& channel, const std::string& supply) {
    return std::string("11111") + vpr + channel + "1" + supply;
}

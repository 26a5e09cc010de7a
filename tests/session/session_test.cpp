#include "session/programmer_session.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "chip/buffer_dump.h"
#include "support/recorded_report.h"
#include "support/scripted_link.h"
#include "support/sim_rig.h"
#include "support/test_bytes.h"

namespace {

// A session on a scripted port that answers every command "OK", or "NO" when
// told to refuse.
struct Session : ::testing::Test, ScriptedLink {
    RecordedReport log;
    ProgrammerSession session{link, log};
    bool refusing = false;

    Session() {
        port.responder = [this](const Bytes&) { return bytesOf(refusing ? "NO" : "OK"); };
        link.open();
    }
    std::vector<Bytes> idleModes() const { return framesBeginningWith(port.written, "idlemode"); }
};

TEST_F(Session, TheVariantStandsWhateverTheProgrammerAnswers) {
    session.selectVariant(kVariant01);
    refusing = true;
    session.selectVariant(kVariant02);
    EXPECT_EQ(idleModes(), (std::vector<Bytes>{bytesOf("idlemode01R"), bytesOf("idlemode02R")}));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "Выбрана микросхема : 9912ЛК047_old",
                               "Ошибка установки режима IDLEMODE02R для микросхемы : 9912ЛК047"}));
    EXPECT_EQ(session.variant(), kVariant02);

    // Even an error escaping the exchange leaves the choice made.
    port.failing = {"purge"};
    EXPECT_THROW(session.selectVariant(kVariant01), PortError);
    EXPECT_EQ(session.variant(), kVariant01);
}

TEST_F(Session, StartUpChoosesTheNewVariantOnlyWithAProgrammer) {
    link.close();
    session.selectStartUpVariant();
    EXPECT_EQ(session.variant(), std::nullopt);
    link.open();
    session.selectStartUpVariant();
    EXPECT_EQ(session.variant(), kVariant02);
}

TEST_F(Session, NewChipSendsTheZeroModeAndKeepsTheVariant) {
    session.selectVariant(kVariant01);
    session.newChip();
    refusing = true;
    session.newChip();
    EXPECT_EQ(idleModes().back(), bytesOf("idlemode00R"));
    EXPECT_EQ(log.lines().back(), "Ошибка выбора новой микросхемы");
    EXPECT_EQ(log.lines()[1], "Выбрана новая микросхема");
    EXPECT_EQ(session.variant(), kVariant01);
    EXPECT_EQ(beeper.beeps, 0);
}

TEST_F(Session, WithoutAVariantNoChipOperationSendsAnything) {
    EXPECT_EQ(session.program(), std::nullopt);
    EXPECT_EQ(session.burn(), std::nullopt);
    EXPECT_EQ(log.lines(), (std::vector<std::string>(2, "Не выбран тип микросхемы")));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(beeper.beeps, 0);
}

TEST_F(Session, TheDumpListsTheVariantsImageOrSixteenKilobytes) {
    session.buffer()[3839] = 0xC3;
    session.buffer()[16383] = 0x0A;
    session.dump();
    ASSERT_EQ(log.lines().size(), 513u);
    EXPECT_EQ(log.lines()[0], "Буфер (байты) : 0-16383");
    EXPECT_EQ(log.lines()[512].substr(0, 7), "003FE0:");
    EXPECT_EQ(log.lines()[512].substr(log.lines()[512].size() - 6), " FF 0A");

    for (const ChipVariant& variant : {kVariant01, kVariant02}) {
        session.selectVariant(variant);
        log.clear();
        session.dump();
        ASSERT_EQ(log.lines().size(), 121u);
        EXPECT_EQ(log.lines()[0], "Буфер (байты) : 0-3839");
        EXPECT_EQ(log.lines()[120].substr(0, 7), "000EE0:");
        EXPECT_EQ(log.lines()[120].substr(log.lines()[120].size() - 3), " C3");
    }
    ChipBuffer buffer;
    buffer[0x10020] = 0x5A;
    EXPECT_EQ(dumpLine(buffer, 0x10020, 2), "010020: 5A FF");
}

TEST(SessionOnSimulator, FindTellsWhereAndWhatTheProgrammerIs) {
    SimRig rig;
    rig.link.close();
    rig.ports.names = {"SIM"};
    RecordedReport log;
    ProgrammerSession session(rig.link, log);
    const FoundProgrammer found = session.find();
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.port, "SIM");
    EXPECT_EQ(found.serialNumber, "00012345");
    EXPECT_EQ(found.firmwareVersion, 15);
    EXPECT_EQ(session.firmwareVersion(), 15);

    rig.ports.names = {};
    EXPECT_FALSE(session.find().found);
    EXPECT_EQ(log.lines().back(), "Программатор Telvarn-1 не найден");
}

}  // namespace

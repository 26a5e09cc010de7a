#include <gtest/gtest.h>

#include "base/errors.h"
#include "chip/buffer_dump.h"
#include "chip_harness.h"

TEST(ChipSelection, VariantItemsSendIdleModeAndKeepOneMark) {
    ChipHarness h;
    h.click(h.menu.MainMenuChipMode01);
    h.click(h.menu.MainMenuChipMode02);
    h.click(h.menu.MainMenuChipMode02);
    EXPECT_EQ(h.device.modes,
              (std::vector<std::string>{"idlemode01R", "idlemode02R", "idlemode02R"}));
    EXPECT_EQ(h.log.lines(), (std::vector<std::string>{"Выбрана микросхема : 9912ЛК047_old",
                                                       "Выбрана микросхема : 9912ЛК047",
                                                       "Выбрана микросхема : 9912ЛК047"}));
    EXPECT_FALSE(h.menu.MainMenuChipMode01.checked());
    EXPECT_TRUE(h.menu.MainMenuChipMode02.checked());
}

TEST(ChipSelection, MarkIsSetWhenTheProgrammerRefusesOrIsGone) {
    ChipHarness h;
    h.device.refusing = {"idlemode"};
    h.click(h.menu.MainMenuChipMode02);
    EXPECT_EQ(h.log.lines().back(),
              "Ошибка установки режима IDLEMODE02R для микросхемы : 9912ЛК047");
    EXPECT_TRUE(h.menu.MainMenuChipMode02.checked());

    h.link.close();
    h.click(h.menu.MainMenuChipMode01);
    EXPECT_EQ(h.log.lines().back(),
              "Ошибка установки режима IDLEMODE01R для микросхемы : 9912ЛК047_old");
    EXPECT_TRUE(h.menu.MainMenuChipMode01.checked());
    EXPECT_FALSE(h.menu.MainMenuChipMode02.checked());

    // Even an error escaping the exchange leaves the choice made.
    h.link.open();
    h.port.failing = {"purge"};
    EXPECT_THROW(h.click(h.menu.MainMenuChipMode02), PortError);
    EXPECT_TRUE(h.menu.MainMenuChipMode02.checked());
    EXPECT_FALSE(h.menu.MainMenuChipMode01.checked());
}

TEST(ChipSelection, NewChipSendsZeroModeAndKeepsTheMarks) {
    ChipHarness h;
    h.menu.MainMenuChipMode01.setChecked(true);
    h.click(h.menu.MainMenuChipModeNew);
    h.device.refusing = {"idlemode"};
    h.click(h.menu.MainMenuChipModeNew);
    EXPECT_EQ(h.device.modes, std::vector<std::string>{"idlemode00R"});
    EXPECT_EQ(h.log.lines(), (std::vector<std::string>{"Выбрана новая микросхема",
                                                       "Ошибка выбора новой микросхемы"}));
    EXPECT_TRUE(h.menu.MainMenuChipMode01.checked());
    EXPECT_EQ(h.beeper.beeps, 0);
}

TEST(ChipSelection, SubmenuAndOptionItemsSendNothing) {
    ChipHarness h;
    h.click(h.menu.MainMenuChipMode);
    h.click(h.menu.MainMenuChipLoadRamFinal);
    h.click(h.menu.MainMenuChipLoadFuseFunal);
    h.click(h.menu.MainMenuChipLoadFuseFunal);
    EXPECT_FALSE(h.menu.MainMenuChipLoadRamFinal.checked());
    EXPECT_TRUE(h.menu.MainMenuChipLoadFuseFunal.checked());
    EXPECT_TRUE(h.port.written.empty());
    EXPECT_TRUE(h.log.lines().empty());
}

TEST(BufferDump, WithoutVariantListsSixteenKilobytes) {
    ChipHarness h;
    h.buffer[16383] = 0x0A;
    h.buffer[16384] = 0x00;  // beyond the dump
    h.click(h.menu.MainMenuChipDump);
    const auto& lines = h.log.lines();
    ASSERT_EQ(lines.size(), 513u);
    EXPECT_EQ(lines[0], "Буфер (байты) : 0-16383");
    std::string fresh = "000000:";
    for (int i = 0; i < 32; ++i) fresh += " FF";
    EXPECT_EQ(lines[1], fresh);
    EXPECT_EQ(lines[512].substr(0, 7), "003FE0:");
    EXPECT_EQ(lines[512].substr(lines[512].size() - 6), " FF 0A");
}

TEST(BufferDump, WithAVariantListsTheChipImage) {
    for (bool first : {true, false}) {
        ChipHarness h;
        (first ? h.menu.MainMenuChipMode01 : h.menu.MainMenuChipMode02).setChecked(true);
        h.buffer[3839] = 0xC3;
        h.click(h.menu.MainMenuChipDump);
        const auto& lines = h.log.lines();
        ASSERT_EQ(lines.size(), 121u);
        EXPECT_EQ(lines[0], "Буфер (байты) : 0-3839");
        EXPECT_EQ(lines[120].substr(0, 7), "000EE0:");
        EXPECT_EQ(lines[120].size(), 7u + 32 * 3);
        EXPECT_EQ(lines[120].substr(lines[120].size() - 3), " C3");
    }
}

TEST(BufferDump, OffsetsAboveSixtyFourKilobytesKeepTheirHighByte) {
    ChipBuffer buffer;
    buffer[0x10020] = 0x5A;
    EXPECT_EQ(dumpLine(buffer, 0x10020, 2), "010020: 5A FF");
}

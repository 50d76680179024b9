// Start-up decisions of the portable core: start-mode words, language choice, the message table, the settings
// loading rules and the SMBus library's flags.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/Language.h"
#include "base/Settings.h"
#include "app/StartMode.h"
#include "memory/SmbusBinding.h"
#include "tests/native/fake_settings_registry.h"

namespace {

TEST(StartModeWords, WholeTextIgnoringCase) {
    EXPECT_EQ(ParseStartMode(u"Normal"), kStartNormal);
    EXPECT_EQ(ParseStartMode(u"minimize"), kStartMinimize);
    EXPECT_EQ(ParseStartMode(u"systray"), kStartSysTray);
    EXPECT_EQ(ParseStartMode(u"SYSTRAY"), kStartSysTray);
    EXPECT_EQ(ParseStartMode(u"OnlyApplySettings"), kStartOnlyApplySettings);
    EXPECT_EQ(ParseStartMode(u"onlyapplysettings"), kStartOnlyApplySettings);
}

TEST(StartModeWords, NearMissesGiveTheDefault) {
    for (const char16_t* text : {u"SysTray ", u"/SysTray", u"SysTray Minimize", u"-Minimize", u"Minimise", u"Norma",
                                 u"Normal\t", u"", u"OnlyApplySetting", u"\u0130Normal"}) {
        EXPECT_EQ(ParseStartMode(text), kStartDefault)
            << std::string(text, text + std::char_traits<char16_t>::length(text));
    }
    EXPECT_EQ(ParseStartMode(nullptr), kStartDefault);
}

TEST(LanguageChoice, FromTheSystemDefaultLanguage) {
    EXPECT_EQ(LanguageIndexFor(0x0804), kSimplifiedChinese);
    for (std::uint16_t id : {0x0404, 0x0C04, 0x1004, 0x1404}) {
        EXPECT_EQ(LanguageIndexFor(id), kTraditionalChinese) << std::hex << id;
    }
    for (std::uint16_t id : {0x0409, 0x0809, 0x0407, 0x0411, 0x0004, 0x7C04, 0x0000, 0xFFFF}) {
        EXPECT_EQ(LanguageIndexFor(id), kEnglish) << std::hex << id;
    }
}

std::u16string Text(std::int32_t language, std::int32_t id) {
    const char16_t* t = MessageText(language, id);
    return t ? std::u16string(t) : std::u16string(u"<null>");
}

TEST(MessageTable, HasTwoHundredAndTwentyRowsInThreeLanguages) {
    for (std::int32_t language = 0; language < 3; ++language) {
        for (std::int32_t id = 0; id < kMessageCount; ++id) {
            const char16_t* t = MessageText(language, id);
            ASSERT_NE(t, nullptr) << language << "/" << id;
            EXPECT_NE(t[0], u'\0') << language << "/" << id;
        }
        EXPECT_EQ(MessageText(language, kMessageCount), nullptr);
        EXPECT_EQ(MessageText(language, -1), nullptr);
    }
    EXPECT_EQ(MessageText(3, 0), nullptr);
}

TEST(MessageTable, RowsTheProgramShows) {
    struct Row {
        std::int32_t id;
        std::u16string en, zhs, zht;
    };
    const Row rows[] = {
        {kMsgProductName, u"Zorva Prismel", u"Zorva Prismel", u"Zorva Prismel"},
        {kMsgAddFontFailed, u"Add font failed!", u"载入字体失败!", u"載入字體失敗!"},
        {kMsgAbout, u"About", u"关于", u"關於"},
        {kMsgApply, u"Apply", u"应用", u"應用"},
        {kMsgOk, u"OK", u"确定", u"確定"},
        {kMsgStartedByOtherUser, u"Tessaro has been started by other user.", u"Tessaro已经被其他用户启动!",
         u"Tessaro已經被其他用戶啓動!"},
        {kMsgReset, u"Reset", u"重置", u"恢復默認"},
        {kMsgMainWindow, u"Main window", u"主窗口", u"主窗口"},
        {kMsgQuit, u"Quit", u"退出", u"退出"},
        {kMsgPowerWatts, u"POWER(W)", u"功率(W)", u"功率(W)"},
        {kMsgAboutProduct, u"About Zorva Prismel", u"关于 Zorva Prismel", u"關於 Zorva Prismel"},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(Text(0, row.id) == row.en) << row.id;
        EXPECT_TRUE(Text(1, row.id) == row.zhs) << row.id;
        EXPECT_TRUE(Text(2, row.id) == row.zht) << row.id;
    }
}

using FakeRegistry = FakeSettingsRegistry;

TEST(SettingsLoading, NoKeyWritesExactlyTheSixDefaults) {
    FakeRegistry registry;
    AppSettings settings;
    LoadSettings(registry, settings);
    EXPECT_EQ(registry.writes, (std::vector<std::u16string>{u"IphonePassWord", u"SamplingPeriod", u"FansSet",
                                                            u"FansHighSet", u"TempSet", u"TemplowSet"}));
    EXPECT_TRUE(settings.RestoreUserSettings);
    EXPECT_EQ(registry.values.at(u"SamplingPeriod"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_GE(settings.IphonePassWord, 100000u);
    EXPECT_LE(settings.IphonePassWord, 999999u);

    // A second start finds them and writes nothing.
    registry.writes.clear();
    AppSettings again;
    LoadSettings(registry, again);
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_EQ(again.IphonePassWord, settings.IphonePassWord);
}

TEST(SettingsLoading, FlagsAreNonzeroTrueAndNumbersRaw) {
    FakeRegistry registry;
    registry.SetDword(u"RestoreUserSettings", 0);
    registry.SetDword(u"OSDTempShow", 0);
    registry.SetDword(u"OSDClockShow", 0x100); // nonzero only above the low byte: still true
    registry.SetDword(u"HighSet", 7);
    registry.SetDword(u"SamplingPeriod", 0);
    registry.SetDword(u"FansSet", 0xDEADBEEF);
    AppSettings s;
    LoadSettings(registry, s);
    EXPECT_FALSE(s.RestoreUserSettings);
    EXPECT_FALSE(s.OSDTempShow);
    EXPECT_TRUE(s.OSDClockShow);
    EXPECT_EQ(s.HighSet, 1u);
    EXPECT_EQ(s.SamplingPeriod, 0u) << "0 is a value, not a missing one";
    EXPECT_EQ(s.FansSet, 0xDEADBEEFu);
    for (const auto& w : registry.writes) {
        EXPECT_NE(w, u"SamplingPeriod");
        EXPECT_NE(w, u"FansSet");
    }

    registry.SetDword(u"RestoreUserSettings", 2);
    AppSettings t;
    LoadSettings(registry, t);
    EXPECT_TRUE(t.RestoreUserSettings);
}

TEST(SettingsLoading, RawBytesWhateverTheTypeAndOversizeCountsAsMissing) {
    FakeRegistry registry;
    registry.values[u"TempSet"] = {'A', 0, 0, 0};               // a one-character string with its terminator
    registry.values[u"FansHighSet"] = {9, 0, 0, 0, 0, 0, 0, 0}; // eight bytes: missing, so rewritten
    registry.values[u"AutoUpdate"] = {0, 0, 0, 0, 1};           // five bytes: missing, default true kept
    AppSettings s;
    LoadSettings(registry, s);
    EXPECT_EQ(s.TempSet, 0x41u);
    EXPECT_EQ(s.FansHighSet, 1u);
    EXPECT_EQ(registry.values.at(u"FansHighSet"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_TRUE(s.AutoUpdate);
}

TEST(SettingsLoading, FailedWriteBacksLeaveTheDefaults) {
    FakeRegistry registry;
    registry.writable = false;
    AppSettings s;
    LoadSettings(registry, s);
    EXPECT_EQ(registry.writes.size(), 6u);
    EXPECT_EQ(s.SamplingPeriod, 1u);
    EXPECT_TRUE(s.RestoreUserSettings);
}

TEST(SmbusAnswers, FlagsFromEachCheckSpdAnswer) {
    for (std::uint32_t answer = 0; answer < 8; ++answer) {
        SmbusFlags f = FlagsFromCheckSpd(answer);
        EXPECT_EQ(f.useRgbI2cMode, (answer & 2) != 0) << answer;
        EXPECT_EQ(f.useSetZorvaEffect, (answer & 4) != 0) << answer;
        // Only the low byte counts.
        SmbusFlags noisy = FlagsFromCheckSpd(0x5A00u | answer);
        EXPECT_EQ(noisy.useRgbI2cMode, f.useRgbI2cMode);
        EXPECT_EQ(noisy.useSetZorvaEffect, f.useSetZorvaEffect);
    }
    EXPECT_FALSE(FlagsFromCheckSpd(0x0600).useRgbI2cMode);
    EXPECT_TRUE(SmbusReady(0x5A01));
    EXPECT_FALSE(SmbusReady(0x0100));
}

} // namespace

// The display language, chosen once from the system's default language, and the message table.
#pragma once

#include <cstdint>

enum LanguageIndex : std::int32_t {
    kEnglish = 0,
    kSimplifiedChinese = 1,
    kTraditionalChinese = 2,
};

inline constexpr std::int32_t kMessageCount = 220;

// 0x0804 is Simplified Chinese; 0x0404, 0x0C04, 0x1004 and 0x1404 are Traditional; everything else is English.
std::int32_t LanguageIndexFor(std::uint16_t systemLanguageId);

// The text of message id in a language, or null for an id outside 0-219 or a language outside 0-2.
const char16_t* MessageText(std::int32_t language, std::int32_t id);

// Message ids the program uses.
enum MessageId : std::int32_t {
    kMsgProductName = 0,
    kMsgAddFontFailed = 3,
    kMsgAbout = 13,
    kMsgApply = 14,
    kMsgOk = 51,
    kMsgStartedByOtherUser = 61,
    kMsgReset = 62,
    kMsgMainWindow = 69,
    kMsgQuit = 70,
    kMsgPowerWatts = 181,
    kMsgAboutProduct = 190,
    kMsgRestoreLighting = 191,
    kMsgLightsOff = 192,
    kMsgDarkAsleep = 193,
    kMsgDarkDisplay = 194,
    kMsgDarkLocked = 195,
    kMsgDarkIdle = 196,
    kMsgDarkNight = 197,
    kMsgDarkTip = 198,
    kMsgDarkReasons = 199,
    kMsgSdkServerItem = 200,
    kMsgSdkPortTaken = 201,
    kMsgLightsOffAsleep = 202,
    kMsgProfiles = 80,
    kMsgSaveProfile = 81,
    kMsgDeleteProfile = 82,
    kMsgProfileDamaged = 83,
    kMsgProfileName = 84,
    kMsgCancel = 85,
    kMsgProfileReplace = 86,
    kMsgProfilesFull = 87,
    kMsgProfileBadName = 88,
    kMsgProfileDeleteAsk = 89,
    // What a screen reader calls the window's controls (their pictures show the words, or none).
    kMsgModeStatic = 203, // the ten modes, 203-212, in the mode buttons' order
    kMsgModeColourCycle = 212,
    kMsgSpeedNumber = 213, // %d is the speed button's number, 1-5
    kMsgRed = 214,
    kMsgGreen = 215,
    kMsgBlue = 216,
    kMsgPower = 217,
    kMsgColourWheel = 218,
    kMsgLighting = 219,
    kMsgModuleInformation = 71,
    kMsgMinimise = 72,
    kMsgClose = 73,
    kMsgModuleSelector = 74,
    kMsgPreviousSubPage = 75,
    kMsgNextSubPage = 76,
    kMsgMakerSite = 77,
    // A module field the SPD leaves blank (part number, serial number).
    kMsgNone = 78,
};

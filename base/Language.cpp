#include "base/Language.h"

#include <array>

namespace {

struct MessageRow {
    const char16_t* text[3];
};

// Rows the program shows; every other row belongs to the graphics-card tools of the older code base and keeps
// its id so that ids stay fixed.
struct KnownRow {
    std::int32_t id;
    MessageRow row;
};

constexpr KnownRow kKnownRows[] = {
    {kMsgProductName, {{u"Zorva Prismel", u"Zorva Prismel", u"Zorva Prismel"}}},
    {kMsgAddFontFailed, {{u"Add font failed!", u"载入字体失败!", u"載入字體失敗!"}}},
    {kMsgAbout, {{u"About", u"关于", u"關於"}}},
    {kMsgApply, {{u"Apply", u"应用", u"應用"}}},
    {kMsgOk, {{u"OK", u"确定", u"確定"}}},
    {kMsgStartedByOtherUser,
     {{u"Tessaro has been started by other user.", u"Tessaro已经被其他用户启动!", u"Tessaro已經被其他用戶啓動!"}}},
    {kMsgReset, {{u"Reset", u"重置", u"恢復默認"}}},
    {kMsgMainWindow, {{u"Main window", u"主窗口", u"主窗口"}}},
    {kMsgQuit, {{u"Quit", u"退出", u"退出"}}},
    {kMsgPowerWatts, {{u"POWER(W)", u"功率(W)", u"功率(W)"}}},
    {kMsgAboutProduct, {{u"About Zorva Prismel", u"关于 Zorva Prismel", u"關於 Zorva Prismel"}}},
    {kMsgRestoreLighting, {{u"Restore lighting at start", u"启动时恢复灯光", u"啟動時恢復燈光"}}},
    {kMsgLightsOff, {{u"Lights off", u"关闭灯光", u"關閉燈光"}}},
    {kMsgDarkAsleep, {{u"While the PC sleeps", u"电脑睡眠时", u"電腦睡眠時"}}},
    {kMsgDarkDisplay, {{u"While the display is off", u"显示器关闭时", u"顯示器關閉時"}}},
    {kMsgDarkLocked, {{u"While the PC is locked", u"电脑锁定时", u"電腦鎖定時"}}},
    // %s is the number of minutes.
    {kMsgDarkIdle, {{u"After %s minutes without input", u"%s 分钟无输入后", u"%s 分鐘無輸入後"}}},
    // %s is the night's span, "23:00-07:00".
    {kMsgDarkNight, {{u"At night (%s)", u"夜间（%s）", u"夜間（%s）"}}},
    // The tray tip's addition while the modules are dark; %s names the reasons.
    {kMsgDarkTip, {{u"dark: %s", u"已关灯：%s", u"已關燈：%s"}}},
    // The dark reasons in the order asleep, display off, locked, idle, night, parted by '|'.
    {kMsgDarkReasons,
     {{u"asleep|display off|locked|idle|night", u"睡眠|显示器关闭|已锁定|无输入|夜间",
       u"睡眠|顯示器關閉|已鎖定|無輸入|夜間"}}},
    {kMsgSdkServerItem,
     {{u"Allow OpenRGB clients (this PC only)", u"允许 OpenRGB 客户端（仅限本机）",
       u"允許 OpenRGB 用戶端（僅限本機）"}}},
    {kMsgLightsOffAsleep, {{u"Lights off while the PC sleeps", u"电脑睡眠时关闭灯光", u"電腦睡眠時關閉燈光"}}},
    {kMsgProfiles, {{u"Profiles", u"配置文件", u"設定檔"}}},
    {kMsgSaveProfile, {{u"Save current lighting as…", u"将当前灯光另存为…", u"將目前燈光另存為…"}}},
    {kMsgDeleteProfile, {{u"Delete", u"删除", u"刪除"}}},
    // %s is the profile's name.
    {kMsgProfileDamaged, {{u"%s (damaged)", u"%s（已损坏）", u"%s（已損毀）"}}},
    {kMsgProfileName, {{u"Profile name:", u"配置文件名称：", u"設定檔名稱："}}},
    {kMsgCancel, {{u"Cancel", u"取消", u"取消"}}},
    {kMsgProfileReplace,
     {{u"A profile named \u201C%s\u201D exists already. Replace it?", u"已有名为\u201C%s\u201D的配置文件。要替换它吗？",
       u"已有名為「%s」的設定檔。要取代它嗎？"}}},
    {kMsgProfilesFull,
     {{u"There are 100 profiles already. Delete one before saving another.",
       u"已有 100 个配置文件。请先删除一个再保存。", u"已有 100 個設定檔。請先刪除一個再儲存。"}}},
    {kMsgProfileBadName,
     {{u"A profile name has 1 to 64 characters, without control characters or \\.",
       u"配置文件名称为 1 到 64 个字符，不含控制字符或 \\。", u"設定檔名稱為 1 到 64 個字元，不含控制字元或 \\。"}}},
    {kMsgProfileDeleteAsk,
     {{u"Delete the profile \u201C%s\u201D?", u"删除配置文件\u201C%s\u201D？", u"刪除設定檔「%s」？"}}},
    // The mode buttons' names are the words their pictures show.
    {kMsgModeStatic, {{u"Static", u"静态", u"靜態"}}},
    {kMsgModeStatic + 1, {{u"Breathing", u"呼吸", u"呼吸"}}},
    {kMsgModeStatic + 2, {{u"Single flash", u"单闪", u"單閃"}}},
    {kMsgModeStatic + 3, {{u"Double flash", u"双闪", u"雙閃"}}},
    {kMsgModeStatic + 4, {{u"Rainbow", u"彩虹", u"彩虹"}}},
    {kMsgModeStatic + 5, {{u"Prismel", u"Prismel", u"Prismel"}}},
    {kMsgModeStatic + 6, {{u"Meteor", u"流星", u"流星"}}},
    {kMsgModeStatic + 7, {{u"Marquee", u"跑马灯", u"跑馬燈"}}},
    {kMsgModeStatic + 8, {{u"Twinkle", u"星光", u"星光"}}},
    {kMsgModeColourCycle, {{u"Colour cycle", u"色彩循环", u"色彩循環"}}},
    {kMsgSpeedNumber, {{u"Speed %d", u"速度 %d", u"速度 %d"}}},
    {kMsgRed, {{u"Red", u"红", u"紅"}}},
    {kMsgGreen, {{u"Green", u"绿", u"綠"}}},
    {kMsgBlue, {{u"Blue", u"蓝", u"藍"}}},
    {kMsgPower, {{u"Power", u"电源", u"電源"}}},
    {kMsgColourWheel, {{u"Colour wheel", u"色轮", u"色輪"}}},
    {kMsgLighting, {{u"Lighting", u"灯光", u"燈光"}}},
    {kMsgModuleInformation, {{u"Module information", u"模块信息", u"模組資訊"}}},
    {kMsgMinimise, {{u"Minimise", u"最小化", u"最小化"}}},
    {kMsgClose, {{u"Close", u"关闭", u"關閉"}}},
    {kMsgModuleSelector, {{u"Module", u"模块", u"模組"}}},
    {kMsgPreviousSubPage, {{u"Previous page", u"上一页", u"上一頁"}}},
    {kMsgNextSubPage, {{u"Next page", u"下一页", u"下一頁"}}},
    {kMsgMakerSite, {{u"Visit our website", u"访问我们的网站", u"造訪我們的網站"}}},
    {kMsgNone, {{u"None", u"无", u"無"}}},
    // %u is the port.
    {kMsgSdkPortTaken,
     {{u"Port %u is in use by another program, so OpenRGB clients cannot connect.",
       u"端口 %u 已被其他程序占用，OpenRGB 客户端无法连接。",
       u"連接埠 %u 已被其他程式佔用，OpenRGB 用戶端無法連線。"}}},
};

// Texts of the graphics-card tools that this program never shows.
constexpr MessageRow kUnusedRow = {{u"(not used)", u"（未使用）", u"（未使用）"}};

constexpr std::array<MessageRow, kMessageCount> BuildTable() {
    std::array<MessageRow, kMessageCount> table{};
    for (auto& row : table) {
        row = kUnusedRow;
    }
    for (const auto& known : kKnownRows) {
        table[static_cast<std::size_t>(known.id)] = known.row;
    }
    return table;
}

constexpr std::array<MessageRow, kMessageCount> kMessageTable = BuildTable();

} // namespace

std::int32_t LanguageIndexFor(std::uint16_t systemLanguageId) {
    switch (systemLanguageId) {
    case 0x0804:
        return kSimplifiedChinese;
    case 0x0404:
    case 0x0C04:
    case 0x1004:
    case 0x1404:
        return kTraditionalChinese;
    default:
        return kEnglish;
    }
}

const char16_t* MessageText(std::int32_t language, std::int32_t id) {
    if (id < 0 || id >= kMessageCount || language < 0 || language > 2) {
        return nullptr;
    }
    return kMessageTable[static_cast<std::size_t>(id)].text[language];
}

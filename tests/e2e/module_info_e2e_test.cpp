// The module information page as a user meets it: the modules the stand-in serves are found, listed and shown on
// the three sub-pages, and choosing another module shows its data at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

class ModuleInfoTest : public ProgramTest {
protected:
    ModuleInfoTest() : ProgramTest(L"modules-") {}

    // Shows the sub-page and captures the window once it has painted.
    Image Capture(HWND main) const {
        Settle();
        Sleep(300);
        return CaptureWindow(main);
    }
};

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Pixels of drawn text (the view's colours are much lighter than the panel) in a cell of a panel line.
int TextPixels(const Image& shot, int left, int right, int line) {
    int count = 0;
    for (int y = 225 + 29 * line; y < 225 + 29 * line + 18; ++y) {
        for (int x = left; x < right; ++x) {
            std::uint32_t c = shot.At(x, y);
            count += ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) > 200 ? 1 : 0;
        }
    }
    return count;
}

// The lines of a sub-page that hold text in the first column (x 217-330) and in the columns from x.
std::string Lines(const Image& shot, int columnX) {
    std::string lines;
    for (int line = 0; line < 10; ++line) {
        lines += TextPixels(shot, 217, 330, line) > 5 && TextPixels(shot, columnX, columnX + 40, line) > 5 ? '#' : '.';
    }
    return lines;
}

TEST_F(ModuleInfoTest, TwoModulesAreFoundListedAndShownOnEachSubPage) {
    config_ = ModuleLine(0, 2, "gskill-f4-3200c14d-32gtzr.bin") + ModuleLine(1, 4, "samsung-m378a2k43eb1-cwe.bin");
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    const std::vector<std::wstring> expected = {L"DIMM0", L"DIMM1"};
    EXPECT_EQ(ComboItems(GetDlgItem(main, IDC_SHADOW_MODULE_LIST)), expected);
    EXPECT_EQ(ComboItems(GetDlgItem(main, IDC_MODULE_SELECTOR)), expected);

    // Twelve one-byte probes in order, and the 512 bytes of each of the two modules.
    std::vector<std::string> probes;
    unsigned reads = 0;
    for (const std::string& line : Journal()) {
        unsigned first = 0, second = 0, offset = 0, count = 0;
        if (std::sscanf(line.c_str(), "%*s ReadSPD(%u, %u) first_offset=%u count=%u", &first, &second, &offset,
                        &count) == 4) {
            reads += count;
            if (offset == 0 && count == 1) {
                probes.push_back(std::to_string(first) + std::to_string(second));
            }
        }
    }
    EXPECT_EQ(probes,
              (std::vector<std::string>{"00", "01", "02", "03", "04", "05", "10", "11", "12", "13", "14", "15"}));
    EXPECT_EQ(reads, 12u + 1024u);

    Click(GetDlgItem(main, IDC_BTN_TAB_MODULE_INFO));
    Image facts = Capture(main);
    EXPECT_EQ(Lines(facts, 340), "##########") << "ten labels, each with its value";
    Click(GetDlgItem(main, IDC_BTN_SUBPAGE_FORWARD));
    Image jedec = Capture(main);
    EXPECT_EQ(Lines(jedec, 843), "#######...") << "DIMM0 has seven latencies";
    Click(GetDlgItem(main, IDC_BTN_SUBPAGE_FORWARD));
    EXPECT_EQ(Lines(Capture(main), 340), ".##.......") << "DIMM0 has one XMP profile: title (no label), speed, voltage";

    // Back to sub-page 2 and choose DIMM1 (fourteen latencies): it repaints with DIMM1's rows, ten of them.
    Click(GetDlgItem(main, IDC_BTN_SUBPAGE_BACK));
    Capture(main);
    HWND selector = GetDlgItem(main, IDC_MODULE_SELECTOR);
    SendMessageW(selector, CB_SETCURSEL, 1, 0);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_MODULE_SELECTOR, CBN_SELCHANGE), reinterpret_cast<LPARAM>(selector));
    Image second = Capture(main);
    EXPECT_EQ(Lines(second, 843), "##########");
    EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_SHADOW_MODULE_LIST), CB_GETCURSEL, 0, 0), 1)
        << "the shadow list follows";
}

TEST_F(ModuleInfoTest, WithoutModulesTheListsAreEmptyAndOnlyTheLabelsShow) {
    config_.clear();
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(ComboItems(GetDlgItem(main, IDC_SHADOW_MODULE_LIST)).empty());
    EXPECT_TRUE(ComboItems(GetDlgItem(main, IDC_MODULE_SELECTOR)).empty());
    Click(GetDlgItem(main, IDC_BTN_TAB_MODULE_INFO));
    Image facts = Capture(main);
    for (int line = 0; line < 10; ++line) {
        EXPECT_GT(TextPixels(facts, 217, 330, line), 5) << "label on line " << line;
        EXPECT_EQ(TextPixels(facts, 340, 540, line), 0) << "no value on line " << line;
    }
}

// Where drawn text ends: one past its rightmost pixel in a band of the window, or left when there is none.
int TextRightEdge(const Image& shot, int left, int right, int top) {
    for (int x = right - 1; x >= left; --x) {
        for (int y = top; y < top + 18; ++y) {
            std::uint32_t c = shot.At(x, y);
            if (((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) > 200) {
                return x + 1;
            }
        }
    }
    return left;
}

// How wide a text is in the view's font (Arial, 16 units high, proof quality), as this prefix sets it.
int ViewFontWidth(const std::wstring& text) {
    LOGFONTW face{};
    face.lfHeight = 16;
    face.lfQuality = PROOF_QUALITY;
    wcscpy_s(face.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&face);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return size.cx;
}

// CTest runs this once per system language (LC_ALL), with PRISMEL_EXPECT_LANGUAGE naming the language: 0 English,
// 1 Simplified Chinese, 2 Traditional Chinese. Each text is known by where it ends: the languages' labels differ in
// width (the two Chinese ones on lines 2 and 4 by a character).
TEST_F(ModuleInfoTest, TheFactsLabelsAndHeadingAreInTheSystemLanguage) {
    struct Expected {
        std::wstring heading;
        std::vector<std::pair<int, std::wstring>> labels; // line, text
    };
    const Expected languages[] = {
        {L"Module", {{0, L"Manufacturer"}, {2, L"Serial number"}, {4, L"Memory type"}, {9, L"Voltage"}}},
        {L"模块", {{0, L"制造商"}, {2, L"序列号"}, {4, L"存储类型"}, {9, L"工作电压"}}},
        {L"模組", {{0, L"製造商"}, {2, L"序號"}, {4, L"記憶體類型"}, {9, L"工作電壓"}}},
    };
    char expected[4] = "0";
    GetEnvironmentVariableA("PRISMEL_EXPECT_LANGUAGE", expected, 4);
    const int language = expected[0] - '0';
    ASSERT_TRUE(language >= 0 && language <= 2);
    config_.clear(); // no values beside the labels
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    Click(GetDlgItem(main, IDC_BTN_TAB_MODULE_INFO));
    const Image facts = Capture(main);
    auto ends = [&](int top, const std::wstring& text) {
        const int edge = TextRightEdge(facts, 217, 540, top);
        const int width = ViewFontWidth(text);
        EXPECT_TRUE(edge >= 217 + width - 4 && edge <= 217 + width + 2)
            << "the text at y " << top << " ends at x " << edge << ", the expected one would at " << 217 + width;
    };
    const Expected& words = languages[language];
    ends(185, words.heading);
    for (const auto& [line, label] : words.labels) {
        ends(225 + 29 * line, label);
    }
}

} // namespace

// The module information page as a user meets it: the modules the stand-in serves are found, listed and shown on
// the three sub-pages, and choosing another module shows its data at once.
#include <gtest/gtest.h>

#include <cstdio>

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

} // namespace

// Dark when nobody is looking, as the system tells the program: the display's power setting (its data in the
// program's own address space, as the system delivers it) and the session's lock and unlock. Read back from the
// SMBus stand-in's journal.
#include <gtest/gtest.h>

#include <algorithm>

#include "lighting/Darkness.h"
#include "lighting/LightingSequences.h"
#include "smbus-sim/SimFiles_win32.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

const std::vector<std::string> kOff = {"RGBI2CMode(0x01, 0x04, 0x00, 0x00)",
                                       "SetZorvaEffect(0x01, 0x0000, 0x00, 0xFF000000)"};
const std::vector<std::string> kMeteorApply = {"SetZorvaEffect(0x07, 0x0004, 0x00, 0x00000000)",
                                               "RGBI2CMode(0x01, 0x04, 0x00, 0x00)"};
const std::vector<std::string> kStaticApply = {"SetZorvaEffect(0x01, 0x0000, 0x00, 0xFF3D45FF)",
                                               "RGBI2CMode(0x01, 0x03, 0x00, 0x00)",
                                               "RGBI2CMode(0x02, 0x00, 0x00, 0x00)",
                                               "RGBI2CMode(0x02, 0x10, 0x00, 0x00)",
                                               "RGBI2CMode(0x10, 0x3D, 0x45, 0xFF)",
                                               "RGBI2CMode(0x11, 0x3D, 0x45, 0xFF)",
                                               "RGBI2CMode(0x12, 0x3D, 0x45, 0xFF)",
                                               "RGBI2CMode(0x13, 0x3D, 0x45, 0xFF)",
                                               "RGBI2CMode(0x14, 0x3D, 0x45, 0xFF)"};

bool IsLedCall(const std::string& call) {
    return call.rfind("RGBI2CMode(0x1", 0) == 0;
}

class DarknessTest : public ProgramTest {
protected:
    DarknessTest() : ProgramTest(L"dark-") {}

    // The console display's state as the system sends it: a POWERBROADCAST_SETTING in the receiver's memory.
    void SendDisplayState(HWND main, DWORD state) const {
        const GUID consoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
        struct {
            GUID setting;
            DWORD length;
            DWORD state;
        } data{consoleDisplayState, sizeof(DWORD), state};
        DWORD id = 0;
        GetWindowThreadProcessId(main, &id);
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id);
        ASSERT_NE(process, nullptr);
        void* remote = VirtualAllocEx(process, nullptr, sizeof data, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ASSERT_NE(remote, nullptr);
        ASSERT_TRUE(WriteProcessMemory(process, remote, &data, sizeof data, nullptr));
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(remote),
                            SMTO_BLOCK, 5000, &ignored);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
    }
    static void Session(HWND main, WPARAM change) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main, WM_WTSSESSION_CHANGE, change, 1, SMTO_BLOCK, 5000, &ignored);
    }
    void ApplyMeteor(HWND main) {
        Click(GetDlgItem(main, IDC_BTN_SPEED_LAST));
        Click(GetDlgItem(main, IDC_BTN_MODE_FIRST + kModeMeteor - 1));
        const std::size_t from = Journal().size();
        Click(GetDlgItem(main, IDC_BTN_APPLY));
        WaitForLightingCalls(from, 12); // the Apply sequence and two frames
    }
    // The calls since `from` without LED frames.
    std::vector<std::string> CommandsSince(std::size_t from) const {
        std::vector<std::string> calls = LightingCallsSince(from);
        std::erase_if(calls, IsLedCall);
        return calls;
    }
};

TEST_F(DarknessTest, TheDisplayOffDarkensReallyAndTheLightingComesBackWithIt) {
    PutDword(L"LightsOffWithDisplay", 1);
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    ApplyMeteor(main);
    std::size_t from = Journal().size();
    const double sent = smbus_sim::JournalClockMs();
    SendDisplayState(main, 0);
    std::vector<std::string> calls = WaitForLightingCalls(from, 2);
    auto off = std::search(calls.begin(), calls.end(), kOff.begin(), kOff.end());
    ASSERT_NE(off, calls.end()) << "the off sequence";
    const auto lines = Journal();
    EXPECT_LT(TimeOf(lines.back()) - sent, 1000.0) << "within a second";
    Sleep(400); // time for frames that must not come
    calls = LightingCallsSince(from);
    off = std::search(calls.begin(), calls.end(), kOff.begin(), kOff.end());
    EXPECT_TRUE(std::none_of(off + 2, calls.end(), IsLedCall)) << "no LED frame after the off sequence";
    EXPECT_TRUE(IsVisible(GetDlgItem(main, IDC_BTN_APPLY))) << "the toggle still shows the user's choice";

    from = Journal().size();
    SendDisplayState(main, 2); // dimmed is not dark
    SendDisplayState(main, 1);
    calls = WaitForLightingCalls(from, 12);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 2), kMeteorApply) << "Meteor again";
    EXPECT_GE(std::count_if(calls.begin(), calls.end(), IsLedCall), 10) << "and animated";
}

TEST_F(DarknessTest, LockAndUnlockKeepWhatTheUserChose) {
    PutDword(L"LightsOffWhileLocked", 1);
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    // Switched off by the user: nothing at lock, nothing at unlock, and the toggle still off.
    Click(GetDlgItem(main, IDC_BTN_POWER));
    Settle();
    std::size_t from = Journal().size();
    Session(main, WTS_SESSION_LOCK);
    Session(main, WTS_SESSION_UNLOCK);
    Settle();
    EXPECT_TRUE(LightingCallsSince(from).empty());
    EXPECT_FALSE(IsVisible(GetDlgItem(main, IDC_BTN_APPLY))) << "the toggle still off";

    // Locked during Meteor: off; an Apply of Static while locked sends nothing and is remembered; at unlock Static.
    Click(GetDlgItem(main, IDC_BTN_POWER));
    Settle();
    ApplyMeteor(main);
    from = Journal().size();
    Session(main, WTS_SESSION_LOCK);
    EXPECT_EQ(CommandsSince(from), kOff);
    Click(GetDlgItem(main, IDC_BTN_SPEED_FIRST));
    Click(GetDlgItem(main, IDC_BTN_MODE_FIRST + kModeStatic - 1));
    from = Journal().size();
    Click(GetDlgItem(main, IDC_BTN_APPLY));
    Settle();
    EXPECT_TRUE(LightingCallsSince(from).empty()) << "nothing goes out while locked";
    EXPECT_EQ(StoredDword(L"CurrentMode"), 1u) << "but it is what the user chose, and remembered";
    Session(main, WTS_SESSION_UNLOCK);
    EXPECT_EQ(WaitForLightingCalls(from, kStaticApply.size()), kStaticApply) << "Static at unlock";
}

} // namespace

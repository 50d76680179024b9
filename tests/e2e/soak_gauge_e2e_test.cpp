// The soak's gauge: what it reads of a program follows what the program makes and frees, in this test's own
// process and in another program, where under Wine it reads the Linux process, the GDI table and the windows.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/TestWindow.h"
#include "tools/soak/ProcessGauge.h"
#include "tools/support/Driver.h"

namespace {

using namespace support;
using soak::Measure;

std::int64_t Figure(const soak::ProcessGauge& gauge, Measure measure) {
    return soak::At(gauge.Take(), measure);
}

HWND MakeWindow() {
    return CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(SoakGauge, EachCountFollowsObjectsMadeAndFreed) {
    soak::ProcessGauge gauge(GetCurrentProcessId(), L"");
    ASSERT_TRUE(gauge);
    // The thread's first window brings a window of the system's along; one window kept open keeps it.
    HWND first = MakeWindow();
    struct Case {
        const char* name;
        Measure measure;
        int count;
        std::function<void*()> make;
        std::function<void(void*)> free;
    };
    const Case cases[] = {
        {"brushes", Measure::GdiObjects, 100, [] { return static_cast<void*>(CreateSolidBrush(RGB(1, 2, 3))); },
         [](void* brush) { DeleteObject(static_cast<HBRUSH>(brush)); }},
        {"events", Measure::Handles, 100,
         [] { return static_cast<void*>(CreateEventW(nullptr, TRUE, FALSE, nullptr)); },
         [](void* event) { CloseHandle(static_cast<HANDLE>(event)); }},
        {"windows", Measure::UserObjects, 10, [] { return static_cast<void*>(MakeWindow()); },
         [](void* window) { DestroyWindow(static_cast<HWND>(window)); }},
    };
    for (const Case& c : cases) {
        const std::int64_t before = Figure(gauge, c.measure);
        ASSERT_NE(before, soak::kUnknown) << c.name;
        std::vector<void*> made;
        for (int i = 0; i < c.count; ++i) {
            made.push_back(c.make());
            ASSERT_NE(made.back(), nullptr) << c.name;
        }
        EXPECT_EQ(Figure(gauge, c.measure), before + c.count) << c.name;
        for (void* object : made) {
            c.free(object);
        }
        EXPECT_EQ(Figure(gauge, c.measure), before) << c.name;
    }
    DestroyWindow(first);
    // 16 MiB written to: the private memory shows it, and no longer once it is freed.
    const std::int64_t before = Figure(gauge, Measure::PrivateKb);
    auto* block = static_cast<char*>(VirtualAlloc(nullptr, 16 << 20, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    for (int offset = 0; offset < (16 << 20); offset += 4096) {
        block[offset] = 1;
    }
    EXPECT_GE(Figure(gauge, Measure::PrivateKb), before + 15 * 1024);
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_LT(Figure(gauge, Measure::PrivateKb), before + 1024);
}

TEST(SoakGauge, AnotherProgramIsMeasuredWhole) {
    const std::string variable = "PRISMEL_SOAK_GAUGE_TEST=" + std::to_string(GetCurrentProcessId());
    LaunchOptions options;
    options.program = ProgramFolder() + L"\\e2e_testwin.exe";
    options.environment = {{L"PRISMEL_SOAK_GAUGE_TEST", std::to_wstring(GetCurrentProcessId())}};
    std::optional<Process> program = Process::Start(options);
    ASSERT_TRUE(program);
    HWND window = WaitForWindow(program->Id(), testwin::kClass);
    ASSERT_NE(window, nullptr);
    soak::ProcessGauge gauge(program->Id(), soak::LinuxStatusPath(variable));
    ASSERT_TRUE(gauge);

    // Its windows: the window, its button, its edit box and whatever the system gives a thread's first window.
    const soak::Figures figures = gauge.Take();
    const std::int64_t windows = soak::At(figures, Measure::UserObjects);
    EXPECT_GT(soak::At(figures, Measure::PrivateKb), 1024);
    EXPECT_GE(soak::At(figures, Measure::ResidentKb), soak::At(figures, Measure::PrivateKb));
    EXPECT_GT(soak::At(figures, Measure::Handles), 0);
    EXPECT_GT(soak::At(figures, Measure::GdiObjects), 0);
    EXPECT_GE(windows, 3);

    // Its message box: more windows while it shows, as many as before once it is gone.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(testwin::kAskButton, BN_CLICKED), 0);
    std::optional<MessageBoxInfo> box = WaitForMessageBox(program->Id());
    ASSERT_TRUE(box);
    EXPECT_GT(Figure(gauge, Measure::UserObjects), windows);
    DismissMessageBox(*box);
    EXPECT_TRUE(WaitFor([&] { return Figure(gauge, Measure::UserObjects) == windows; }, 5000));
}

} // namespace

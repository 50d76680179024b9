// The start-up benchmark's structural baseline (tests/bench/StructuralDialog.cpp) against the running program: it
// is only a fair measure while its window is built like Prismel.exe's main window.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "framework/Gdi.h"
#include "app/ControlTable.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace {

using namespace e2e;

// A child window as the comparison sees it: its class, its place in the parent's client area, whether it shows.
struct Child {
    std::wstring className;
    RECT place{};
    bool visible = false;
};

std::map<int, Child> ChildrenById(HWND parent) {
    std::map<int, Child> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        RECT place = WindowRect(child);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
        children[GetDlgCtrlID(child)] = Child{name, place, IsVisible(child)};
    }
    return children;
}

// The window's size and its outline's bounding box.
struct Shape {
    SIZE size{};
    RECT outline{};
};

Shape ShapeOf(HWND window) {
    const RECT rect = WindowRect(window);
    Shape shape{{rect.right - rect.left, rect.bottom - rect.top}, {}};
    fw::Region region(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(window, region.Get());
    GetRgnBox(region.Get(), &shape.outline);
    return shape;
}

class StructuralBaselineTest : public ProgramTest {
protected:
    StructuralBaselineTest() : ProgramTest(L"baseline-") {}

    HWND StartBaseline() {
        LaunchOptions options;
        options.program = ProgramFolder() + L"\\structural_dialog.exe";
        baseline_ = Process::Start(options);
        if (!baseline_) {
            return nullptr;
        }
        return WaitForWindow(
            baseline_->Id(), kDialogClass, [](HWND w) { return IsWindowVisible(w) != FALSE; }, 10000);
    }

    std::optional<Process> baseline_;
};

TEST_F(StructuralBaselineTest, HasTheMainWindowsChildWindowsSizeAndOutline) {
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    HWND baseline = StartBaseline();
    ASSERT_NE(baseline, nullptr);

    const auto programChildren = ChildrenById(main);
    const auto baselineChildren = ChildrenById(baseline);
    EXPECT_EQ(programChildren.size(), 33u);
    std::set<int> programIds, baselineIds;
    for (const auto& [id, child] : programChildren) {
        programIds.insert(id);
    }
    for (const auto& [id, child] : baselineChildren) {
        baselineIds.insert(id);
        EXPECT_EQ(child.className, programChildren.count(id) ? programChildren.at(id).className : L"") << id;
    }
    EXPECT_EQ(baselineIds, programIds);
    for (const ButtonRow& row : kButtonTable) {
        ASSERT_TRUE(programChildren.count(row.id) && baselineChildren.count(row.id)) << row.id;
        EXPECT_TRUE(EqualRect(&baselineChildren.at(row.id).place, &programChildren.at(row.id).place))
            << "button " << row.id;
        EXPECT_EQ(baselineChildren.at(row.id).visible, programChildren.at(row.id).visible) << "button " << row.id;
    }

    const Shape programShape = ShapeOf(main);
    const Shape baselineShape = ShapeOf(baseline);
    EXPECT_EQ(baselineShape.size.cx, programShape.size.cx);
    EXPECT_EQ(baselineShape.size.cy, programShape.size.cy);
    EXPECT_TRUE(EqualRect(&baselineShape.outline, &programShape.outline));
    EXPECT_FALSE(IsRectEmpty(&programShape.outline)) << "the main window is shaped";
}

} // namespace

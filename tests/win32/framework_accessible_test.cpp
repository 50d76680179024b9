// A control's client object for screen readers, as another process's request reaches it through WM_GETOBJECT:
// what it answers, what it refuses, and that a client holding it after the control is gone gets an error.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "framework/ComScope.h"
#include "framework/Accessible.h"

namespace {

struct ReleaseCom {
    void operator()(IUnknown* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, ReleaseCom>;

VARIANT Child(LONG id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Take(BSTR text) {
    std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return taken;
}

// An edit box (hidden, without a parent) named "Red" for screen readers, holding "61".
class NamedEdit : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"Edit", L"61", WS_POPUP, 0, 0, 60, 20, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        control_ = std::make_unique<fw::CNamedControl>();
        ASSERT_TRUE(control_->SubclassWindow(window_));
        control_->SetAccessible(L"Red", ROLE_SYSTEM_TEXT);
    }
    void TearDown() override {
        control_.reset();
        if (IsWindow(window_)) {
            DestroyWindow(window_);
        }
    }
    AccessiblePtr ClientObject() const {
        const LRESULT answer = SendMessageW(window_, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
        IAccessible* object = nullptr;
        if (answer <= 0 || FAILED(ObjectFromLresult(answer, IID_IAccessible, 0, reinterpret_cast<void**>(&object)))) {
            return nullptr;
        }
        return AccessiblePtr(object);
    }

    fw::ComScope com_;
    HWND window_ = nullptr;
    std::unique_ptr<fw::CNamedControl> control_;
};

TEST_F(NamedEdit, AnswersItsNameRoleValueAndStateAndRefusesWhatItIsNot) {
    const AccessiblePtr object = ClientObject();
    ASSERT_TRUE(object);
    BSTR text = nullptr;
    ASSERT_EQ(object->get_accName(Child(CHILDID_SELF), &text), S_OK);
    EXPECT_EQ(Take(text), L"Red");
    ASSERT_EQ(object->get_accValue(Child(CHILDID_SELF), &text), S_OK);
    EXPECT_EQ(Take(text), L"61");
    EXPECT_EQ(object->get_accDescription(Child(CHILDID_SELF), &text), S_FALSE) << "none given";
    EXPECT_EQ(text, nullptr);
    VARIANT answer{};
    ASSERT_EQ(object->get_accRole(Child(CHILDID_SELF), &answer), S_OK);
    EXPECT_EQ(answer.vt, VT_I4);
    EXPECT_EQ(answer.lVal, ROLE_SYSTEM_TEXT);
    ASSERT_EQ(object->get_accState(Child(CHILDID_SELF), &answer), S_OK);
    EXPECT_EQ(answer.lVal & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED),
              STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_FOCUSABLE);

    // What a client may send wrongly: a child it does not have, an answer without a place for it, another child
    // as a variant of another type.
    EXPECT_EQ(object->get_accName(Child(3), &text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(object->get_accName(Child(CHILDID_SELF), nullptr), E_POINTER);
    EXPECT_EQ(object->get_accRole(Child(CHILDID_SELF), nullptr), E_POINTER);
    VARIANT notAChild{};
    notAChild.vt = VT_BSTR;
    EXPECT_EQ(object->get_accState(notAChild, &answer), E_INVALIDARG);
    long count = -1;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(object->get_accChild(Child(1), nullptr), E_POINTER);
    EXPECT_EQ(object->accDoDefaultAction(Child(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND) << "an edit has no action";
    // Another object of the window is the system's.
    EXPECT_EQ(SendMessageW(window_, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW)), 0);
}

TEST_F(NamedEdit, AClientHoldingTheObjectAfterTheControlEndedGetsAnError) {
    const AccessiblePtr object = ClientObject();
    ASSERT_TRUE(object);
    control_.reset();
    DestroyWindow(window_);
    BSTR text = nullptr;
    EXPECT_EQ(object->get_accName(Child(CHILDID_SELF), &text), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(text, nullptr);
    VARIANT answer{};
    EXPECT_EQ(object->get_accState(Child(CHILDID_SELF), &answer), CO_E_OBJNOTCONNECTED);
    IDispatch* parent = nullptr;
    EXPECT_EQ(object->get_accParent(&parent), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(parent, nullptr);
}

} // namespace

// The driver's keyboard and its screen reader: keys through SendInput, the focus of another process's thread, and
// a window's client object read through the accessibility API.
#include <windows.h>

#include <oleacc.h>

#include <memory>

#include "framework/ComScope.h"
#include "tools/support/Driver.h"

namespace support {

namespace {

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// COM for the calling thread while a read lasts.
struct ReleaseCom {
    void operator()(IUnknown* object) const { object->Release(); }
};

std::wstring Take(BSTR text) {
    std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return taken;
}

} // namespace

bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return WaitFor([&] { return GetForegroundWindow() == window; }, 3000);
}

void PressKey(WORD key, unsigned modifiers) {
    if (modifiers & kCtrl) {
        SendKey(VK_CONTROL, false);
    }
    if (modifiers & kShift) {
        SendKey(VK_SHIFT, false);
    }
    SendKey(key, false);
    SendKey(key, true);
    if (modifiers & kShift) {
        SendKey(VK_SHIFT, true);
    }
    if (modifiers & kCtrl) {
        SendKey(VK_CONTROL, true);
    }
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

std::optional<AccessibleFacts> ReadAccessible(HWND window) {
    const fw::ComScope com;
    IAccessible* found = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&found))) ||
        !found) {
        return std::nullopt;
    }
    const std::unique_ptr<IAccessible, ReleaseCom> object(found);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    AccessibleFacts facts;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text))) {
        facts.name = Take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object->get_accValue(self, &text))) {
        facts.value = Take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object->get_accDescription(self, &text))) {
        facts.description = Take(text);
    }
    VARIANT answer{};
    if (SUCCEEDED(object->get_accRole(self, &answer)) && answer.vt == VT_I4) {
        facts.role = answer.lVal;
    }
    VariantClear(&answer);
    if (SUCCEEDED(object->get_accState(self, &answer)) && answer.vt == VT_I4) {
        facts.state = answer.lVal;
    }
    VariantClear(&answer);
    return facts;
}

} // namespace support

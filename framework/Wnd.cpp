#include "framework/Wnd.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Which object each attached window belongs to. Every message of an attached window looks it up, so it is kept
// in the process rather than as a window property, which costs a trip to the window manager each time.
class AttachedWindows {
public:
    CWnd* Find(HWND window) {
        std::lock_guard lock(m_mutex);
        const auto found = m_objects.find(window);
        return found != m_objects.end() ? found->second : nullptr;
    }
    bool Attach(HWND window, CWnd* object) {
        std::lock_guard lock(m_mutex);
        return m_objects.emplace(window, object).second;
    }
    void Detach(HWND window) {
        std::lock_guard lock(m_mutex);
        m_objects.erase(window);
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HWND, CWnd*> m_objects;
};

AttachedWindows& Attached() {
    static AttachedWindows attached;
    return attached;
}

// The object that the next window created on this thread is attached to, and the hook that attaches it.
thread_local CWnd* t_creating = nullptr;
thread_local HHOOK t_createHook = nullptr;
thread_local LPCWSTR t_creatingClass = nullptr;
thread_local HWND t_creatingParent = nullptr;

// Whether the window being created is the one Create asked for, and not one the system makes on the side (the
// thread's first window may bring an input-method window along, for instance).
bool IsTheRequestedWindow(HWND window, const CREATESTRUCTW* create) {
    if (create->hwndParent != t_creatingParent) {
        return false;
    }
    if (IS_INTRESOURCE(t_creatingClass)) {
        return GetClassLongW(window, GCW_ATOM) == static_cast<DWORD>(reinterpret_cast<UINT_PTR>(t_creatingClass));
    }
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return lstrcmpiW(name, t_creatingClass) == 0;
}

LRESULT CALLBACK CreateHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_creating &&
        IsTheRequestedWindow(reinterpret_cast<HWND>(wParam), reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs)) {
        CWnd* object = t_creating;
        t_creating = nullptr;
        object->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(t_createHook, code, wParam, lParam);
}

} // namespace

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    return window ? Attached().Find(window) : nullptr;
}

bool CWnd::Create(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    if (m_hWnd) {
        return false;
    }
    t_creating = this;
    t_creatingClass = className;
    t_creatingParent = parent;
    t_createHook = SetWindowsHookExW(WH_CBT, CreateHook, nullptr, GetCurrentThreadId());
    HWND window = CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (t_createHook) {
        UnhookWindowsHookEx(t_createHook);
    }
    t_createHook = nullptr;
    t_creating = nullptr;
    return window != nullptr && m_hWnd == window;
}

bool CWnd::CreateThenAttach(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (m_hWnd) {
        return false;
    }
    HWND window =
        CreateWindowExW(0, className, text, style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (window && !SubclassWindow(window)) {
        ::DestroyWindow(window);
        return false;
    }
    return window != nullptr;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) const {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((style & ~remove) | add));
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

bool CWnd::SubclassWindow(HWND window) {
    if (!window || m_hWnd || !::IsWindow(window) || !Attached().Attach(window, this)) {
        return false;
    }
    m_hWnd = window;
    m_originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = m_hWnd;
    if (!window) {
        return nullptr;
    }
    if (m_originalProc) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_originalProc));
    }
    Attached().Detach(window);
    m_originalProc = nullptr;
    m_hWnd = nullptr;
    return window;
}

std::wstring CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

bool CWnd::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
    }
    LRESULT result = 0;
    if (ProcessWindowMessage(m_hWnd, message, wParam, lParam, result)) {
        return result;
    }
    if ((message == WM_DRAWITEM || message == WM_MEASUREITEM) && ReflectOwnerDraw(message, lParam)) {
        return TRUE;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_originalProc) {
        return CallWindowProcW(m_originalProc, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return ProcessWindowMessage(m_hWnd, WM_COMMAND, wParam, lParam, result);
}

void CWnd::DrawItem(DRAWITEMSTRUCT*) {}

void CWnd::MeasureItem(MEASUREITEMSTRUCT*) {}

CWnd* CWnd::BoundControl(int) const {
    return nullptr;
}

bool CWnd::ReflectOwnerDraw(UINT message, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU) {
            return false;
        }
        CWnd* control = FromHandlePermanent(item->hwndItem);
        if (!control) {
            control = BoundControl(static_cast<int>(item->CtlID));
        }
        if (control) {
            control->DrawItem(item);
            return true;
        }
        return false;
    }
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlType == ODT_MENU) {
        return false;
    }
    CWnd* control = FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID)));
    if (!control) {
        control = BoundControl(static_cast<int>(item->CtlID));
    }
    if (control) {
        control->MeasureItem(item);
        return true;
    }
    return false;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandlePermanent(window);
    if (!object) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && object->m_hWnd == window) {
        object->UnsubclassWindow();
    }
    return result;
}

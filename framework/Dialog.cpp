#include "framework/Dialog.h"

namespace {

thread_local CDialog* t_creatingDialog = nullptr;

// What a dialog procedure returns for a message that our window procedure has already processed.
INT_PTR DialogResult(HWND window, UINT message, LRESULT result) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

// Gives every window from the message's target up to the dialog a chance to pre-translate it.
bool WalkPreTranslate(HWND top, MSG* message) {
    for (HWND window = message->hwnd; window; window = ::GetParent(window)) {
        if (CWnd* object = CWnd::FromHandlePermanent(window); object && object->PreTranslateMessage(message)) {
            return true;
        }
        if (window == top) {
            break;
        }
    }
    return false;
}

} // namespace

CDialog::~CDialog() {
    if (m_hWnd) {
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    m_ended = false;
    m_result = -1;
    t_creatingDialog = this;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    t_creatingDialog = nullptr;
    if (!window) {
        return -1;
    }
    // A modal dialog shows even when its template is not visible.
    if (!m_ended && m_hWnd && !::IsWindowVisible(m_hWnd)) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
    }
    bool ownerDisabled = owner && IsWindowEnabled(owner) && !m_ended;
    if (ownerDisabled) {
        EnableWindow(owner, FALSE);
    }
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    while (!m_ended && m_hWnd) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = message.wParam;
            break;
        }
        if (got == -1) {
            break;
        }
        if (!WalkPreTranslate(m_hWnd, &message) && !IsDialogMessageW(m_hWnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (ownerDisabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (m_hWnd) {
        ::DestroyWindow(m_hWnd);
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
        return -1;
    }
    return m_result;
}

void CDialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    // Wake the loop in case nothing else is queued.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::BindControl(int id, CWnd& control) {
    for (auto& binding : m_bindings) {
        if (binding.id == id) {
            binding.control = &control;
            return;
        }
    }
    m_bindings.push_back({id, &control});
}

CWnd* CDialog::BoundControl(int id) const {
    for (const auto& binding : m_bindings) {
        if (binding.id == id) {
            return binding.control;
        }
    }
    return nullptr;
}

bool CDialog::OnInitDialog() {
    return true;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        for (const auto& binding : m_bindings) {
            if (!binding.control->m_hWnd) {
                binding.control->SubclassDlgItem(static_cast<UINT>(binding.id), m_hWnd);
            }
        }
        return OnInitDialog() ? TRUE : FALSE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (FromHandlePermanent(window)) {
        // Attached: this message has been through WindowProc already and is on its way to the default.
        return FALSE;
    }
    CDialog* self = t_creatingDialog;
    if (!self && message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
    }
    if (!self || self->m_hWnd) {
        return FALSE;
    }
    t_creatingDialog = nullptr;
    if (!self->SubclassWindow(window)) {
        return FALSE;
    }
    // The first message came straight from the dialog manager: run it through our window procedure now.
    return DialogResult(window, message, self->WindowProc(message, wParam, lParam));
}

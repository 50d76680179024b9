#include "app/SaveProfileDlg_win32.h"

#include <cwchar>

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Utf16.h"
#include "lighting/Profiles.h"

bool CSaveProfileDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The title is the tray item's text without its ellipsis.
    std::wstring title = Msg(kMsgSaveProfile);
    if (!title.empty() && title.back() == L'\u2026') {
        title.pop_back();
    }
    SetWindowText(title.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_PROFILE_LABEL, Msg(kMsgProfileName));
    ::SetDlgItemTextW(m_hWnd, IDOK, Msg(kMsgOk));
    ::SetDlgItemTextW(m_hWnd, IDCANCEL, Msg(kMsgCancel));
    ::SendDlgItemMessageW(m_hWnd, IDC_PROFILE_NAME, EM_LIMITTEXT, kProfileNameMaxUnits, 0);
    return true;
}

void CSaveProfileDlg::OnOK() {
    wchar_t text[kProfileNameMaxUnits + 2] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_PROFILE_NAME, text, static_cast<int>(std::size(text)));
    const std::u16string name = Utf16(text);
    if (CheckProfileName(name) != ProfileNameProblem::None) {
        ::MessageBoxW(m_hWnd, Msg(kMsgProfileBadName), Msg(kMsgProductName), MB_OK | MB_ICONWARNING);
        return;
    }
    if (m_exists(name) && ::MessageBoxW(m_hWnd, MsgWith(kMsgProfileReplace, text).c_str(), Msg(kMsgProductName),
                                        MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    m_name = name;
    CDialog::OnOK();
}

#include "app/AboutDlg_win32.h"

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(Msg(kMsgAboutProduct));
    ::SetDlgItemTextW(m_hWnd, IDOK, Msg(kMsgOk));
    return true;
}

#include "lighting/AboutDlg_win32.h"

#include "app/Language.h"
#include "app/MultiLangSupp_win32.h"

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(Msg(kMsgAboutProduct));
    ::SetDlgItemTextW(m_hWnd, IDOK, Msg(kMsgOk));
    return true;
}

// The about box: the product name and the maker's notice, titled and labelled in the program's language.
#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr) : CDialog(IDD_ABOUTBOX, parent) {}

protected:
    bool OnInitDialog() override;
};

// The dialog that names a profile for "Save current lighting as…": a label, an edit box, OK and Cancel, in the
// program's language. OK checks the name (and asks before replacing a profile of that name); the name is kept.
#pragma once

#include <functional>
#include <string>

#include "framework/Dialog.h"
#include "res/resource.h"

class CSaveProfileDlg : public CDialog {
public:
    // exists tells whether a profile of a name is stored already.
    CSaveProfileDlg(CWnd* parent, std::function<bool(const std::u16string&)> exists)
        : CDialog(IDD_SAVE_PROFILE, parent), m_exists(std::move(exists)) {}

    // The name given, once DoModal answered IDOK.
    const std::u16string& Name() const { return m_name; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::function<bool(const std::u16string&)> m_exists;
    std::u16string m_name;
};

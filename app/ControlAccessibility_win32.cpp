#include "app/ControlAccessibility_win32.h"

#include <string>

#include "app/ControlTable.h"
#include "app/KeyboardFocus.h"
#include "lighting/LightingControls.h"
#include "skin/MyComboBox_win32.h"
#include "skin/VxButton_win32.h"

namespace {

std::wstring NameText(int id, std::int32_t language) {
    const std::optional<ControlName> name = ControlNameOf(id);
    if (!name) {
        return {};
    }
    const std::u16string text = ControlNameText(*name, language);
    return std::wstring(text.begin(), text.end());
}

LONG RoleOf(int id) {
    const std::optional<ControlName> name = ControlNameOf(id);
    return CControlAccessibility::SystemRole(name ? name->role : ControlRole::PushButton);
}

} // namespace

LONG CControlAccessibility::SystemRole(ControlRole role) {
    switch (role) {
    case ControlRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ControlRole::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case ControlRole::CheckButton:
        return ROLE_SYSTEM_CHECKBUTTON;
    case ControlRole::PageTab:
        return ROLE_SYSTEM_PAGETAB;
    case ControlRole::Edit:
        return ROLE_SYSTEM_TEXT;
    case ControlRole::ComboBox:
        return ROLE_SYSTEM_COMBOBOX;
    }
    return ROLE_SYSTEM_PUSHBUTTON;
}

void CControlAccessibility::NameControls(HWND window, const std::function<CVxButton&(int)>& button,
                                         CMyComboBox& selector, std::int32_t language) {
    for (const ButtonRow& row : kButtonTable) {
        CVxButton& control = button(row.id);
        control.SetAccessible(NameText(row.id, language), RoleOf(row.id));
        // A member of a group shows chosen with its hot image as both images; the power toggle starts on.
        const bool grouped = GroupOf(row.id) != FocusGroup::None;
        control.SetChecked(row.id == IDC_BTN_POWER || (grouped && row.normalImage == row.hotImage));
    }
    for (std::size_t i = 0; i < kColourBoxIds.size(); ++i) {
        fw::CNamedControl& box = m_colourBoxes[i];
        if (!box.m_hWnd) {
            box.SubclassDlgItem(static_cast<UINT>(kColourBoxIds[i]), window);
        }
        box.SetAccessible(NameText(kColourBoxIds[i], language), RoleOf(kColourBoxIds[i]));
    }
    selector.SetAccessible(NameText(IDC_MODULE_SELECTOR, language), RoleOf(IDC_MODULE_SELECTOR));
}

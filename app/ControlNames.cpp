#include "app/ControlNames.h"

#include <string_view>

#include "base/Language.h"
#include "lighting/LightingControls.h"
#include "res/resource.h"

std::optional<ControlName> ControlNameOf(int id) {
    // A mode or speed button is one of a group of which one is chosen: a radio button, as a screen reader says it.
    if (id >= IDC_BTN_MODE_FIRST && id <= IDC_BTN_MODE_LAST) {
        return ControlName{kMsgModeStatic + (id - IDC_BTN_MODE_FIRST), 0, ControlRole::RadioButton};
    }
    if (id >= IDC_BTN_SPEED_FIRST && id <= IDC_BTN_SPEED_LAST) {
        return ControlName{kMsgSpeedNumber, id - IDC_BTN_SPEED_FIRST + 1, ControlRole::RadioButton};
    }
    switch (id) {
    case IDC_BTN_POWER:
        return ControlName{kMsgPower, 0, ControlRole::CheckButton};
    case IDC_BTN_COLOUR_WHEEL:
        return ControlName{kMsgColourWheel, 0, ControlRole::PushButton};
    case IDC_RED_BOX:
        return ControlName{kMsgRed, 0, ControlRole::Edit};
    case IDC_GREEN_BOX:
        return ControlName{kMsgGreen, 0, ControlRole::Edit};
    case IDC_BLUE_BOX:
        return ControlName{kMsgBlue, 0, ControlRole::Edit};
    case IDC_BTN_APPLY:
        return ControlName{kMsgApply, 0, ControlRole::PushButton};
    case IDC_BTN_RESET:
        return ControlName{kMsgReset, 0, ControlRole::PushButton};
    case IDC_MODULE_SELECTOR:
        return ControlName{kMsgModuleSelector, 0, ControlRole::ComboBox};
    case IDC_BTN_SUBPAGE_BACK:
        return ControlName{kMsgPreviousSubPage, 0, ControlRole::PushButton};
    case IDC_BTN_SUBPAGE_FORWARD:
        return ControlName{kMsgNextSubPage, 0, ControlRole::PushButton};
    case IDC_BTN_WEB:
        return ControlName{kMsgMakerSite, 0, ControlRole::PushButton};
    case IDC_BTN_TAB_LIGHTING:
        return ControlName{kMsgLighting, 0, ControlRole::PageTab};
    case IDC_BTN_TAB_MODULE_INFO:
        return ControlName{kMsgModuleInformation, 0, ControlRole::PageTab};
    case IDC_BTN_TAB_ABOUT:
        return ControlName{kMsgAbout, 0, ControlRole::PageTab};
    case IDC_BTN_MINIMISE:
        return ControlName{kMsgMinimise, 0, ControlRole::PushButton};
    case IDC_BTN_CLOSE:
        return ControlName{kMsgClose, 0, ControlRole::PushButton};
    default:
        return std::nullopt;
    }
}

std::u16string ControlNameText(const ControlName& name, std::int32_t language) {
    const char16_t* text = MessageText(language, name.message);
    if (!text) {
        return {};
    }
    std::u16string result(text);
    if (const std::size_t at = result.find(u"%d"); at != std::u16string::npos) {
        const std::string digits = std::to_string(name.number);
        result.replace(at, 2, std::u16string(digits.begin(), digits.end()));
    }
    return result;
}

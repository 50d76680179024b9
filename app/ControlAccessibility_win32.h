// What screen readers are told of the main window's controls: each bitmap button, colour box and the module
// selector gets its name in the program's language and its role (ControlNames), and the buttons shown chosen are
// checked. The names live apart from the captions the skin draws, so nothing here changes a pixel.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>

#include "app/ControlNames.h"
#include "framework/Accessible.h"

class CVxButton;
class CMyComboBox;

class CControlAccessibility {
public:
    // ROLE_SYSTEM_* of a role.
    static LONG SystemRole(ControlRole role);

    // Names the window's controls in language: the buttons (button(id) for each id of the control table), the
    // colour boxes (attached here) and the selector. The buttons' checked states start as their images show.
    void NameControls(HWND window, const std::function<CVxButton&(int)>& button, CMyComboBox& selector,
                      std::int32_t language);

private:
    std::array<fw::CNamedControl, 3> m_colourBoxes;
};

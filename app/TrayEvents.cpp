#include "app/TrayEvents.h"

TrayAction TrayEvents::On(std::uint32_t event) {
    switch (event) {
    case kTrayLeftButtonDown:
    case kTraySelect:
    case kTrayKeySelect:
        m_menuOpenedByPress = false;
        return TrayAction::ShowWindow;
    case kTrayRightButtonDown:
        m_menuOpenedByPress = true;
        return TrayAction::OpenMenu;
    case kTrayContextMenu:
        if (m_menuOpenedByPress) {
            m_menuOpenedByPress = false;
            return TrayAction::None;
        }
        return TrayAction::OpenMenu;
    default:
        return TrayAction::None;
    }
}

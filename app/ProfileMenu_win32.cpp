#include "app/ProfileMenu_win32.h"

#include <cwchar>

#include "app/SaveProfileDlg_win32.h"
#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Gdi.h"
#include "framework/Utf16.h"

namespace {

constexpr UINT kAfterFirstSeparator = 2;

} // namespace

void CProfileMenu::AddTo(HMENU popup) {
    const std::vector<Profile> profiles = m_lighting.Profiles().List();
    const LightingChoice applied = m_lighting.AppliedLighting();
    HMENU list = CreatePopupMenu();
    HMENU remove = CreatePopupMenu();
    if (!list || !remove) {
        if (list) {
            DestroyMenu(list);
        }
        if (remove) {
            DestroyMenu(remove);
        }
        return;
    }
    m_listed.clear();
    for (const Profile& profile : profiles) {
        const int index = static_cast<int>(m_listed.size());
        if (ID_TRAY_PROFILE_LOAD_FIRST + index > ID_TRAY_PROFILE_LOAD_LAST) {
            break;
        }
        m_listed.push_back(profile.name);
        const std::wstring text =
            profile.lighting ? Wide(profile.name) : MsgWith(kMsgProfileDamaged, Wide(profile.name));
        const UINT state = !profile.lighting ? MF_GRAYED : profile.lighting == applied ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuW(list, MF_STRING | state, ID_TRAY_PROFILE_LOAD_FIRST + index, text.c_str());
        AppendMenuW(remove, MF_STRING, ID_TRAY_PROFILE_DELETE_FIRST + index, text.c_str());
    }
    if (!m_listed.empty()) {
        AppendMenuW(list, MF_SEPARATOR, 0, nullptr);
    }
    AppendMenuW(list, MF_STRING, ID_TRAY_PROFILE_SAVE, Msg(kMsgSaveProfile));
    // The delete list belongs to the profiles' submenu, which belongs to the pop-up: all go with the tray menu.
    AppendMenuW(list, MF_POPUP | (m_listed.empty() ? MF_GRAYED : 0), reinterpret_cast<UINT_PTR>(remove),
                Msg(kMsgDeleteProfile));
    InsertMenuW(popup, kAfterFirstSeparator, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(list),
                Msg(kMsgProfiles));
}

const std::u16string* CProfileMenu::NameOf(int id, int first) const {
    const auto index = static_cast<std::size_t>(id - first);
    return index < m_listed.size() ? &m_listed[index] : nullptr;
}

void CProfileMenu::OnLoad(int id) {
    LightingChoice lighting;
    if (const std::u16string* name = NameOf(id, ID_TRAY_PROFILE_LOAD_FIRST);
        name && m_lighting.Started() && m_lighting.Profiles().Load(*name, lighting) == ProfileResult::Done) {
        m_lighting.LoadLighting(lighting);
    }
}

void CProfileMenu::OnSave() {
    ProfileBook& profiles = m_lighting.Profiles();
    CSaveProfileDlg dialog(&m_window, [&](const std::u16string& name) { return profiles.Find(name).has_value(); });
    if (dialog.DoModal() != IDOK) {
        return;
    }
    if (profiles.Save(dialog.Name(), m_lighting.AppliedLighting()) == ProfileResult::Full) {
        ::MessageBoxW(m_window.m_hWnd, Msg(kMsgProfilesFull), Msg(kMsgProductName), MB_OK | MB_ICONWARNING);
    }
}

void CProfileMenu::OnDelete(int id) {
    const std::u16string* name = NameOf(id, ID_TRAY_PROFILE_DELETE_FIRST);
    if (name && ::MessageBoxW(m_window.m_hWnd, MsgWith(kMsgProfileDeleteAsk, Wide(*name)).c_str(), Msg(kMsgProductName),
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
        m_lighting.Profiles().Delete(*name);
    }
}

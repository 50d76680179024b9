#include "app/ProfileMenu_win32.h"

#include <algorithm>

#include "app/SaveProfileDlg_win32.h"
#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "framework/Gdi.h"
#include "framework/Utf16.h"

namespace {

constexpr UINT kAfterFirstSeparator = 2;

} // namespace

HMENU MakeProfileSubmenu(const std::vector<Profile>& profiles, const LightingChoice& applied) {
    fw::UniqueMenu list(CreatePopupMenu());
    fw::UniqueMenu remove(CreatePopupMenu());
    if (!list || !remove) {
        return nullptr;
    }
    const std::size_t count =
        std::min<std::size_t>(profiles.size(), ID_TRAY_PROFILE_LOAD_LAST - ID_TRAY_PROFILE_LOAD_FIRST + 1);
    for (std::size_t index = 0; index < count; ++index) {
        const Profile& profile = profiles[index];
        const std::wstring text =
            profile.lighting ? Wide(profile.name) : MsgWith(kMsgProfileDamaged, Wide(profile.name));
        const UINT state = !profile.lighting ? MF_GRAYED : profile.lighting == applied ? MF_CHECKED : MF_UNCHECKED;
        const auto offset = static_cast<UINT>(index);
        AppendMenuW(list.Get(), MF_STRING | state, ID_TRAY_PROFILE_LOAD_FIRST + offset, text.c_str());
        AppendMenuW(remove.Get(), MF_STRING, ID_TRAY_PROFILE_DELETE_FIRST + offset, text.c_str());
    }
    if (count > 0) {
        AppendMenuW(list.Get(), MF_SEPARATOR, 0, nullptr);
    }
    AppendMenuW(list.Get(), MF_STRING, ID_TRAY_PROFILE_SAVE, Msg(kMsgSaveProfile));
    // Once appended, the delete list belongs to the profiles' submenu and goes with it.
    if (AppendMenuW(list.Get(), MF_POPUP | (count == 0 ? MF_GRAYED : 0), reinterpret_cast<UINT_PTR>(remove.Get()),
                    Msg(kMsgDeleteProfile))) {
        remove.Release();
    }
    return list.Release();
}

void CProfileMenu::AddTo(HMENU popup) {
    const std::vector<Profile> profiles = m_lighting.Profiles().List();
    HMENU submenu = MakeProfileSubmenu(profiles, m_lighting.AppliedLighting());
    if (!submenu) {
        return;
    }
    m_listed.clear();
    for (const Profile& profile : profiles) {
        m_listed.push_back(profile.name);
    }
    // Once inserted, the submenu belongs to the pop-up and goes with the tray menu.
    if (!InsertMenuW(popup, kAfterFirstSeparator, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                     Msg(kMsgProfiles))) {
        DestroyMenu(submenu);
    }
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

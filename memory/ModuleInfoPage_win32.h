// The module information page of the main window: detection of the modules at start, the hidden table of the
// decoded module, the module selector, and the drawing of the three sub-pages. Its map is chained into the main
// window's; decoding and the layouts are portable (SpdDecode, ModuleView).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "framework/Controls.h"
#include "framework/MessageMap.h"
#include "memory/ModuleLabels.h"
#include "memory/SpdDecode.h"
#include "memory/SpdImage.h"
#include "res/resource.h"
#include "skin/MyComboBox_win32.h"
#include "base/SkinScale.h"

class CSmbusLibrary;

class CModuleInfoPage : public CMessageMap {
public:
    // The modules are read through library. The view's text is drawn in viewFont (the system font when it is null);
    // labels are the page's words, in the program's language, for the table's label cells and the view.
    CModuleInfoPage(CWnd& dialog, CSmbusLibrary& library, CListCtrl& table, CComboBox& shadowList,
                    CMyComboBox& selector, HFONT viewFont, const ModuleLabels& labels)
        : m_dialog(dialog), m_library(library), m_table(table), m_shadowList(shadowList), m_selector(selector),
          m_viewFont(viewFont), m_labels(labels) {}

    BEGIN_MSG_MAP(CModuleInfoPage)
    COMMAND_CODE_CALL(IDC_SHADOW_MODULE_LIST, CBN_SELCHANGE, DecodeSelectedModule)
    COMMAND_CODE_CALL(IDC_MODULE_SELECTOR, CBN_SELCHANGE, OnModuleSelected)
    COMMAND_CODE_CALL(IDC_SHADOW_MODULE_LIST, CBN_DROPDOWN, OnShadowListDropDown)
    END_MSG_MAP()

    // Probes the bus, copies each module's SPD into the store and lists it as "DIMM<n>" in both lists.
    void DetectModules();
    // How many modules detection found.
    int ModuleCount() const { return m_moduleCount; }
    // Decodes the shadow list's selection into the table and repaints the window.
    void DecodeSelectedModule();
    // The start's decoding: the shadow list's selection is decoded, and the table (its style, seven columns,
    // eleven fixed rows with their labels and the module's rows) is filled by FillTable, which the window calls
    // once its first page has painted or the module page first opens: nothing shows the table before.
    void DecodeFirstModule();
    void FillTable();
    // The page's share of the window's paint: the current sub-page, straight onto the paint device context, with
    // the view's places at the window's scale.
    void Paint(HDC dc, std::int32_t subPage, const SkinScale& scale) const;
    // The current sub-page's text as a screen reader reads it.
    std::wstring Text(std::int32_t subPage) const;
    // The view's font at a new scale.
    void SetViewFont(HFONT viewFont) { m_viewFont = viewFont; }

private:
    // Another module chosen: the shadow list follows, and the view shows that module.
    void OnModuleSelected();
    // The shadow list never drops down.
    void OnShadowListDropDown() {}

    void SetUpModuleInfoTable();
    void Fill(const DecodedModule& module);

    CWnd& m_dialog;
    CSmbusLibrary& m_library;
    CListCtrl& m_table;
    bool m_tableSetUp = false;
    std::optional<DecodedModule> m_firstModule; // decoded at start, for FillTable
    CComboBox& m_shadowList;
    CMyComboBox& m_selector;
    HFONT m_viewFont;
    const ModuleLabels& m_labels;
    // The SPD contents of the modules found at start, in the order found; the decoded module's XMP profile count.
    SpdImageStoreArray m_store{};
    int m_moduleCount = 0;
    std::int32_t m_xmpProfileCount = 0;
};

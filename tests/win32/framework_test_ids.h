// Ids of the framework tests' own dialog template.
#pragma once
#define IDD_FW_TEST 2100
#define IDC_FW_EDIT 2101
#define IDC_FW_COMBO 2102
#define IDC_FW_LIST 2103
#define IDC_FW_BUTTON 2104

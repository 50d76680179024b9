// Resource ids of the skin tests' own bitmaps and dialog (tests/win32/data, made by make_test_bitmaps.py).
#pragma once

#define IDB_TEST_SHAPE 2501
#define IDB_TEST_NORMAL 2502
#define IDB_TEST_HOT 2503
#define IDB_TEST_MONO 2504
#define IDB_TEST_MISSING 2599
#define IDD_TEST_SELECTOR 2600
#define IDC_TEST_SELECTOR 2601
// Controls the skin tests make in their host window: a combo box, and buttons from IDC_TEST_BUTTON on.
#define IDC_TEST_COMBO 2610
#define IDC_TEST_BUTTON 2620

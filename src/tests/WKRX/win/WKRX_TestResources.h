#pragma once

// The program's own "Preferences".
#define IDS_WKRX_TEST_PREFERENCES 10029
#define IDD_WKRX_TEST_PAGE 900
#define IDC_WKRX_TEST_PAGE_CHECK 901

// Resource ids of the stand-in's test program.
#pragma once

#define IDD_ATL_TEST 100
#define IDC_ATL_TEST_BUTTON 101

// Resource ids of the stand-in's test program and its two test language libraries.
#pragma once

#define IDD_ATL_TEST 100
#define IDC_ATL_TEST_BUTTON 101

// The frame's common resources: title string, menu, accelerators, tool bar, bitmap, icon.
#define IDR_ATL_FRAME 128
// Tool bars that cannot be read: another version, and a count beyond the data.
#define IDR_ATL_TOOLBAR_VERSION2 129
#define IDR_ATL_TOOLBAR_SHORT 130

#define ID_ATL_OPEN 201
#define ID_ATL_SAVE 202
#define ID_ATL_ZOOM 203
#define ID_ATL_NESTED 204
#define ID_ATL_RADIO 205
#define ID_ATL_LANGUAGE_ONLY 206
#define ID_ATL_CHILD_BUTTON 207

// Status pane ids; their strings give the panes' widths.
#define IDS_ATL_PANE_ZOOM 301
#define IDS_ATL_PANE_UNITS 302
// A string only the program holds.
#define IDS_ATL_PROGRAM_ONLY 303

// Resource ids of the stand-in's property-sheet and resizable-dialog tests.
#pragma once

#define IDD_ATL_PAGE 200
#define IDC_ATL_PAGE_EDIT 201
#define IDD_ATL_RESIZE 210
#define IDC_ATL_RESIZE_LIST 211
#define IDC_ATL_RESIZE_BUTTON 212
#define IDC_ATL_RESIZE_STATUS 213
#define IDC_ATL_RESIZE_MIDDLE 214
#define IDC_ATL_RESIZE_FIXED 215
#define IDS_ATL_SHEET_TITLE 220
#define IDS_ATL_PAGE_TITLE 221

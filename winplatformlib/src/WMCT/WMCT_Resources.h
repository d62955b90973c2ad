// Resource ids of the tree control's pictures. A program that uses the control puts
// WMCT/win/WMCT_Resources.rc2 into its own resource script.
#pragma once

#define IDB_WMCT_SORT_ASCENDING 36001
#define IDB_WMCT_SORT_DESCENDING 36002
#define IDI_WMCT_CHECKBOX_2000_OFF 36101
#define IDI_WMCT_CHECKBOX_2000_ON 36102
#define IDI_WMCT_CHECKBOX_2000_MIXED 36103
#define IDI_WMCT_CHECKBOX_OFF 36111
#define IDI_WMCT_CHECKBOX_ON 36112
#define IDI_WMCT_CHECKBOX_MIXED 36113

#ifndef RC_INVOKED
constexpr unsigned int kWMCT_AscendingArrowBitmap = IDB_WMCT_SORT_ASCENDING;
constexpr unsigned int kWMCT_DescendingArrowBitmap = IDB_WMCT_SORT_DESCENDING;
// The state image list: index 0 only fills the list; state images 1, 2 and 3 are off, on and
// mixed.
constexpr unsigned int kWMCT_CheckboxIcons[4] = {IDI_WMCT_CHECKBOX_ON, IDI_WMCT_CHECKBOX_OFF,
                                                 IDI_WMCT_CHECKBOX_ON, IDI_WMCT_CHECKBOX_MIXED};
constexpr unsigned int kWMCT_CheckboxIcons2000[4] = {
    IDI_WMCT_CHECKBOX_2000_ON, IDI_WMCT_CHECKBOX_2000_OFF, IDI_WMCT_CHECKBOX_2000_ON,
    IDI_WMCT_CHECKBOX_2000_MIXED};
#endif

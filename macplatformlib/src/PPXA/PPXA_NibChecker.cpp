#include "PPXA/PPXA_NibChecker.h"

#include "PPXA/iPPXA_CFHolder.h"
#include "PPXA/iPPXA_Nib.h"

#include <CoreFoundation/CFString.h>

namespace PPXA {

namespace {

std::string CodeText(OSType code) {
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8)
    text += static_cast<char>((code >> shift) & 0xFF);
  return text + "'";
}

iPPXA_CFHolder<CFStringRef> NewString(const char* text) {
  return iPPXA_CFHolder<CFStringRef>(
      CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
}

}  // namespace

std::vector<std::string> CheckNibViews(std::vector<NibCheckRow> const& rows) {
  std::vector<std::string> problems;
  for (NibCheckRow const& row : rows) {
    const std::string where = std::string(row.nib) + ": " + row.window + ": ";
    iPPXA_Nib nib(NewString(row.nib).Get());
    WindowRef window = nullptr;
    OSStatus status = nib.Status();
    if (status == noErr)
      status = CreateWindowFromNib(nib.Get(), NewString(row.window).Get(), &window);
    if (status != noErr) {
      problems.push_back(where + "status " + std::to_string(status));
      continue;
    }
    HIViewRef view = nullptr;
    if (HIViewFindByID(HIViewGetRoot(window), row.id, &view) != noErr)
      problems.push_back(where + "no view " + CodeText(row.id.signature) + " " +
                         std::to_string(row.id.id));
    DisposeWindow(window);
  }
  return problems;
}

std::vector<NibCheckRow> const& ProgramNibTable() {
  static const std::vector<NibCheckRow> rows = {
      // The sheet window's rulers, corners, scroll view with its image and status bar.
      {"MKRX_Resources", "SheetWindow", {0x43526C72, 0}},  // 'CRlr'
      {"MKRX_Resources", "SheetWindow", {0x48526C72, 0}},  // 'HRlr'
      {"MKRX_Resources", "SheetWindow", {0x52526C72, 0}},  // 'RRlr'
      {"MKRX_Resources", "SheetWindow", {0x56526C72, 0}},  // 'VRlr'
      {"MKRX_Resources", "SheetWindow", {0x42526C72, 0}},  // 'BRlr'
      {"MKRX_Resources", "SheetWindow", {0x5363726C, 0}},  // 'Scrl'
      {"MKRX_Resources", "SheetWindow", {0x496D6167, 0}},  // 'Imag'
      {"MKRX_Resources", "SheetWindow", {0x53747356, 0}},  // 'StsV'
      // The palettes.
      {"MKRX_Resources", "Navigation Palette", {0x4E617656, 0}},   // 'NavV'
      {"MKRX_Resources", "Separation Palette", {0x55737250, 0}},   // 'UsrP'
      {"MKRX_Localized", "Measurement Palette", {0x4372646E, 0}},  // 'Crdn'
      {"MKRX_Localized", "Measurement Palette", {0x446C7461, 0}},  // 'Dlta'
      {"MKRX_Localized", "Measurement Palette", {0x44416E67, 0}},  // 'DAng'
  };
  return rows;
}

}  // namespace PPXA

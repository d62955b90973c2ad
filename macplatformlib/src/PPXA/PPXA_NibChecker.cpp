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
  static const std::vector<NibCheckRow> rows;
  return rows;
}

}  // namespace PPXA

#include "USTR/USTR_LocalizedString.h"

#include <atlbase.h>

#include "GLIB/GLIB_String.h"

namespace {

// Room for 1023 characters and the terminator; LoadStringW cuts longer strings.
constexpr int kTextBufferSize = 1024;

}  // namespace

GLIB_WString iUSTR_GetLocalizedWString(unsigned int id) {
  wchar_t buffer[kTextBufferSize] = {};
  const int length = ATL::AtlLoadString(id, buffer, kTextBufferSize);
  if (length <= 0) {
    GLIB_snprintf(buffer, kTextBufferSize, L"USTR: Missing String Resource: %i",
                  static_cast<int>(id));
    return GLIB_WString(buffer);
  }
  return GLIB_WString(buffer, static_cast<GLIB_WString::size_type>(length));
}

USTR_String iUSTR_GetLocalizedString(unsigned int id) {
  return USTR_WStringToUString(iUSTR_GetLocalizedWString(id));
}

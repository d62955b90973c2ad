#include "USTR/USTR_LocalizedString.h"

#include "GLIB/GLIB_String.h"

namespace {

// Set without a lock: the first lookup happens on the UI thread during start-up.
HMODULE s_primaryModule = nullptr;
HMODULE s_fallbackModule = nullptr;
USTR_ResourceModuleSource s_resourceModuleSource = nullptr;

HMODULE ProgramModule() {
  return ::GetModuleHandleW(nullptr);
}

HMODULE CurrentResourceModule() {
  return s_resourceModuleSource ? s_resourceModuleSource() : ProgramModule();
}

// Room for 1023 characters and the terminator; LoadStringW cuts longer strings.
constexpr int kTextBufferSize = 1024;

}  // namespace

void USTR_SetResourceModules(HMODULE primary, HMODULE fallback) {
  s_primaryModule = primary;
  s_fallbackModule = fallback;
}

void USTR_SetResourceModuleSource(USTR_ResourceModuleSource source) {
  s_resourceModuleSource = source;
}

GLIB_WString iUSTR_GetLocalizedWString(unsigned int id) {
  if (!s_primaryModule)
    s_primaryModule = CurrentResourceModule();
  // The fallback is the program itself, never the language library: a text that a translation
  // lacks then reads in English rather than as a missing string.
  if (!s_fallbackModule)
    s_fallbackModule = ProgramModule();

  wchar_t buffer[kTextBufferSize] = {};
  int length = ::LoadStringW(s_primaryModule, id, buffer, kTextBufferSize);
  if (length <= 0)
    length = ::LoadStringW(s_fallbackModule, id, buffer, kTextBufferSize);
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

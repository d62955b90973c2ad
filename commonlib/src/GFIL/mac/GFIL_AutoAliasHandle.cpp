#include "GFIL/GFIL_AutoAliasHandle.h"

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_String.h"

GFIL_AutoAliasHandle::GFIL_AutoAliasHandle(const GFIL_AutoAliasHandle& other) : m_handle(nullptr) {
  CloneAndStoreHandle(other.m_handle);
}

GFIL_AutoAliasHandle& GFIL_AutoAliasHandle::operator=(const GFIL_AutoAliasHandle& other) {
  if (&other != this) CloneAndStoreHandle(other.m_handle);
  return *this;
}

GFIL_AutoAliasHandle::~GFIL_AutoAliasHandle() { Dispose(); }

void GFIL_AutoAliasHandle::Dispose() {
  if (m_handle) DisposeHandle(reinterpret_cast<::Handle>(m_handle));
  m_handle = nullptr;
}

void GFIL_AutoAliasHandle::StoreHandle(AliasHandle handle) {
  if (handle == m_handle) return;
  Dispose();
  m_handle = handle;
}

void GFIL_AutoAliasHandle::CloneAndStoreHandle(AliasHandle handle) {
  if (handle == nullptr) {
    Dispose();
    return;
  }
  ::Handle copy = reinterpret_cast<::Handle>(handle);
  if (HandToHand(&copy) != noErr) {
    Dispose();
    throw GLIB_BadAllocException(
        static_cast<std::size_t>(GetHandleSize(reinterpret_cast<::Handle>(handle))), __FILE__,
        __LINE__);
  }
  Dispose();
  m_handle = reinterpret_cast<AliasHandle>(copy);
}

std::ostream& operator<<(std::ostream& out, const GFIL_AutoAliasHandle& alias) {
  out << "alias:";
  if (alias.GetHandle() == nullptr) return out << "<null>";
  HFSUniStr255 name;
  if (FSCopyAliasInfo(alias.GetHandle(), &name, nullptr, nullptr, nullptr, nullptr) != noErr)
    return out << "<unknown>";
  GLIB_WString wide(name.unicode, name.unicode + name.length);
  return out << GLIB_WToNString(wide);
}

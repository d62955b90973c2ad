#include "GFIL/mac/GFIL_AutoAliasHandle.h"

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_String.h"

GFIL_AutoAliasHandle::GFIL_AutoAliasHandle(const GFIL_AutoAliasHandle& other) : m_Handle(nullptr) {
  CloneAndStoreHandle(other.m_Handle);
}

GFIL_AutoAliasHandle& GFIL_AutoAliasHandle::operator=(const GFIL_AutoAliasHandle& other) {
  if (&other != this)
    CloneAndStoreHandle(other.m_Handle);
  return *this;
}

GFIL_AutoAliasHandle::~GFIL_AutoAliasHandle() {
  Dispose();
}

void GFIL_AutoAliasHandle::Dispose() {
  if (m_Handle)
    DisposeHandle(reinterpret_cast<::Handle>(m_Handle));
  m_Handle = nullptr;
}

void GFIL_AutoAliasHandle::StoreHandle(AliasHandle handle) {
  if (handle == m_Handle)
    return;
  Dispose();
  m_Handle = handle;
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
  m_Handle = reinterpret_cast<AliasHandle>(copy);
}

std::ostream& operator<<(std::ostream& out, const GFIL_AutoAliasHandle& alias) {
  out << "alias:";
  if (alias.GetHandle() == nullptr)
    return out << "<null>";
  HFSUniStr255 name;
  if (FSCopyAliasInfo(alias.GetHandle(), &name, nullptr, nullptr, nullptr, nullptr) != noErr)
    return out << "<unknown>";
  GLIB_WString wide(name.unicode, name.unicode + name.length);
  return out << GLIB_WToNString(wide);
}

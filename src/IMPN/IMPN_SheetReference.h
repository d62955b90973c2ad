#pragma once
#include "IMPN/IMPN_Sheet.h"

#include <utility>

// One counted reference to a sheet: holding it keeps the sheet alive, and whoever drops the last
// reference deletes the sheet. The count lives in the sheet itself, so references made from the
// same raw pointer in different places share it.
class IMPN_SheetReference {
public:
  IMPN_SheetReference() noexcept = default;
  // Takes a reference of its own; the caller's reference, if any, stays the caller's.
  explicit IMPN_SheetReference(IMPN_Sheet* sheet) noexcept : m_Sheet(sheet) {
    if (m_Sheet != nullptr)
      m_Sheet->AddReference();
  }
  IMPN_SheetReference(IMPN_SheetReference const& other) noexcept
      : IMPN_SheetReference(other.m_Sheet) {}
  IMPN_SheetReference(IMPN_SheetReference&& other) noexcept
      : m_Sheet(std::exchange(other.m_Sheet, nullptr)) {}
  ~IMPN_SheetReference() { Reset(); }

  // Copy and swap: the new reference is taken before the old one goes, so assigning a sheet to
  // a reference that already holds it never deletes it.
  IMPN_SheetReference& operator=(IMPN_SheetReference other) noexcept {
    std::swap(m_Sheet, other.m_Sheet);
    return *this;
  }

  // Drops the reference; the last one deletes the sheet. Empty afterwards.
  void Reset() noexcept {
    IMPN_Sheet* const sheet = std::exchange(m_Sheet, nullptr);
    if (sheet != nullptr && sheet->RemoveReference() <= 0)
      delete sheet;
  }

  IMPN_Sheet* Get() const noexcept { return m_Sheet; }
  IMPN_Sheet* operator->() const noexcept { return m_Sheet; }
  IMPN_Sheet& operator*() const noexcept { return *m_Sheet; }
  explicit operator bool() const noexcept { return m_Sheet != nullptr; }

  friend bool operator==(IMPN_SheetReference const& a, IMPN_Sheet const* b) noexcept {
    return a.m_Sheet == b;
  }
  friend bool operator==(IMPN_Sheet const* a, IMPN_SheetReference const& b) noexcept {
    return a == b.m_Sheet;
  }
  friend bool operator!=(IMPN_SheetReference const& a, IMPN_Sheet const* b) noexcept {
    return a.m_Sheet != b;
  }
  friend bool operator!=(IMPN_Sheet const* a, IMPN_SheetReference const& b) noexcept {
    return a != b.m_Sheet;
  }

private:
  IMPN_Sheet* m_Sheet = nullptr;
};

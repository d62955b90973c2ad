#include "GLIB/iGLIB_CaseFolder.h"

#include <algorithm>
#include <cstdlib>

#include "GLIB/GLIB_New.h"

const iGLIB_CaseFolder iGLIB_CaseFolderInstance;

namespace {

// The folded text, growing in steps of 1024 characters through the line-tagged allocation.
// When the allocation's fail handler returns instead of throwing, the text stops growing and
// the caller keeps what was folded so far.
class FoldBuffer {
public:
  FoldBuffer() = default;
  FoldBuffer(const FoldBuffer&) = delete;
  FoldBuffer& operator=(const FoldBuffer&) = delete;
  ~FoldBuffer() { ::operator delete(m_Chars); }

  bool Append(const wchar_t* chars, std::size_t n) {
    if (m_Length + n > m_Capacity && !Grow(m_Length + n))
      return false;
    std::copy(chars, chars + n, m_Chars + m_Length);
    m_Length += n;
    return true;
  }

  GLIB_WString Text() const { return m_Length ? GLIB_WString(m_Chars, m_Length) : GLIB_WString(); }

private:
  static const std::size_t kStep = 1024;

  bool Grow(std::size_t needed) {
    std::size_t capacity = m_Capacity;
    while (capacity < needed)
      capacity += kStep;
    auto* chars =
        static_cast<wchar_t*>(operator new(capacity * sizeof(wchar_t), __LINE__, __FILE__));
    if (!chars)
      return false;
    std::copy(m_Chars, m_Chars + m_Length, chars);
    ::operator delete(m_Chars);
    m_Chars = chars;
    m_Capacity = capacity;
    return true;
  }

  wchar_t* m_Chars = nullptr;
  std::size_t m_Length = 0;
  std::size_t m_Capacity = 0;
};

}  // namespace

int iGLIB_CaseFolder::MapEntryCompFunc(const void* key, const void* entry) {
  const std::uint32_t keyCode = static_cast<const MapEntry*>(key)->code;
  const std::uint32_t entryCode = static_cast<const MapEntry*>(entry)->code;
  // Codes may use all 32 bits, so the difference is reduced to its sign.
  return keyCode < entryCode ? -1 : (keyCode > entryCode ? 1 : 0);
}

const iGLIB_CaseFolder::MapEntry* iGLIB_CaseFolder::Find(wchar_t c) {
  // Only the Basic Multilingual Plane is folded; wider or negative characters pass unchanged.
  const auto code = static_cast<std::uint32_t>(c);
  if (code > 0xFFFF)
    return nullptr;
  const MapEntry key = {code, nullptr, 0};
  return static_cast<const MapEntry*>(
      std::bsearch(&key, sm_Map, sm_MapSize, sizeof(MapEntry), &MapEntryCompFunc));
}

GLIB_WString iGLIB_CaseFolder::FoldCase(const GLIB_WString& text) const {
  FoldBuffer buffer;
  for (const wchar_t c : text) {
    if (c == 0)
      break;
    const MapEntry* entry = Find(c);
    const bool appended =
        entry ? buffer.Append(entry->folded, entry->length) : buffer.Append(&c, 1);
    if (!appended)
      break;
  }
  return buffer.Text();
}

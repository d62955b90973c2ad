#pragma once

#include <cstddef>
#include <cstdint>

#include "GLIB/GLIB_String.h"

// Unicode case folding (full foldings, no Turkic special cases) for caseless comparison.
// Holds no data of its own: the table is a constant shared by all callers.
class iGLIB_CaseFolder {
public:
  struct MapEntry {
    std::uint32_t code;
    const wchar_t* folded;
    std::uint32_t length;
  };

  // Sorted by code; a character with both a full and a simple folding has two adjacent
  // entries, the full one first.
  static const MapEntry sm_Map[];
  static const std::size_t sm_MapSize;

  // The folded text; it ends at the first character 0 of the input.
  GLIB_WString FoldCase(const GLIB_WString& text) const;

  // Orders two entries by code (key minus entry), for std::bsearch.
  static int MapEntryCompFunc(const void* key, const void* entry);

  static const MapEntry* Find(wchar_t c);
};

extern const iGLIB_CaseFolder iGLIB_CaseFolderInstance;

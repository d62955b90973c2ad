// A sheet travels in a posted message's lParam: the message may be handled long after its
// sender's call has returned, so the sender gives the message a reference of its own, and the
// receiver adopts it.
#pragma once

#include "IMPN/IMPN_SheetReference.h"

#include <windows.h>

namespace WKRX_SheetHandOver {

// The lParam carrying one more reference to sheet (null: none).
inline LPARAM Give(const IMPN_SheetReference& sheet) {
  if (sheet)
    sheet->AddReference();
  return reinterpret_cast<LPARAM>(sheet.Get());
}

// Takes over the reference that Give put in the message.
inline IMPN_SheetReference Adopt(LPARAM lParam) {
  IMPN_SheetReference sheet(reinterpret_cast<IMPN_Sheet*>(lParam));
  if (sheet)
    sheet->RemoveReference();
  return sheet;
}

}  // namespace WKRX_SheetHandOver

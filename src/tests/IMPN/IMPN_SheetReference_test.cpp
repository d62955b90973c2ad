#include "IMPN/IMPN_SheetReference.h"

#include <gtest/gtest.h>

#include <utility>

namespace {
// A sheet without files: enough to count references on. The sanitizer build reports a sheet
// that is deleted too early or never.
IMPN_Sheet* EmptySheet() {
  GFIL_FileSpecVector none;
  return new IMPN_Sheet(none, none);
}
}  // namespace

TEST(SheetReference, CopiesShareTheSheetsOwnCountAndTheLastOneDeletes) {
  IMPN_SheetReference first(EmptySheet());
  IMPN_Sheet* const sheet = first.Get();
  EXPECT_EQ(1, sheet->GetReferenceCount());
  {
    IMPN_SheetReference copy = first;
    IMPN_SheetReference again(sheet);  // from the raw pointer: the same count
    EXPECT_EQ(3, sheet->GetReferenceCount());
    IMPN_SheetReference moved = std::move(copy);
    EXPECT_EQ(nullptr, copy);
    EXPECT_EQ(sheet, moved);
    EXPECT_EQ(3, sheet->GetReferenceCount());
  }
  EXPECT_EQ(1, sheet->GetReferenceCount());
  first.Reset();
  EXPECT_EQ(nullptr, first);
  first.Reset();  // an empty reference has nothing to drop
}

TEST(SheetReference, AssigningTheHeldSheetAgainKeepsIt) {
  IMPN_SheetReference held(EmptySheet());
  IMPN_Sheet* const sheet = held.Get();
  IMPN_SheetReference const& alias = held;
  held = alias;
  held = IMPN_SheetReference(sheet);
  EXPECT_EQ(sheet, held);
  EXPECT_EQ(1, sheet->GetReferenceCount());

  IMPN_SheetReference other(EmptySheet());
  held = other;  // drops the only reference to the first sheet
  EXPECT_EQ(other.Get(), held);
  EXPECT_EQ(2, other->GetReferenceCount());
}

#include "GLIB/iGLIB_CaseFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Entry = iGLIB_CaseFolder::MapEntry;

TEST(iGLIB_CaseFolderTable, HoldsTheFoldingsOfTheUnicode4Repertoire) {
  ASSERT_EQ(829u, iGLIB_CaseFolder::sm_MapSize);
  std::map<std::uint32_t, int> byLength;
  for (std::size_t i = 0; i < iGLIB_CaseFolder::sm_MapSize; ++i)
    ++byLength[iGLIB_CaseFolder::sm_Map[i].length];
  EXPECT_EQ((std::map<std::uint32_t, int>{{1, 726}, {2, 87}, {3, 16}}), byLength);
  EXPECT_EQ(0xFF3Au, iGLIB_CaseFolder::sm_Map[iGLIB_CaseFolder::sm_MapSize - 1].code);
}

TEST(iGLIB_CaseFolderTable, IsSortedWithTheFullFoldingFirstWhereBothExist) {
  int pairs = 0;
  for (std::size_t i = 1; i < iGLIB_CaseFolder::sm_MapSize; ++i) {
    const Entry& before = iGLIB_CaseFolder::sm_Map[i - 1];
    const Entry& entry = iGLIB_CaseFolder::sm_Map[i];
    ASSERT_LE(before.code, entry.code) << "at " << i;
    if (before.code == entry.code) {
      ++pairs;
      EXPECT_GT(before.length, 1u) << std::hex << entry.code;
      EXPECT_EQ(1u, entry.length) << std::hex << entry.code;
    }
  }
  EXPECT_EQ(27, pairs);
  // Both entries of such a character are found by the search as one of the two.
  const Entry* found = iGLIB_CaseFolder::Find(wchar_t(0x1FFC));
  ASSERT_NE(nullptr, found);
  EXPECT_EQ(0x1FFCu, found->code);
}

TEST(iGLIB_CaseFolderTable, LeavesOutTurkicAndLaterCharacters) {
  // U+0049 folds to plain i, not to the dotless i of the Turkic entry.
  const Entry* capitalI = iGLIB_CaseFolder::Find(L'I');
  ASSERT_NE(nullptr, capitalI);
  ASSERT_EQ(1u, capitalI->length);
  EXPECT_EQ(L'i', capitalI->folded[0]);
  // Georgian capitals fold to letters added after 4.0; capital sharp s came later too.
  for (const wchar_t later : {wchar_t(0x10A0), wchar_t(0x1E9E), wchar_t(0x2C00), wchar_t(0xA640)})
    EXPECT_EQ(nullptr, iGLIB_CaseFolder::Find(later)) << std::hex << int(later);
}

TEST(iGLIB_CaseFolderTable, CompareFunctionOrdersByCode) {
  const Entry low = {0x41, nullptr, 0};
  const Entry high = {0xFF3A, nullptr, 0};
  const Entry huge = {0xFFFFFFFFu, nullptr, 0};
  EXPECT_LT(iGLIB_CaseFolder::MapEntryCompFunc(&low, &high), 0);
  EXPECT_GT(iGLIB_CaseFolder::MapEntryCompFunc(&high, &low), 0);
  EXPECT_EQ(0, iGLIB_CaseFolder::MapEntryCompFunc(&high, &high));
  EXPECT_GT(iGLIB_CaseFolder::MapEntryCompFunc(&huge, &low), 0);
}

struct FoldCase {
  const wchar_t* text;
  const wchar_t* folded;
};

class iGLIB_CaseFolderFold : public ::testing::TestWithParam<FoldCase> {};

TEST_P(iGLIB_CaseFolderFold, FoldsEachCharacter) {
  EXPECT_EQ(GLIB_WString(GetParam().folded),
            iGLIB_CaseFolderInstance.FoldCase(GLIB_WString(GetParam().text)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, iGLIB_CaseFolderFold,
    ::testing::Values(FoldCase{L"", L""}, FoldCase{L"MiXeD 123 Text!", L"mixed 123 text!"},
                      FoldCase{L"STRA\u00DFE", L"strasse"},
                      FoldCase{L"\u0130stanbul", L"i\u0307stanbul"},
                      FoldCase{L"\uFB00\u0390", L"ff\u03B9\u0308\u0301"},
                      FoldCase{L"\u00B5\u03A3\u0587", L"\u03BC\u03C3\u0565\u0582"},
                      FoldCase{L"\uFF21\uFF3A\uFF3B", L"\uFF41\uFF5A\uFF3B"},
                      FoldCase{L"\u4E2D\u00E9\u00C9", L"\u4E2D\u00E9\u00E9"}));

TEST(iGLIB_CaseFolderFoldText, EndsAtAnEmbeddedZero) {
  const wchar_t text[] = {L'A', L'B', 0, L'C'};
  EXPECT_EQ(GLIB_WString(L"ab"), iGLIB_CaseFolderInstance.FoldCase(GLIB_WString(text, 4)));
}

TEST(iGLIB_CaseFolderFoldText, TakesTheFullOrTheSimpleFoldingWhereBothExist) {
  const GLIB_WString folded = iGLIB_CaseFolderInstance.FoldCase(GLIB_WString(L"\u1FFC"));
  EXPECT_TRUE(folded == L"\u03C9\u03B9" || folded == L"\u1FF3");
}

TEST(iGLIB_CaseFolderFoldText, GrowsPastItsFirstBuffer) {
  // Sharp s doubles, so 1500 of them need 3000 characters.
  const GLIB_WString folded = iGLIB_CaseFolderInstance.FoldCase(GLIB_WString(1500, L'\u00DF'));
  EXPECT_EQ(GLIB_WString(3000, L's'), folded);
}

TEST(iGLIB_CaseFolderFoldText, PassesCharactersOutsideTheTableUnchanged) {
  // A surrogate pair (Windows) or one wide character above the plane (here) is not folded.
  const GLIB_WString text = sizeof(wchar_t) == 2 ? GLIB_WString(L"\xD801\xDC00")
                                                 : GLIB_WString(1, static_cast<wchar_t>(0x10400));
  EXPECT_EQ(text, iGLIB_CaseFolderInstance.FoldCase(text));
}

}  // namespace

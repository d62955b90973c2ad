#include "IMPN/IMPN_Ink.h"

#include <gtest/gtest.h>

namespace {
// The flavour's own computation of p percent of v: the two programs differ in the last bit.
int ExpectedTableEntry(int v, int p) {
#if defined(_WIN32)
  return static_cast<int>((p * 0.01) * v);
#else
  return static_cast<int>((p / 100.0) * v);
#endif
}
}  // namespace

TEST(IMPN_Ink, OpacityTableTruncatesTheDoubleProductAsTheFlavourComputesIt) {
  IMPN_Ink ink;
  ASSERT_TRUE(IMPN_Ink::sm_TableInitialized);
  int differFromExact = 0;
  for (int v = 0; v < 256; ++v)
    for (int p = 0; p <= 100; ++p) {
      ASSERT_EQ(IMPN_Ink::sm_OpacityTable[v][p], ExpectedTableEntry(v, p)) << v << " " << p;
      differFromExact += IMPN_Ink::sm_OpacityTable[v][p] != v * p / 100;
    }
#if defined(_WIN32)
  EXPECT_EQ(differFromExact, 5);  // the Mac's 12, less the 7 the Windows program gets right
#else
  EXPECT_EQ(differFromExact, 12);
#endif

  struct Entry {
    int v, p, mac, win;
  };
  Entry const entries[] = {{255, 1, 2, 2},      {255, 100, 255, 255}, {100, 29, 28, 28},
                           {50, 58, 28, 28},    {90, 70, 62, 63},     {100, 57, 56, 57},
                           {200, 57, 113, 114}, {180, 35, 62, 63}};
  for (Entry const& e : entries) {
#if defined(_WIN32)
    EXPECT_EQ(IMPN_Ink::sm_OpacityTable[e.v][e.p], e.win) << e.v << " " << e.p;
#else
    EXPECT_EQ(IMPN_Ink::sm_OpacityTable[e.v][e.p], e.mac) << e.v << " " << e.p;
#endif
  }
}

TEST(IMPN_Ink, ConstructorsAndSetColor) {
  IMPN_RGBColor8 const saved = IMPN_Ink::sm_DefaultColor;
  IMPN_Ink::sm_DefaultColor = IMPN_RGBColor8(153, 153, 153);
  IMPN_Ink unknown;
  EXPECT_EQ(unknown.GetInkColor(), IMPN_RGBColor8(153, 153, 153));
  EXPECT_EQ(unknown.GetOpacity(), 100);
  EXPECT_EQ(unknown.GetPaperColor(), IMPN_RGBColor8(255, 255, 255));
  EXPECT_TRUE(unknown.IsUnknown());
  EXPECT_EQ(unknown.GetName(), "");
  IMPN_Ink::sm_DefaultColor = saved;

  IMPN_Ink known(IMPN_RGBColor8(1, 2, 3), 40);
  EXPECT_FALSE(known.IsUnknown());
  EXPECT_EQ(known.GetOpacity(), 40);

  unknown.SetColor("PANTONE 185 C", IMPN_RGBColor8(200, 16, 46), 70);
  EXPECT_FALSE(unknown.IsUnknown());
  EXPECT_EQ(unknown.GetName(), "PANTONE 185 C");
  EXPECT_EQ(unknown.GetInkColor(), IMPN_RGBColor8(200, 16, 46));
  EXPECT_EQ(unknown.GetOpacity(), 70);

  IMPN_Ink const copy(unknown);
  EXPECT_EQ(copy.GetName(), unknown.GetName());
  EXPECT_EQ(copy.GetOpacity(), 70);
  EXPECT_FALSE(copy.IsUnknown());
}

TEST(IMPN_Ink, GetColorMixesInkAndPaperByOpacity) {
  IMPN_RGBColor8 out;
  IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 100).GetColor(out);
  EXPECT_EQ(out, IMPN_RGBColor8(0, 0, 0));
  IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 0).GetColor(out);
  EXPECT_EQ(out, IMPN_RGBColor8(255, 255, 255));
  // 50 % of 200 is 100, plus 50 % of the white paper (127).
  IMPN_Ink(IMPN_RGBColor8(200, 100, 0), 50).GetColor(out);
  EXPECT_EQ(out, IMPN_RGBColor8(227, 177, 127));
}

TEST(IMPN_Ink, OpacityOutsideThePercentRangeIsTakenAtItsLimit) {
  IMPN_RGBColor8 over;
  IMPN_RGBColor8 under;
  IMPN_Ink(IMPN_RGBColor8(10, 20, 30), 250).GetColor(over);
  IMPN_Ink(IMPN_RGBColor8(10, 20, 30), -7).GetColor(under);
  EXPECT_EQ(over, IMPN_RGBColor8(10, 20, 30));
  EXPECT_EQ(under, IMPN_RGBColor8(255, 255, 255));

  IMPN_RGBColor8 out;
  IMPN_Ink::OpaqueAlphaBlend(IMPN_Ink(IMPN_RGBColor8(10, 20, 30), 400), IMPN_RGBColor8(), out);
  EXPECT_EQ(out, IMPN_RGBColor8(10, 20, 30));
}

TEST(IMPN_Ink, BlendMultipliesOverWhatLiesBelow) {
  IMPN_RGBColor8 out;
  // An ink that shows as white leaves the colour below as it was.
  IMPN_Ink::Blend(IMPN_Ink(IMPN_RGBColor8(255, 255, 255), 100), IMPN_RGBColor8(10, 20, 30), out);
  EXPECT_EQ(out, IMPN_RGBColor8(10, 20, 30));
  IMPN_Ink::Blend(IMPN_Ink(IMPN_RGBColor8(90, 180, 255), 0), IMPN_RGBColor8(10, 20, 30), out);
  EXPECT_EQ(out, IMPN_RGBColor8(10, 20, 30));
  // Black at full strength gives black over anything.
  for (IMPN_RGBColor8 below : {IMPN_RGBColor8(255, 255, 255), IMPN_RGBColor8(7, 130, 250)}) {
    IMPN_Ink::Blend(IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 100), below, out);
    EXPECT_EQ(out, IMPN_RGBColor8(0, 0, 0));
  }
  // (g * (below + 1)) >> 8 per channel, computed in place.
  IMPN_RGBColor8 inPlace(255, 128, 0);
  IMPN_Ink::Blend(IMPN_Ink(IMPN_RGBColor8(128, 200, 255), 100), inPlace, inPlace);
  EXPECT_EQ(inPlace, IMPN_RGBColor8(128, 100, 0));
}

TEST(IMPN_Ink, OpaqueAlphaBlendMixesByOpacityAndIgnoresThePaper) {
  IMPN_RGBColor8 out;
  IMPN_Ink::OpaqueAlphaBlend(IMPN_Ink(IMPN_RGBColor8(200, 100, 0), 50), IMPN_RGBColor8(0, 0, 255),
                             out);
  EXPECT_EQ(out, IMPN_RGBColor8(100, 50, 127));
  IMPN_Ink::OpaqueAlphaBlend(IMPN_Ink(IMPN_RGBColor8(200, 100, 0), 100), IMPN_RGBColor8(9, 9, 9),
                             out);
  EXPECT_EQ(out, IMPN_RGBColor8(200, 100, 0));
  IMPN_Ink::OpaqueAlphaBlend(IMPN_Ink(IMPN_RGBColor8(200, 100, 0), 0), IMPN_RGBColor8(9, 8, 7),
                             out);
  EXPECT_EQ(out, IMPN_RGBColor8(9, 8, 7));
}

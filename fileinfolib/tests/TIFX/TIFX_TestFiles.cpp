#include "TIFX_TestFiles.h"

#include "GFIL/GFIL_Utils.h"

#include <gtest/gtest.h>

#include <vector>

using namespace PreviewFixture;

std::unique_ptr<TIFX_KRXFile> WriteAndOpen(std::string const& name, PreviewFile const& file) {
  const std::string path = TempFilePath(name);
  Write(path, file);
  auto krx = std::make_unique<TIFX_KRXFile>(SpecFromPath(path));
  krx->Open();
  return krx;
}

Job RichJob() {
  Job job;
  job.title = "Leaflet 12pp";
  job.signature = 3;
  job.surface = 5;
  job.workStyle = 2;
  job.orientation = 1;
  job.pressSheet = Edges{10, 20, 7000, 9000};
  Page first;
  first.number = 7;
  first.orientation = 2;
  first.position = {100, 200, 1100, 900};
  first.bleed = {90, 190, 1110, 910};
  first.maxBleed = {80, 180, 1120, 920};
  first.bottleX = 640;
  first.bottleY = 480;
  first.bottleAngle = 1.5f;
  first.clipPaths = {{{1, 2}, {300, -4}, {5, 600}}, {{-7, 8}}};
  first.typeSafety = Edges{110, 210, 1090, 890};
  Page second = first;
  second.number = 8;
  second.orientation = 3;
  second.position = {2100, 2200, 3100, 2900};
  second.bottleAngle = -0.25f;
  second.clipPaths = {};
  second.typeSafety = Edges{2110, 2210, 3090, 2890};
  job.pages = {first, second};
  job.inkName = "PANTONE 185 C";
  job.color = 0;
  job.opacity = std::vector<std::uint16_t>{0, 100, 65535};
  job.cmyk = std::array<std::uint16_t, 4>{0, 65535, 52428, 1};
  job.printOrder = 2;
  job.printTime = "2005-03-14 10:22:05";
  job.versions = std::vector<std::string>{"EN", "DE"};
  job.interfaceVersion = 70000;
  job.extra = {PrivateEntry::Float(10001, 12.5f),     PrivateEntry::Long(10007, 3),
               PrivateEntry::Ascii(10011, "DIG 4.2"), PrivateEntry::Ascii(10012, "rip-07"),
               PrivateEntry::Long(10020, 1),          PrivateEntry::Long(10023, 1),
               PrivateEntry::Long(11004, 123456),     PrivateEntry::Short(11009, 4),
               PrivateEntry::Ascii(12288, "calib"),   PrivateEntry::Bytes(12289, {1, 2, 3, 4, 5}),
               PrivateEntry::Ascii(34017, "CMYK")};
  return job;
}

void ExpectRichJob(TIFX_NoltDirectory const& d, std::uint16_t scale) {
  EXPECT_EQ(d.Title, "Leaflet 12pp");
  EXPECT_EQ(d.Scale, scale);
  EXPECT_EQ(d.Signature, 3);
  EXPECT_EQ(d.Surface, 5);
  EXPECT_EQ(d.WorkStyle, 2);
  EXPECT_EQ(d.ImpoTileOrientation, 1);
  EXPECT_EQ(d.PressSheetTop, 10u);
  EXPECT_EQ(d.PressSheetLeft, 20u);
  EXPECT_EQ(d.PressSheetBottom, 7000u);
  EXPECT_EQ(d.PressSheetRight, 9000u);
  EXPECT_EQ(d.ColorStr, "PANTONE 185 C");
  EXPECT_EQ(d.Color, 0);
  EXPECT_EQ(d.RastColorOpacity, (std::vector<std::uint16_t>{0, 100, 65535}));
  EXPECT_EQ(d.CMYKEquivalent[0], 0);
  EXPECT_EQ(d.CMYKEquivalent[1], 65535);
  EXPECT_EQ(d.CMYKEquivalent[2], 52428);
  EXPECT_EQ(d.CMYKEquivalent[3], 1);
  EXPECT_EQ(d.PrintOrder, 2);
  EXPECT_EQ(d.PrintTime, "2005-03-14 10:22:05");
  EXPECT_EQ(d.Versions, (std::vector<std::string>{"EN", "DE"}));
  EXPECT_EQ(d.NoltTagIntfVersion, 70000u);
  EXPECT_EQ(d.NoltTagMinIntfVersion, 3u);
  EXPECT_EQ(d.InterpretationTime, 12.5f);
  EXPECT_EQ(d.DigVersion, "DIG 4.2");
  EXPECT_EQ(d.SourceMachine, "rip-07");
  EXPECT_EQ(d.PsFileNum, 1u);
  EXPECT_EQ(d.PsLastImage, 1u);
  EXPECT_EQ(d.ImpoTileWidth, 123456u);
  EXPECT_EQ(d.ImpoTileCountY, 4);
  EXPECT_EQ(d.ColorSequence, "CMYK");
  EXPECT_EQ(d.NumPages, 2);
  ASSERT_EQ(d.Pages.size(), 2u);
  TIFX_Page const& p = d.Pages[0];
  EXPECT_EQ(p.Number, 7);
  EXPECT_EQ(p.Orientation, 2);
  EXPECT_EQ(p.PosnTop, 100u);
  EXPECT_EQ(p.PosnLeft, 200u);
  EXPECT_EQ(p.PosnBottom, 1100u);
  EXPECT_EQ(p.PosnRight, 900u);
  EXPECT_EQ(p.BleedTop, 90u);
  EXPECT_EQ(p.BleedRight, 910u);
  EXPECT_EQ(p.MaxBleedLeft, 180u);
  EXPECT_EQ(p.MaxBleedBottom, 1120u);
  EXPECT_EQ(p.BottleX, 640u);
  EXPECT_EQ(p.BottleY, 480u);
  EXPECT_EQ(p.BottleAngle, 1.5f);
  EXPECT_EQ(p.TypeSafetyTop, 110u);
  EXPECT_EQ(p.TypeSafetyRight, 890u);
  ASSERT_EQ(p.SCPaths.size(), 2u);
  ASSERT_EQ(p.SCPaths[0].size(), 3u);
  EXPECT_EQ(p.SCPaths[0][1].x, 300);
  EXPECT_EQ(p.SCPaths[0][1].y, -4);
  ASSERT_EQ(p.SCPaths[1].size(), 1u);
  EXPECT_EQ(p.SCPaths[1][0].x, -7);
  EXPECT_EQ(d.Pages[1].Number, 8);
  EXPECT_EQ(d.Pages[1].PosnTop, 2100u);
  EXPECT_EQ(d.Pages[1].BottleAngle, -0.25f);
  EXPECT_TRUE(d.Pages[1].SCPaths.empty());
  EXPECT_EQ(d.Pages[1].TypeSafetyLeft, 2210u);

  // Every field the job carries has its bit; the two nobody writes do not.
  for (unsigned bit = 0; bit < 64; ++bit) {
    const bool unwritten = bit == 4 || bit == 5 || bit == 12 || bit == 13 || bit == 24 ||
                           bit == 25 || bit == 29 || bit == 30 || bit == 31 || bit == 32 ||
                           bit == 53;
    EXPECT_EQ(d.FieldBitSet(static_cast<NoltField>(bit)), !unwritten) << "bit " << bit;
  }
}

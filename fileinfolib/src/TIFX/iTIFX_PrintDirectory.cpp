#include "TIFX/iTIFX_PrintDirectory.h"

#include <initializer_list>

namespace {

char const* OrientationName(unsigned code) {
  static char const* const kNames[] = {"Up", "Down", "Left", "Right"};
  return code < 4 ? kNames[code] : "*****";
}

char const* WorkStyleName(unsigned code) {
  static char const* const kNames[] = {"Single Sided", "Sheetwise", "Perfector", "Work & Turn",
                                       "Work & Tumble"};
  return code < 5 ? kNames[code] : "*** Unknown ***";
}

char const* ColorName(unsigned code) {
  static char const* const kNames[] = {"Unknown", "Cyan", "Magenta", "Yellow",
                                       "Black",   "Red",  "Green",   "Blue"};
  return code < 8 ? kNames[code] : "*** Unknown ***";
}

class Printer {
public:
  Printer(TIFX_NoltDirectory const& dir, FILE* out) : m_Dir(dir), m_Out(out) {}

  bool Has(std::initializer_list<unsigned> bits) const {
    for (unsigned bit : bits)
      if (!m_Dir.FieldBitSet(static_cast<NoltField>(bit)))
        return false;
    return true;
  }

  void Print() const {
    TIFX_NoltDirectory const& d = m_Dir;
    FILE* o = m_Out;
    if (Has({62}))
      std::fprintf(o, "  IT8 Color Sequence: %s\n", d.ColorSequence.c_str());
    if (Has({63})) {
      const unsigned c = d.CMYKEquivalent[0], m = d.CMYKEquivalent[1], y = d.CMYKEquivalent[2],
                     k = d.CMYKEquivalent[3];
      std::fprintf(o, "  IT8 CMYK Equivalent: [0x%04X,0x%04X,0x%04X,0x%04X] ", c, m, y, k);
      std::fprintf(o, "(%.1f,%.1f,%.1f,%.1f) %%", c / 655.35, m / 655.35, y / 655.35, k / 655.35);
    }
    std::fprintf(o, "--- Nolt Private IFD ---\n");
    if (Has({0, 1}))
      std::fprintf(o, "  NoltTag Intf Version: (%d-%d)\n", static_cast<int>(d.NoltTagIntfVersion),
                   static_cast<int>(d.NoltTagMinIntfVersion));
    if (Has({4, 5}))
      std::fprintf(o, "  Plugin  Intf Version: (%d-%d)\n", static_cast<int>(d.PluginIntfVersion),
                   static_cast<int>(d.PluginMinIntfVersion));
    if (Has({6}))
      std::fprintf(o, "  DIG Version: %s\n", d.DigVersion.c_str());
    if (Has({14}))
      std::fprintf(o, "  Title: %s\n", d.Title.c_str());
    if (Has({7}))
      std::fprintf(o, "  SourceMachine: %s\n", d.SourceMachine.c_str());
    if (Has({8}))
      std::fprintf(o, "  PrintTime: %s\n", d.PrintTime.c_str());
    if (Has({23}))
      std::fprintf(o, "  PsFileNum: %d\n", static_cast<int>(d.PsFileNum));
    if (Has({24}))
      std::fprintf(o, "  PsFileCount: %d\n", static_cast<int>(d.PsFileCount));
    if (Has({25}))
      std::fprintf(o, "  PsImageNum: %d\n", static_cast<int>(d.PsImageNum));
    if (Has({26}))
      std::fprintf(o, "  PsLastImage: %d\n", static_cast<int>(d.PsLastImage));
    if (Has({9}))
      std::fprintf(o, "  Color: %s (%s (%d))\n", d.ColorStr.c_str(), ColorName(d.Color), d.Color);
    if (Has({11}))
      std::fprintf(o, "  Interpretation Time: %g (seconds)\n",
                   static_cast<double>(d.InterpretationTime));
    if (Has({12}))
      std::fprintf(o, "  Rendering Time: %g (seconds)\n", static_cast<double>(d.RenderingTime));
    if (Has({13}))
      std::fprintf(o, "  Compression Ratio: %g:1\n", static_cast<double>(d.CompressionRatio));
    if (Has({15}))
      std::fprintf(o, "  Scale: 1:%d\n", d.Scale);
    if (Has({17}))
      std::fprintf(o, "  Signature: %d\n", d.Signature);
    if (Has({18}))
      std::fprintf(o, "  Surface: %d\n", d.Surface);
    if (Has({28, 29}))
      std::fprintf(o, "  Imposition Tile: %d x %d\n", static_cast<int>(d.ImpoTileWidth),
                   static_cast<int>(d.ImpoTileHeight));
    if (Has({30, 31}))
      std::fprintf(o, "  Imposition Tile: (%d, %d)\n", d.ImpoTileNumX, d.ImpoTileNumY);
    if (Has({32, 33}))
      std::fprintf(o, "  Imposition Tile Count: %d x %d\n", d.ImpoTileCountX, d.ImpoTileCountY);
    if (Has({2}))
      std::fprintf(o, "  Tile Orientation: %s\n", OrientationName(d.ImpoTileOrientation));
    if (Has({3}))
      std::fprintf(o, "  Workstyle: %s (%d)\n", WorkStyleName(d.WorkStyle), d.WorkStyle);
    if (Has({19, 20, 21, 22}))
      std::fprintf(o, "  Press Sheet: (%u,%u)-(%u,%u)\n", static_cast<unsigned>(d.PressSheetTop),
                   static_cast<unsigned>(d.PressSheetLeft),
                   static_cast<unsigned>(d.PressSheetBottom),
                   static_cast<unsigned>(d.PressSheetRight));
    if (Has({27}))
      std::fprintf(o, "  Print Order: %d\n", d.PrintOrder);
    if (Has({16})) {
      std::fprintf(o, "  Num Pages: %d\n", d.NumPages);
      for (std::size_t i = 0; i < d.Pages.size(); ++i)
        PrintPage(d.Pages[i], static_cast<int>(i));
    }
    if (Has({60})) {
      std::fprintf(o, "  RAST Color Opacity:\n");
      std::fprintf(o, "  {");
      for (std::size_t i = 0; i < d.RastColorOpacity.size(); ++i) {
        if (i % 4 == 0)
          std::fprintf(o, "\n    ");
        std::fprintf(o, "%02d : 0x%04X, ", static_cast<int>(i), d.RastColorOpacity[i]);
      }
      std::fprintf(o, "\n  }\n");
    }
    if (Has({61})) {
      if (d.Versions.empty()) {
        std::fprintf(o, "  Versions: <common>\n");
      } else {
        std::fprintf(o, "  Versions:\n");
        for (std::size_t i = 0; i < d.Versions.size(); ++i)
          std::fprintf(o, "    %i) %s\n", static_cast<int>(i + 1), d.Versions[i].c_str());
      }
    }
  }

private:
  void PrintEdges(char const* label, std::uint32_t left, std::uint32_t top, std::uint32_t right,
                  std::uint32_t bottom) const {
    std::fprintf(m_Out, "    %s: (%u,%u)-(%u,%u)\n", label, static_cast<unsigned>(left),
                 static_cast<unsigned>(top), static_cast<unsigned>(right),
                 static_cast<unsigned>(bottom));
  }

  void PrintPage(TIFX_Page const& p, int index) const {
    FILE* o = m_Out;
    std::fprintf(o, "  Index: %d", index);
    if (Has({48}))
      std::fprintf(o, ", Page Number: %d", p.Number);
    if (Has({47})) {
      std::fprintf(o, ", Orientation: ");
      std::fprintf(o, "%s (%d)", OrientationName(p.Orientation), p.Orientation);
    }
    std::fprintf(o, "\n");
    if (Has({35, 36, 37, 38}))
      PrintEdges("Position", p.PosnLeft, p.PosnTop, p.PosnRight, p.PosnBottom);
    if (Has({39, 40, 41, 42}))
      PrintEdges("Bleed", p.BleedLeft, p.BleedTop, p.BleedRight, p.BleedBottom);
    if (Has({43, 44, 45, 46}))
      PrintEdges("Max Bleed", p.MaxBleedLeft, p.MaxBleedTop, p.MaxBleedRight, p.MaxBleedBottom);
    if (Has({49, 50, 51}))
      std::fprintf(o, "    Bottling: %6.2f degrees about (%u,%u)\n",
                   static_cast<double>(p.BottleAngle), static_cast<unsigned>(p.BottleX),
                   static_cast<unsigned>(p.BottleY));
    if (Has({52})) {
      std::fprintf(o, "  Number of Source Clip Paths: %i\n", static_cast<int>(p.SCPaths.size()));
      for (std::size_t k = 0; k < p.SCPaths.size(); ++k) {
        std::fprintf(o, "    Source Clip Path #%i\n", static_cast<int>(k + 1));
        for (TIFX_Point const& pt : p.SCPaths[k])
          std::fprintf(o, "    +  ( %5i, %5i )\n", static_cast<int>(pt.x), static_cast<int>(pt.y));
      }
    }
    if (Has({54, 55, 56, 57}))
      PrintEdges("Type Safety Box", p.TypeSafetyLeft, p.TypeSafetyTop, p.TypeSafetyRight,
                 p.TypeSafetyBottom);
  }

  TIFX_NoltDirectory const& m_Dir;
  FILE* m_Out;
};

}  // namespace

void iTIFX_PrintNoltDirectory(TIFX_NoltDirectory const& dir, FILE* out) {
  if (out)
    Printer(dir, out).Print();
}

#include "IMPN/IMPN_ColorDBFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {
// Limits a value read from a file to a range; NaN counts as the low end.
double Clamped(double v, double lo, double hi) {
  if (!(v >= lo))
    return lo;
  return v > hi ? hi : v;
}

// The stored L of a file's L value: L x 655.35, truncated.
std::uint16_t LabL16(double L) {
  return static_cast<std::uint16_t>(Clamped(L, 0.0, 100.0) * 655.35);
}

// The L value to write for a stored L: L16 / 655.35 can truncate to one step less when read
// back, so it is raised by the smallest steps until it reads back as L16.
double LabLOf(std::uint16_t L16) {
  double L = L16 / 655.35;
  while (LabL16(L) < L16)
    L = std::nextafter(L, 101.0);
  return L;
}

class ColorFileReader {
public:
  explicit ColorFileReader(std::istream& in) : m_In(in) {}

  bool U32(std::uint32_t& v) { return Raw(&v, sizeof v); }
  bool Double(double& v) { return Raw(&v, sizeof v); }
  bool Bytes(std::string& s, std::uint32_t n) {
    s.assign(n, '\0');
    return n == 0 || Raw(&s[0], n);
  }

  // One entry; false at the first read failure or at a name longer than the limit.
  bool Entry(std::string& name, ColorRecipe& recipe, bool& usable) {
    std::uint32_t length = 0;
    std::uint32_t kind = 0;
    if (!U32(length) || length > IMPN_ColorDBFile::kMaxNameLength || !Bytes(name, length) ||
        !U32(kind))
      return false;
    usable = true;
    double v[4] = {};
    switch (kind) {
      case kIMPN_RecipeCMYK:
        if (!Double(v[0]) || !Double(v[1]) || !Double(v[2]) || !Double(v[3]))
          return false;
        recipe = ColorRecipe::FromCMYK(
            impn_CMYKColor8{Percent(v[0]), Percent(v[1]), Percent(v[2]), Percent(v[3])});
        return true;
      case kIMPN_RecipeRGB:
        if (!Double(v[0]) || !Double(v[1]) || !Double(v[2]))
          return false;
        recipe = ColorRecipe::FromRGB(IMPN_RGBColor8(Byte(v[0]), Byte(v[1]), Byte(v[2])));
        return true;
      case kIMPN_RecipeLab:
        if (!Double(v[0]) || !Double(v[1]) || !Double(v[2]))
          return false;
        recipe = ColorRecipe::FromLab(impn_LabColor16{
            LabL16(v[0]), static_cast<std::uint16_t>(Clamped((v[1] + 128.0) * 256.0, 0.0, 65535.0)),
            static_cast<std::uint16_t>(Clamped((v[2] + 128.0) * 256.0, 0.0, 65535.0))});
        return true;
      default:
        usable = false;  // a kind without values
        return true;
    }
  }

private:
  static std::uint8_t Percent(double v) { return static_cast<std::uint8_t>(Clamped(v, 0, 100)); }
  static std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(Clamped(v, 0, 255)); }

  bool Raw(void* p, std::size_t n) {
    m_In.read(static_cast<char*>(p), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(m_In.gcount()) == n;
  }

  std::istream& m_In;
};

class ColorFileWriter {
public:
  explicit ColorFileWriter(std::ostream& out) : m_Out(out) {}

  void U32(std::uint32_t v) { Raw(&v, sizeof v); }
  void Double(double v) { Raw(&v, sizeof v); }

  void Entry(std::string const& name, ColorRecipe const& recipe) {
    U32(static_cast<std::uint32_t>(name.size()));
    Raw(name.data(), name.size());
    U32(recipe.kind);
    switch (recipe.kind) {
      case kIMPN_RecipeCMYK: {
        impn_CMYKColor8 const c = recipe.CMYK();
        Double(c.cyan);
        Double(c.magenta);
        Double(c.yellow);
        Double(c.black);
        break;
      }
      case kIMPN_RecipeRGB: {
        IMPN_RGBColor8 const c = recipe.RGB();
        Double(c.red);
        Double(c.green);
        Double(c.blue);
        break;
      }
      case kIMPN_RecipeLab: {
        impn_LabColor16 const c = recipe.Lab();
        Double(LabLOf(c.L));
        Double(c.a / 256.0 - 128.0);
        Double(c.b / 256.0 - 128.0);
        break;
      }
      default:
        break;
    }
  }

private:
  void Raw(void const* p, std::size_t n) {
    m_Out.write(static_cast<char const*>(p), static_cast<std::streamsize>(n));
  }

  std::ostream& m_Out;
};
}  // namespace

IMPN_ColorDBFile::IMPN_ColorDBFile(std::string const& path) : m_Path(path) {}

IMPN_ColorDBFile::~IMPN_ColorDBFile() = default;

bool IMPN_ColorDBFile::LoadColors(IMPN_ColorMap& map) const {
  std::ifstream in(m_Path, std::ios::binary);
  if (!in)
    return false;
  ColorFileReader reader(in);
  std::uint32_t magic = 0;
  std::uint32_t version = 0;
  std::uint32_t count = 0;
  // Either a right magic or a right version is enough.
  if (!reader.U32(magic) || !reader.U32(version) || !reader.U32(count) ||
      (magic != kMagic && version != kVersion))
    return false;

  // The count is not trusted for anything but the end: a short file stops at its end.
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    ColorRecipe recipe;
    bool usable = false;
    if (!reader.Entry(name, recipe, usable))
      return false;
    if (usable)
      map.emplace(name, recipe);  // an existing name (any letter case) wins
  }
  return true;
}

IMPN_ColorFileStatus IMPN_ColorDBFile::SaveColors(IMPN_ColorMap const& map) const {
  std::string const temporaryPath = m_Path + ".saving";
  {
    std::ofstream out(temporaryPath, std::ios::binary | std::ios::trunc);
    if (!out)
      return kIMPN_ColorFileNotWritten;
    ColorFileWriter writer(out);
    writer.U32(kMagic);
    writer.U32(kVersion);
    // A name beyond the limit would stop every later load at that entry; it is left out.
    auto const fits = [](IMPN_ColorMap::value_type const& entry) {
      return entry.first.size() <= kMaxNameLength;
    };
    writer.U32(static_cast<std::uint32_t>(std::count_if(map.begin(), map.end(), fits)));
    for (auto const& entry : map)
      if (fits(entry))
        writer.Entry(entry.first, entry.second);
    out.flush();
    out.close();
    if (out.fail()) {
      std::remove(temporaryPath.c_str());
      return kIMPN_ColorFileNotWritten;
    }
  }
  if (!MoveOver(temporaryPath, m_Path)) {
    std::remove(temporaryPath.c_str());
    return kIMPN_ColorFileNotWritten;
  }
  return kIMPN_ColorFileSaved;
}

IMPN_ColorFileStatus IMPN_ColorDBFile::CreateEmptyFile() const {
  IMPN_ColorFileStatus const status = SaveColors(IMPN_ColorMap());
  if (status == kIMPN_ColorFileSaved)
    ClearFileTypeAndCreator();
  return status;
}

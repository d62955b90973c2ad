#pragma once
#include "IMPN/IMPN_ColorRecipe.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Builds colour database files byte by byte, so tests can make good and damaged ones.
class ColorDBBytes {
public:
  ColorDBBytes& U32(std::uint32_t v) { return Raw(&v, sizeof v); }
  ColorDBBytes& Double(double v) { return Raw(&v, sizeof v); }
  ColorDBBytes& Text(std::string const& s) { return Raw(s.data(), s.size()); }

  ColorDBBytes& Header(std::uint32_t count, std::uint32_t magic = 0x43434442,
                       std::uint32_t version = 1) {
    return U32(magic).U32(version).U32(count);
  }
  ColorDBBytes& Entry(std::string const& name, std::uint32_t kind,
                      std::vector<double> const& values) {
    U32(static_cast<std::uint32_t>(name.size())).Text(name).U32(kind);
    for (double v : values)
      Double(v);
    return *this;
  }
  ColorDBBytes& CMYK(std::string const& name, double c, double m, double y, double k) {
    return Entry(name, kIMPN_RecipeCMYK, {c, m, y, k});
  }
  ColorDBBytes& RGB(std::string const& name, double r, double g, double b) {
    return Entry(name, kIMPN_RecipeRGB, {r, g, b});
  }
  ColorDBBytes& Lab(std::string const& name, double L, double a, double b) {
    return Entry(name, kIMPN_RecipeLab, {L, a, b});
  }

  void WriteTo(std::filesystem::path const& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string bytes;

private:
  ColorDBBytes& Raw(void const* p, std::size_t n) {
    bytes.append(static_cast<char const*>(p), n);
    return *this;
  }
};

// A fresh folder per test, removed afterwards.
class ScratchFolder {
public:
  ScratchFolder() {
    static int serial = 0;
    m_Path = std::filesystem::temp_directory_path() /
             ("impn-colordb-" + std::to_string(++serial) + "-" + std::to_string(Unique()));
    std::filesystem::remove_all(m_Path);
    std::filesystem::create_directories(m_Path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
  }

  std::filesystem::path File(std::string const& name) const { return m_Path / name; }
  std::filesystem::path const& Path() const { return m_Path; }

  static std::string Read(std::filesystem::path const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

private:
  static long Unique() {
    return static_cast<long>(
        std::filesystem::file_time_type::clock::now().time_since_epoch().count() % 1000000007);
  }

  std::filesystem::path m_Path;
};

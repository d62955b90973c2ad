#pragma once
#include "IMPN/IMPN_ColorRecipe.h"

#include <string>

// Outcome of writing a colour file.
enum IMPN_ColorFileStatus {
  kIMPN_ColorFileSaved = 0,
  kIMPN_ColorFileNotWritten = 1,  // the old file, if any, is unchanged
};

// A colour database file (".colordb"): a 12-byte header (magic "BDCC", version 1, entry
// count) and the entries (name length, name, kind, values as doubles), in the byte order of
// the machine that wrote it. Colours are stored red, green, blue on every platform.
class IMPN_ColorDBFile {
public:
  explicit IMPN_ColorDBFile(std::string const& path);
  ~IMPN_ColorDBFile();

  // Adds the file's entries to the map; names already there win. A missing file or a file
  // without the right header adds nothing; a damaged file adds the entries before the
  // damage. Returns true when the whole file was read.
  bool LoadColors(IMPN_ColorMap& map) const;

  // Replaces the file by the map's contents. The new contents go to a temporary file in
  // the same folder first, so a failed save leaves the old file as it was.
  IMPN_ColorFileStatus SaveColors(IMPN_ColorMap const& map) const;

  // Replaces the file by one without entries.
  IMPN_ColorFileStatus CreateEmptyFile() const;

  static std::uint32_t const kMagic = 0x43434442;  // the bytes "BDCC" in little-endian order
  static std::uint32_t const kVersion = 1;
  static std::uint32_t const kMaxNameLength = 1024;

private:
  // Moves the finished temporary file over the target, replacing it.
  static bool MoveOver(std::string const& from, std::string const& to);
  // Gives a new empty file no type or creator of its own.
  void ClearFileTypeAndCreator() const;

  std::string m_Path;
};

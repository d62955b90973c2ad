// The entries of one .strings file, keyed by their UTF-16 text.
#pragma once
#include <map>
#include <string>

class iStandIn_StringsTable {
public:
  // Reads the file; a missing, unreadable or malformed file gives an empty table, as the
  // system's property-list reader yields nothing for it.
  static iStandIn_StringsTable FromFile(const std::string& path);
  // Parses the bytes of a strings file: UTF-16 with a byte order mark, else UTF-8 (with or
  // without its mark).
  static iStandIn_StringsTable FromBytes(const std::string& bytes);

  // Null when the table has no entry for key.
  const std::u16string* Find(const std::u16string& key) const;
  std::size_t Size() const { return m_Entries.size(); }

private:
  std::map<std::u16string, std::u16string> m_Entries;
};

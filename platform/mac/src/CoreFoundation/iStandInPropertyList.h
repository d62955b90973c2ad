// The stand-in's property lists as plain values, with their XML form and their CF form. The
// preferences keep their domains in this form, so that no CF object outlives a call.
#pragma once
#include <CoreFoundation/CFBase.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace standin_cf {

struct PlistValue {
  enum class Kind {
    String,
    Integer,
    Real,
    Boolean,
    Data,
    Array,
    Dictionary
  };

  Kind kind = Kind::String;
  std::u16string text;  // a string
  long long integer = 0;
  double real = 0.0;
  bool boolean = false;
  std::string bytes;  // data
  // An array's elements, or a dictionary's values beside their keys (unique, in order).
  std::vector<PlistValue> items;
  std::vector<std::u16string> keys;

  // A dictionary's value for the key, or null.
  const PlistValue* Find(const std::u16string& key) const;
  // Replaces or adds a dictionary's entry.
  void Put(const std::u16string& key, PlistValue value);
  void Remove(const std::u16string& key);

private:
  static constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);
  std::size_t IndexOf(const std::u16string& key) const;
  void IndexKeys();

  // A dictionary's key positions by the keys' hashes, so that a lookup and each key of a large
  // file read take constant time. Only Put and Remove change the keys.
  std::unordered_multimap<std::size_t, std::size_t> m_KeyIndex;
};

// Null for anything but a well-formed XML property list of the seven kinds (never crashes).
std::unique_ptr<PlistValue> ParseXmlPlist(const std::string& xml);
// The XML form, dictionary keys sorted by their units.
std::string WriteXmlPlist(const PlistValue& value);

// Null when the object (or anything inside it) is no property-list type, or a key is no string.
std::unique_ptr<PlistValue> PlistFromCF(CFTypeRef object);
// A new CF object; containers are mutable when mutableContainers is set. Null when a creation
// fails.
CFTypeRef PlistToCF(const PlistValue& value, bool mutableContainers);

}  // namespace standin_cf

// The private tags of preview files: their table, the values they carry and how a value is
// stored in TIFX_NoltDirectory. The TIFF library's set-field hook and the reader of the embedded
// directory both end here, so a field reads the same whichever way the file carries it.
#pragma once

#include "TIFX/TIFX_NoltDirectory.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : std::uint32_t {
  kTIFX_NoltIFDTag = 34756,      // the embedded private directory
  kTIFX_LastReservedTag = 34760  // 34757-34760 are kept by the library itself
};

// TIFF data types as the file stores them.
enum iTIFX_Type : std::uint16_t {
  kTIFX_Byte = 1,
  kTIFX_Ascii = 2,
  kTIFX_Short = 3,
  kTIFX_Long = 4,
  kTIFX_Rational = 5,
  kTIFX_SByte = 6,
  kTIFX_Undefined = 7,
  kTIFX_SShort = 8,
  kTIFX_SLong = 9,
  kTIFX_SRational = 10,
  kTIFX_Float = 11,
  kTIFX_Double = 12
};

struct iTIFX_FieldRow {
  std::uint16_t tag;
  iTIFX_Type type;
  bool variable;   // an array (or text) rather than one value
  bool passCount;  // the library passes arrays with their count
  int bit;         // NoltField, or -1 for the directory tags 34756-34760
  char const* name;
};

enum {
  kTIFX_FieldCount = 67
};
extern const iTIFX_FieldRow kTIFX_FieldTable[kTIFX_FieldCount];

// The row of a tag, or null when the tag is no private tag.
iTIFX_FieldRow const* iTIFX_FindRow(std::uint32_t tag);

// Size in bytes of one value of a TIFF type; 0 for a type this reader does not know.
std::uint32_t iTIFX_TypeSize(std::uint16_t type);

// The values of one field, whichever way they reached the reader.
struct iTIFX_FieldValue {
  bool isText = false;
  bool isReal = false;
  std::vector<std::uint32_t> integers;  // integer values; signed ones keep their bits
  std::vector<double> reals;            // FLOAT, DOUBLE and RATIONAL values
  std::string text;

  std::size_t Count() const;
  std::uint32_t U32(std::size_t i) const;
  float F32(std::size_t i) const;
};

// Decodes count values of a TIFF type from bytes in the file's byte order.
iTIFX_FieldValue iTIFX_DecodeValues(std::uint16_t type, std::uint32_t count,
                                    std::uint8_t const* bytes, bool bigEndian);

// Stores one private field in the directory and sets its field bit. A value that does not hold
// what the field needs (a missing value, text for a number, an array shorter than its own
// counts) is dropped: nothing changes and the bit stays clear. Returns whether it was stored.
bool iTIFX_ApplyField(TIFX_NoltDirectory& dir, std::uint32_t tag, iTIFX_FieldValue const& value);

// Random access to the file that holds an embedded directory.
class iTIFX_ByteSource {
public:
  virtual ~iTIFX_ByteSource() = default;
  virtual std::uint64_t Size() = 0;
  // Reads exactly size bytes at offset; false when they are not all there.
  virtual bool Read(std::uint64_t offset, std::size_t size, std::uint8_t* out) = 0;
};

// Parses an embedded directory (the value of tag 34756) into dir. Values beyond 4 bytes are read
// from the file at their absolute offsets. Returns false, storing nothing, when the block cannot
// hold the entries it declares.
bool iTIFX_ParseEmbeddedDirectory(std::uint8_t const* block, std::size_t size, bool bigEndian,
                                  iTIFX_ByteSource& file, TIFX_NoltDirectory& dir);

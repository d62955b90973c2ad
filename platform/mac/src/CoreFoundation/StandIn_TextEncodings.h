// Byte encodings of the stand-in's CFString: decoding bytes to UTF-16 units and encoding one
// character (one unit, or a surrogate pair) to bytes.
#pragma once
#include <CoreFoundation/CFString.h>

#include <cstddef>
#include <string>

namespace standin {

bool IsSupportedEncoding(CFStringEncoding encoding);

// False when the bytes are not valid in the encoding (or it is not supported).
bool DecodeBytes(const UInt8* bytes, std::size_t count, CFStringEncoding encoding,
                 bool isExternalRepresentation, std::u16string& units);

// Bytes of the character that starts at units[index]; sets consumed to its number of units
// (1 or 2). False when the encoding has no form for it.
bool EncodeCharacter(const std::u16string& units, std::size_t index, CFStringEncoding encoding,
                     std::string& bytes, std::size_t& consumed);

// The most bytes any character of one unit takes.
std::size_t MaximumBytesPerUnit(CFStringEncoding encoding);

}  // namespace standin

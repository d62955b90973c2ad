#include "StandIn_TextEncodings.h"

namespace standin {
namespace {

// Mac OS Roman, bytes 0x80 to 0xFF.
const char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1,  // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8,  // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,  // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC,  // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,  // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,  // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,  // B0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8,  // B8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,  // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,  // D0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,  // D8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,  // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,  // E8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,  // F0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7   // F8
};

// Windows Latin 1 (code page 1252), bytes 0x80 to 0x9F; the five unassigned bytes stand for the
// C1 controls of the same value.
const char16_t kWindowsLatin1C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const char16_t kOhmSign = 0x2126;
const char16_t kGreekCapitalOmega = 0x03A9;

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool IsUTF16(CFStringEncoding encoding) {
  return encoding == kCFStringEncodingUTF16 || encoding == kCFStringEncodingUTF16BE ||
         encoding == kCFStringEncodingUTF16LE;
}

char16_t DecodeSingleByte(UInt8 byte, CFStringEncoding encoding) {
  if (byte < 0x80) {
    return byte;
  }
  switch (encoding) {
    case kCFStringEncodingMacRoman:
      return kMacRomanHigh[byte - 0x80];
    case kCFStringEncodingWindowsLatin1:
      return byte < 0xA0 ? kWindowsLatin1C1[byte - 0x80] : byte;
    default:  // ISO Latin 1
      return byte;
  }
}

bool EncodeSingleByte(char16_t unit, CFStringEncoding encoding, UInt8& byte) {
  if (unit < 0x80) {
    byte = static_cast<UInt8>(unit);
    return true;
  }
  switch (encoding) {
    case kCFStringEncodingASCII:
      return false;
    case kCFStringEncodingISOLatin1:
      if (unit > 0xFF) {
        return false;
      }
      byte = static_cast<UInt8>(unit);
      return true;
    case kCFStringEncodingWindowsLatin1:
      if (unit >= 0xA0 && unit <= 0xFF) {
        byte = static_cast<UInt8>(unit);
        return true;
      }
      for (int i = 0; i < 32; ++i) {
        if (kWindowsLatin1C1[i] == unit) {
          byte = static_cast<UInt8>(0x80 + i);
          return true;
        }
      }
      return false;
    default: {  // Mac Roman
      const char16_t wanted = unit == kOhmSign ? kGreekCapitalOmega : unit;
      for (int i = 0; i < 128; ++i) {
        if (kMacRomanHigh[i] == wanted) {
          byte = static_cast<UInt8>(0x80 + i);
          return true;
        }
      }
      return false;
    }
  }
}

// Strict UTF-8: no over-long forms, no encoded surrogates, nothing above U+10FFFF.
bool DecodeUTF8(const UInt8* bytes, std::size_t count, std::u16string& units) {
  std::size_t i = 0;
  while (i < count) {
    const UInt8 lead = bytes[i];
    std::uint32_t code;
    std::size_t trailing;
    std::uint32_t minimum;
    if (lead < 0x80) {
      units.push_back(lead);
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      code = lead & 0x1F;
      trailing = 1;
      minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      code = lead & 0x0F;
      trailing = 2;
      minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      code = lead & 0x07;
      trailing = 3;
      minimum = 0x10000;
    } else {
      return false;
    }
    if (i + trailing >= count) {
      return false;
    }
    for (std::size_t k = 1; k <= trailing; ++k) {
      const UInt8 byte = bytes[i + k];
      if ((byte & 0xC0) != 0x80) {
        return false;
      }
      code = (code << 6) | (byte & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    if (code > 0xFFFF) {
      units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(code));
    }
    i += trailing + 1;
  }
  return true;
}

void AppendUTF8(std::uint32_t code, std::string& bytes) {
  if (code < 0x80) {
    bytes.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    bytes.push_back(static_cast<char>(0xC0 | (code >> 6)));
    bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    bytes.push_back(static_cast<char>(0xE0 | (code >> 12)));
    bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    bytes.push_back(static_cast<char>(0xF0 | (code >> 18)));
    bytes.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool HostIsLittleEndian() {
  const std::uint16_t probe = 1;
  return *reinterpret_cast<const UInt8*>(&probe) == 1;
}

bool DecodeUTF16(const UInt8* bytes, std::size_t count, CFStringEncoding encoding,
                 bool isExternalRepresentation, std::u16string& units) {
  if (count % 2 != 0) {
    return false;
  }
  bool little =
      encoding == kCFStringEncodingUTF16LE ||
      (encoding == kCFStringEncodingUTF16 && !isExternalRepresentation && HostIsLittleEndian());
  std::size_t i = 0;
  if (encoding == kCFStringEncodingUTF16 && count >= 2) {
    // A byte-order mark decides and is dropped; without one, external text is big-endian.
    if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
      little = true;
      i = 2;
    } else if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
      little = false;
      i = 2;
    }
  }
  for (; i < count; i += 2) {
    units.push_back(little ? static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))
                           : static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]));
  }
  return true;
}

}  // namespace

bool IsSupportedEncoding(CFStringEncoding encoding) {
  switch (encoding) {
    case kCFStringEncodingMacRoman:
    case kCFStringEncodingWindowsLatin1:
    case kCFStringEncodingISOLatin1:
    case kCFStringEncodingASCII:
    case kCFStringEncodingUTF8:
    case kCFStringEncodingUTF16:
    case kCFStringEncodingUTF16BE:
    case kCFStringEncodingUTF16LE:
      return true;
    default:
      return false;
  }
}

bool DecodeBytes(const UInt8* bytes, std::size_t count, CFStringEncoding encoding,
                 bool isExternalRepresentation, std::u16string& units) {
  units.clear();
  if (!IsSupportedEncoding(encoding)) {
    return false;
  }
  if (encoding == kCFStringEncodingUTF8) {
    // An external representation may start with a byte-order mark, which is dropped.
    if (isExternalRepresentation && count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB &&
        bytes[2] == 0xBF) {
      bytes += 3;
      count -= 3;
    }
    return DecodeUTF8(bytes, count, units);
  }
  if (IsUTF16(encoding)) {
    return DecodeUTF16(bytes, count, encoding, isExternalRepresentation, units);
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (encoding == kCFStringEncodingASCII && bytes[i] >= 0x80) {
      return false;
    }
    units.push_back(DecodeSingleByte(bytes[i], encoding));
  }
  return true;
}

bool EncodeCharacter(const std::u16string& units, std::size_t index, CFStringEncoding encoding,
                     std::string& bytes, std::size_t& consumed) {
  bytes.clear();
  consumed = 1;
  const char16_t unit = units[index];
  if (encoding == kCFStringEncodingUTF8) {
    if (IsHighSurrogate(unit) && index + 1 < units.size() && IsLowSurrogate(units[index + 1])) {
      consumed = 2;
      const std::uint32_t code = 0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) +
                                 (units[index + 1] - 0xDC00);
      AppendUTF8(code, bytes);
      return true;
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      return false;  // a lone surrogate has no UTF-8 form
    }
    AppendUTF8(unit, bytes);
    return true;
  }
  if (IsUTF16(encoding)) {
    const bool little = encoding == kCFStringEncodingUTF16LE ||
                        (encoding == kCFStringEncodingUTF16 && HostIsLittleEndian());
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes.push_back(little ? low : high);
    bytes.push_back(little ? high : low);
    return true;
  }
  UInt8 byte = 0;
  if (!EncodeSingleByte(unit, encoding, byte)) {
    return false;
  }
  bytes.push_back(static_cast<char>(byte));
  return true;
}

std::size_t MaximumBytesPerUnit(CFStringEncoding encoding) {
  if (encoding == kCFStringEncodingUTF8) {
    return 3;
  }
  return IsUTF16(encoding) ? 2 : 1;
}

}  // namespace standin

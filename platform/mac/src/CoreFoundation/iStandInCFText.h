// The stand-in's one conversion between CFStrings and UTF-8 (surrogate pairs kept as pairs; an
// unpaired surrogate or a malformed byte becomes U+FFFD), for every manager that needs a CFString
// as bytes or bytes as a CFString.
#pragma once
#include <CoreFoundation/CFString.h>

#include <string>

namespace standin_cf {

// "" for null.
std::string Utf8Of(CFStringRef text);
// A new string; null when the creation fails.
CFStringRef NewStringFromUtf8(const std::string& utf8);

}  // namespace standin_cf

#include "UCTL/UCTL_KeyFilter.h"

#include <algorithm>

namespace {

bool AllPass(unsigned short const* text, unsigned long count, bool (*keyTest)(unsigned short)) {
  return count == 0 || std::all_of(text, text + count, keyTest);
}

bool IsSign(unsigned short ch) {
  return ch == '+' || ch == '-';
}

// Drops a leading sign from the text.
void SkipSign(unsigned short const*& text, unsigned long& count) {
  if (count > 0 && IsSign(text[0])) {
    ++text;
    --count;
  }
}

}  // namespace

bool UCTL_KeyFilter::IsKeyAllowed(unsigned short) const {
  return true;
}

bool UCTL_KeyFilter::IsTextAllowed(unsigned short const*, unsigned long) const {
  return true;
}

bool UCTL_KeyFilter::FilterKeys(unsigned short* text, unsigned long& count) {
  if (text == nullptr || count == 0) {
    return false;
  }
  unsigned long kept = 0;
  for (unsigned long i = 0; i < count; ++i) {
    if (IsKeyAllowed(text[i])) {
      text[kept++] = text[i];
    }
  }
  bool const removed = kept != count;
  count = kept;
  return removed;
}

bool UCTL_IsPrintableKey(unsigned short ch) {
  return ch >= 32;
}

bool UCTL_IsPrintableText(unsigned short const* text, unsigned long count) {
  return AllPass(text, count, UCTL_IsPrintableKey);
}

bool UCTL_IsDigitKey(unsigned short ch) {
  return ch >= '0' && ch <= '9';
}

bool UCTL_IsDigitText(unsigned short const* text, unsigned long count) {
  return AllPass(text, count, UCTL_IsDigitKey);
}

bool UCTL_IsSignedIntegerKey(unsigned short ch) {
  return IsSign(ch) || UCTL_IsDigitKey(ch);
}

bool UCTL_IsSignedIntegerText(unsigned short const* text, unsigned long count) {
  SkipSign(text, count);
  return UCTL_IsDigitText(text, count);
}

bool UCTL_IsRealKey(unsigned short ch) {
  return UCTL_IsDigitKey(ch) || ch == '.' || ch == ',';
}

bool UCTL_IsRealText(unsigned short const* text, unsigned long count) {
  if (!AllPass(text, count, UCTL_IsRealKey)) {
    return false;
  }
  auto const dots = count == 0 ? 0 : std::count(text, text + count, '.');
  auto const commas = count == 0 ? 0 : std::count(text, text + count, ',');
  return dots + commas <= 1;
}

bool UCTL_IsSignedRealKey(unsigned short ch) {
  return IsSign(ch) || UCTL_IsRealKey(ch);
}

bool UCTL_IsSignedRealText(unsigned short const* text, unsigned long count) {
  SkipSign(text, count);
  return UCTL_IsRealText(text, count);
}

bool UCTL_IsFileNameKey(unsigned short ch) {
  static char const kReserved[] = "\"*/:<>?\\|";
  return ch >= 32 && std::find(kReserved, kReserved + 9, ch) == kReserved + 9;
}

bool UCTL_IsFileNameText(unsigned short const* text, unsigned long count) {
  return AllPass(text, count, UCTL_IsFileNameKey);
}

// Unicode collation and classic text utilities of the Mac stand-in (see
// CoreServices/UnicodeUtilities.h and CoreServices/TextUtils.h).
#include <CoreServices/TextUtils.h>
#include <CoreServices/UnicodeUtilities.h>

#include "../Files/iStandInFiles.h"

#include <atomic>
#include <cstring>

struct OpaqueCollatorRef {
  UCCollateOptions options;
};

namespace {

std::atomic<long> g_liveCollators{0};

UniChar Folded(UniChar c) {
  bool const upperLatin = (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
  return upperLatin ? static_cast<UniChar>(c + 0x20) : c;
}

bool IsDigit(UniChar c) {
  return c >= u'0' && c <= u'9';
}

int Sign(long value) {
  return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// Compares the digit runs starting at a[i] and b[j] by value; advances past them.
int CompareNumbers(const UniChar* a, UniCharCount na, UniCharCount& i, const UniChar* b,
                   UniCharCount nb, UniCharCount& j) {
  while (i < na && a[i] == u'0' && i + 1 < na && IsDigit(a[i + 1]))
    ++i;
  while (j < nb && b[j] == u'0' && j + 1 < nb && IsDigit(b[j + 1]))
    ++j;
  UniCharCount endA = i, endB = j;
  while (endA < na && IsDigit(a[endA]))
    ++endA;
  while (endB < nb && IsDigit(b[endB]))
    ++endB;
  int result = Sign(static_cast<long>(endA - i) - static_cast<long>(endB - j));
  for (; result == 0 && i < endA; ++i, ++j)
    result = Sign(static_cast<long>(a[i]) - static_cast<long>(b[j]));
  i = endA;
  j = endB;
  return result;
}

}  // namespace

OSStatus UCCreateCollator(LocaleRef, LocaleOperationVariant, UCCollateOptions options,
                          CollatorRef* collatorRef) {
  if (OSErr err = standin_files::EnterCall("UCCreateCollator"))
    return err;
  if (collatorRef == nullptr)
    return paramErr;
  *collatorRef = new OpaqueCollatorRef{options};
  ++g_liveCollators;
  return noErr;
}

OSStatus UCCompareText(CollatorRef collatorRef, const UniChar* a, UniCharCount na, const UniChar* b,
                       UniCharCount nb, Boolean* equivalent, SInt32* order) {
  if (OSErr err = standin_files::EnterCall("UCCompareText"))
    return err;
  if (collatorRef == nullptr || (na > 0 && a == nullptr) || (nb > 0 && b == nullptr))
    return paramErr;
  bool const fold = collatorRef->options & kUCCollateCaseInsensitiveMask;
  bool const numbers = collatorRef->options & kUCCollateDigitsAsNumberMask;
  int result = 0;
  UniCharCount i = 0, j = 0;
  while (result == 0 && i < na && j < nb) {
    if (numbers && IsDigit(a[i]) && IsDigit(b[j])) {
      result = CompareNumbers(a, na, i, b, nb, j);
      continue;
    }
    UniChar const x = fold ? Folded(a[i]) : a[i];
    UniChar const y = fold ? Folded(b[j]) : b[j];
    result = Sign(static_cast<long>(x) - static_cast<long>(y));
    ++i;
    ++j;
  }
  if (result == 0)
    result = Sign(static_cast<long>(na - i) - static_cast<long>(nb - j));
  if (equivalent)
    *equivalent = result == 0;
  if (order)
    *order = result;
  return noErr;
}

OSStatus UCDisposeCollator(CollatorRef* collatorRef) {
  if (collatorRef == nullptr)
    return paramErr;
  if (*collatorRef) {
    delete *collatorRef;
    *collatorRef = nullptr;
    --g_liveCollators;
  }
  return noErr;
}

long StandIn_CollatorLiveCount() {
  return g_liveCollators.load();
}

namespace {
unsigned char UpperByte(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c;
}
}  // namespace

void UpperString(StringPtr theString, Boolean) {
  if (theString == nullptr)
    return;
  for (int k = 1; k <= theString[0]; ++k)
    theString[k] = UpperByte(theString[k]);
}

Boolean EqualString(ConstStr255Param str1, ConstStr255Param str2, Boolean caseSensitive, Boolean) {
  if (str1 == nullptr || str2 == nullptr)
    return str1 == str2;
  if (str1[0] != str2[0])
    return false;
  for (int k = 1; k <= str1[0]; ++k) {
    unsigned char const x = caseSensitive ? str1[k] : UpperByte(str1[k]);
    unsigned char const y = caseSensitive ? str2[k] : UpperByte(str2[k]);
    if (x != y)
      return false;
  }
  return true;
}

// Unicode collation of the Mac stand-in: one collator kind over UTF-16 units. Case-insensitive
// folds Basic Latin and Latin-1 letters; digits-as-number compares runs of ASCII digits by their
// value; the other options are accepted and change nothing.
#pragma once
#include <CoreServices/Files.h>
#include <MacTypes.h>

typedef struct OpaqueCollatorRef* CollatorRef;
typedef struct OpaqueLocaleRef* LocaleRef;
typedef UInt32 LocaleOperationVariant;
typedef UInt32 UCCollateOptions;
enum : UCCollateOptions {
  kUCCollateComposeInsensitiveMask = 1u << 1,
  kUCCollateWidthInsensitiveMask = 1u << 2,
  kUCCollateCaseInsensitiveMask = 1u << 3,
  kUCCollateDiacritInsensitiveMask = 1u << 4,
  kUCCollatePunctuationSignificantMask = 1u << 15,
  kUCCollateDigitsOverrideMask = 1u << 16,
  kUCCollateDigitsAsNumberMask = 1u << 17
};

// locale null: the default locale.
OSStatus UCCreateCollator(LocaleRef locale, LocaleOperationVariant opVariant,
                          UCCollateOptions options, CollatorRef* collatorRef);
// order: -1, 0 or 1; equivalent when 0.
OSStatus UCCompareText(CollatorRef collatorRef, const UniChar* text1Ptr, UniCharCount text1Length,
                       const UniChar* text2Ptr, UniCharCount text2Length, Boolean* equivalent,
                       SInt32* order);
OSStatus UCDisposeCollator(CollatorRef* collatorRef);

// Failure injection by "UCCreateCollator" and "UCCompareText" (see StandIn_FilesFailNext).
// Test hook: collators alive.
long StandIn_CollatorLiveCount();

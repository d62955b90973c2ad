// ATS and Font Manager of the Mac stand-in over its font family table (see
// CoreGraphics/StandInFonts.h): each family has one font, one instance (plain, size 0). Family
// and font references are the family's place in the table plus one.
//
// ATSFontFamilyIteratorNext, ATSFontGetHorizontalMetrics and the Font Manager calls join the
// per-call failure injection by name (see StandIn_FilesFailNext in CoreServices/Files.h); an
// injected kATSIterationScopeModified (-983) makes one step report that the table changed.
#pragma once
#include <CoreFoundation/CFString.h>

typedef UInt32 ATSFontRef;
typedef UInt32 ATSFontFamilyRef;
typedef UInt32 ATSOptionFlags;
typedef UInt32 ATSFontContext;
typedef SInt16 FMFontFamily;
typedef UInt32 FMFont;
typedef SInt16 FMFontStyle;
typedef SInt16 FMFontSize;

struct OpaqueATSFontFamilyIterator;
typedef OpaqueATSFontFamilyIterator* ATSFontFamilyIterator;
struct ATSFontFilter;

struct FMFontFamilyInstanceIterator {
  UInt32 reserved[16];
};

struct ATSFontMetrics {
  UInt32 version;
  Float32 ascent;   // a fraction of the size, above the baseline
  Float32 descent;  // a fraction of the size, negative: below the baseline
  Float32 leading;
  Float32 avgAdvanceWidth;
  Float32 maxAdvanceWidth;
  Float32 minLeftSideBearing;
  Float32 minRightSideBearing;
  Float32 stemWidth;
  Float32 stemHeight;
  Float32 capHeight;
  Float32 xHeight;
  Float32 italicAngle;
  Float32 underlinePosition;
  Float32 underlineThickness;
};

enum : ATSFontContext {
  kATSFontContextUnspecified = 0,
  kATSFontContextGlobal = 1,
  kATSFontContextLocal = 2
};
enum : ATSOptionFlags {
  kATSOptionFlagsDefault = 0,
  kATSOptionFlagsUnRestrictedScope = 1u << 13
};

constexpr OSStatus kATSIterationCompleted = -980;
constexpr OSStatus kATSInvalidFontFamilyAccess = -981;
constexpr OSStatus kATSInvalidFontAccess = -987;
constexpr OSStatus kATSIterationScopeModified = -983;
constexpr OSStatus kFMInvalidFontFamilyErr = -985;
constexpr OSStatus kFMIterationCompleted = -980;

OSStatus ATSFontFamilyIteratorCreate(ATSFontContext iContext, const ATSFontFilter* iFilter,
                                     void* iRefCon, ATSOptionFlags iOptions,
                                     ATSFontFamilyIterator* ioIterator);
OSStatus ATSFontFamilyIteratorReset(ATSFontContext iContext, const ATSFontFilter* iFilter,
                                    void* iRefCon, ATSOptionFlags iOptions,
                                    ATSFontFamilyIterator* ioIterator);
// kATSIterationCompleted after the last family.
OSStatus ATSFontFamilyIteratorNext(ATSFontFamilyIterator iIterator, ATSFontFamilyRef* oFamily);
OSStatus ATSFontFamilyIteratorRelease(ATSFontFamilyIterator* ioIterator);
// The caller releases the name.
OSStatus ATSFontFamilyGetName(ATSFontFamilyRef iFamily, ATSOptionFlags iOptions,
                              CFStringRef* oName);
// 0 when no family has the name (compared exactly).
// By family name or PostScript name.
ATSFontRef ATSFontFindFromName(CFStringRef iName, ATSOptionFlags iOptions);
// The font's PostScript name (its family name without spaces), a new string;
// kATSInvalidFontAccess for an unknown font.
OSStatus ATSFontGetPostScriptName(ATSFontRef iFont, ATSOptionFlags iOptions, CFStringRef* oName);
OSStatus ATSFontGetHorizontalMetrics(ATSFontRef iFont, ATSOptionFlags iOptions,
                                     ATSFontMetrics* oMetrics);

FMFontFamily FMGetFontFamilyFromATSFontFamilyRef(ATSFontFamilyRef iFamily);
OSStatus FMCreateFontFamilyInstanceIterator(FMFontFamily iFontFamily,
                                            FMFontFamilyInstanceIterator* ioIterator);
// kFMIterationCompleted after the family's one instance.
OSStatus FMGetNextFontFamilyInstance(FMFontFamilyInstanceIterator* ioIterator, FMFont* oFont,
                                     FMFontStyle* oStyle, FMFontSize* oSize);
OSStatus FMDisposeFontFamilyInstanceIterator(FMFontFamilyInstanceIterator* ioIterator);
ATSFontRef FMGetATSFontRefFromFont(FMFont iFont);

// Test hook: family iterators alive (a leak check).
long StandIn_ATSLiveIteratorCount();

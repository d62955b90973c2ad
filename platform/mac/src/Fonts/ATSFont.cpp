// ATS and Font Manager of the Mac stand-in (see ATS/ATSFont.h).
#include <ATS/ATSFont.h>

#include "../CoreFoundation/iStandInCFText.h"
#include "../Files/iStandInFiles.h"
#include "iStandInFonts.h"

#include <CoreServices/MacMemory.h>

#include <cairo.h>

#include <cstring>

struct OpaqueATSFontFamilyIterator {
  std::size_t next = 0;
};

namespace {

long g_LiveIterators = 0;

using standin_files::EnterCall;

// The family's name, or null for a reference outside the table.
const std::string* NameOf(ATSFontFamilyRef family) {
  static std::vector<std::string> names;
  names = standin_fonts::FamilyNames();
  return family >= 1 && family <= names.size() ? &names[family - 1] : nullptr;
}

struct InstanceIterator {
  UInt32 family;
  UInt32 done;
};
static_assert(sizeof(InstanceIterator) <= sizeof(FMFontFamilyInstanceIterator),
              "the instance iterator fits the caller's record");

}  // namespace

OSStatus ATSFontFamilyIteratorCreate(ATSFontContext, const ATSFontFilter*, void*, ATSOptionFlags,
                                     ATSFontFamilyIterator* ioIterator) {
  if (OSStatus err = EnterCall("ATSFontFamilyIteratorCreate"))
    return err;
  if (ioIterator == nullptr)
    return paramErr;
  *ioIterator = new OpaqueATSFontFamilyIterator;
  ++g_LiveIterators;
  return noErr;
}

OSStatus ATSFontFamilyIteratorReset(ATSFontContext, const ATSFontFilter*, void*, ATSOptionFlags,
                                    ATSFontFamilyIterator* ioIterator) {
  if (OSStatus err = EnterCall("ATSFontFamilyIteratorReset"))
    return err;
  if (ioIterator == nullptr || *ioIterator == nullptr)
    return paramErr;
  (*ioIterator)->next = 0;
  return noErr;
}

OSStatus ATSFontFamilyIteratorNext(ATSFontFamilyIterator iIterator, ATSFontFamilyRef* oFamily) {
  if (OSStatus err = EnterCall("ATSFontFamilyIteratorNext"))
    return err;
  if (iIterator == nullptr || oFamily == nullptr)
    return paramErr;
  if (iIterator->next >= standin_fonts::FamilyNames().size())
    return kATSIterationCompleted;
  *oFamily = static_cast<ATSFontFamilyRef>(++iIterator->next);
  return noErr;
}

OSStatus ATSFontFamilyIteratorRelease(ATSFontFamilyIterator* ioIterator) {
  if (ioIterator == nullptr || *ioIterator == nullptr)
    return paramErr;
  delete *ioIterator;
  *ioIterator = nullptr;
  --g_LiveIterators;
  return noErr;
}

OSStatus ATSFontFamilyGetName(ATSFontFamilyRef iFamily, ATSOptionFlags, CFStringRef* oName) {
  if (OSStatus err = EnterCall("ATSFontFamilyGetName"))
    return err;
  const std::string* name = NameOf(iFamily);
  if (name == nullptr || oName == nullptr)
    return kATSInvalidFontFamilyAccess;
  *oName = CFStringCreateWithCString(nullptr, name->c_str(), kCFStringEncodingUTF8);
  return *oName ? OSStatus(noErr) : OSStatus(memFullErr);
}

namespace {

// A family's PostScript name: its name without spaces ("Lucida Grande" gives "LucidaGrande").
std::string PostScriptNameOf(const std::string& name) {
  std::string postScript;
  for (char c : name) {
    if (c != ' ')
      postScript += c;
  }
  return postScript;
}

}  // namespace

OSStatus ATSFontGetPostScriptName(ATSFontRef iFont, ATSOptionFlags, CFStringRef* oName) {
  if (OSStatus err = EnterCall("ATSFontGetPostScriptName"))
    return err;
  const std::string* name = NameOf(iFont);
  if (name == nullptr || oName == nullptr)
    return kATSInvalidFontAccess;
  *oName =
      CFStringCreateWithCString(nullptr, PostScriptNameOf(*name).c_str(), kCFStringEncodingUTF8);
  return *oName ? OSStatus(noErr) : OSStatus(memFullErr);
}

ATSFontRef ATSFontFindFromName(CFStringRef iName, ATSOptionFlags) {
  if (iName == nullptr)
    return 0;
  const std::string buffer = standin_cf::Utf8Of(iName);
  const std::vector<std::string> names = standin_fonts::FamilyNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == buffer || PostScriptNameOf(names[i]) == buffer)
      return static_cast<ATSFontRef>(i + 1);
  return 0;
}

OSStatus ATSFontGetHorizontalMetrics(ATSFontRef iFont, ATSOptionFlags, ATSFontMetrics* oMetrics) {
  if (OSStatus err = EnterCall("ATSFontGetHorizontalMetrics"))
    return err;
  const std::string* name = NameOf(iFont);
  if (name == nullptr || oMetrics == nullptr)
    return kATSInvalidFontFamilyAccess;
  cairo_matrix_t size, identity;
  cairo_matrix_init_scale(&size, 1000, 1000);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_scaled_font_t* scaled =
      cairo_scaled_font_create(standin_fonts::FaceOf(*name), &size, &identity, options);
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(scaled, &extents);
  cairo_scaled_font_destroy(scaled);
  cairo_font_options_destroy(options);
  std::memset(oMetrics, 0, sizeof *oMetrics);
  oMetrics->ascent = static_cast<Float32>(extents.ascent / 1000);
  oMetrics->descent = static_cast<Float32>(-extents.descent / 1000);
  oMetrics->leading =
      static_cast<Float32>((extents.height - extents.ascent - extents.descent) / 1000);
  oMetrics->maxAdvanceWidth = static_cast<Float32>(extents.max_x_advance / 1000);
  return noErr;
}

FMFontFamily FMGetFontFamilyFromATSFontFamilyRef(ATSFontFamilyRef iFamily) {
  return NameOf(iFamily) ? static_cast<FMFontFamily>(iFamily) : FMFontFamily(-1);
}

OSStatus FMCreateFontFamilyInstanceIterator(FMFontFamily iFontFamily,
                                            FMFontFamilyInstanceIterator* ioIterator) {
  if (OSStatus err = EnterCall("FMCreateFontFamilyInstanceIterator"))
    return err;
  if (ioIterator == nullptr || iFontFamily < 1 || NameOf(UInt32(iFontFamily)) == nullptr)
    return kFMInvalidFontFamilyErr;
  InstanceIterator state{UInt32(iFontFamily), 0};
  std::memcpy(ioIterator, &state, sizeof state);
  return noErr;
}

OSStatus FMGetNextFontFamilyInstance(FMFontFamilyInstanceIterator* ioIterator, FMFont* oFont,
                                     FMFontStyle* oStyle, FMFontSize* oSize) {
  if (OSStatus err = EnterCall("FMGetNextFontFamilyInstance"))
    return err;
  if (ioIterator == nullptr)
    return paramErr;
  InstanceIterator state;
  std::memcpy(&state, ioIterator, sizeof state);
  if (state.done)
    return kFMIterationCompleted;
  state.done = 1;
  std::memcpy(ioIterator, &state, sizeof state);
  if (oFont)
    *oFont = state.family;
  if (oStyle)
    *oStyle = 0;
  if (oSize)
    *oSize = 0;
  return noErr;
}

OSStatus FMDisposeFontFamilyInstanceIterator(FMFontFamilyInstanceIterator* ioIterator) {
  if (OSStatus err = EnterCall("FMDisposeFontFamilyInstanceIterator"))
    return err;
  return ioIterator ? OSStatus(noErr) : OSStatus(paramErr);
}

ATSFontRef FMGetATSFontRefFromFont(FMFont iFont) {
  return NameOf(iFont) ? iFont : 0;
}

long StandIn_ATSLiveIteratorCount() {
  return g_LiveIterators;
}

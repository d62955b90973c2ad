// This program lies in an application bundle that the build assembled; it looks at the bundle as
// the Mac program does: through its main bundle.
#include "IMPN/IMPN_ColorDBFile.h"
#include "MKRX/MKRX_CursorManager.h"
#include "MKRX/MKRX_Preferences.h"
#include "PPXA/PPXA_NibChecker.h"
#include "USTR/USTR_LocalizedString.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/IBCarbonRuntime.h>
#include <Help/AppleHelp.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Utf8(CFStringRef text) {
  char buffer[4096] = {};
  return text && CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer
                                                                                        : "";
}

CFStringRef String(std::string const& text) {
  return CFSTR(text.c_str());
}

fs::path BundlePath() {
  CFURLRef url = CFBundleCopyBundleURL(CFBundleGetMainBundle());
  if (url == nullptr)
    return fs::path();
  UInt8 path[4096] = {};
  const bool made = CFURLGetFileSystemRepresentation(url, true, path, sizeof path);
  CFRelease(url);
  return made ? fs::path(reinterpret_cast<const char*>(path)) : fs::path();
}

// The resource's path in the main bundle; empty when it has none.
std::string ResourcePath(std::string const& name, const char* type) {
  CFURLRef url = CFBundleCopyResourceURL(CFBundleGetMainBundle(), String(name),
                                         type ? CFSTR(type) : nullptr, nullptr);
  if (url == nullptr)
    return "";
  CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  CFRelease(url);
  const std::string result = Utf8(path);
  if (path)
    CFRelease(path);
  return result;
}

std::string Contents(fs::path const& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string InfoString(const char* key) {
  CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(CFBundleGetMainBundle(), CFSTR(key));
  return value && CFGetTypeID(value) == CFStringGetTypeID() ? Utf8(static_cast<CFStringRef>(value))
                                                            : "<none>";
}

TEST(MKRX_BundleTest, TheProgramLiesInItsBundleBesideItsInformation) {
  const fs::path bundle = BundlePath();
  ASSERT_EQ("BundleProbe.app", bundle.filename());
  EXPECT_TRUE(fs::is_regular_file(bundle / "Contents" / "MacOS" / "MKRX_bundle_tests"));
  EXPECT_TRUE(fs::is_regular_file(bundle / "Contents" / "Info.plist"));
  EXPECT_EQ("APPLNlt2", Contents(bundle / "Contents" / "PkgInfo"));

  EXPECT_EQ("MKRX_bundle_tests", InfoString("CFBundleExecutable"));
  EXPECT_EQ("com.nolt.krx.bundleprobe", Utf8(CFBundleGetIdentifier(CFBundleGetMainBundle())));
  EXPECT_EQ("1.2.3", InfoString("CFBundleVersion"));
  EXPECT_EQ("HalvorenKRX.icns", InfoString("CFBundleIconFile"));
  EXPECT_EQ("HalvorenKRXHelp", InfoString("CFBundleHelpBookFolder"));
  EXPECT_EQ("Halvoren KRX Help", InfoString("CFBundleHelpBookName"));
  UInt32 type = 0;
  UInt32 creator = 0;
  CFBundleGetPackageInfo(CFBundleGetMainBundle(), &type, &creator);
  EXPECT_EQ(0x4150504Cu, type);     // 'APPL'
  EXPECT_EQ(0x4e6c7432u, creator);  // 'Nlt2'
}

TEST(MKRX_BundleTest, TheHelpBookRegisters) {
  EXPECT_TRUE(fs::is_regular_file(BundlePath() / "Contents" / "Resources" / "en.lproj" /
                                  "HalvorenKRXHelp" / "index.html"));
  FSRef bundle;
  ASSERT_EQ(noErr,
            FSPathMakeRef(reinterpret_cast<const UInt8*>(BundlePath().c_str()), &bundle, nullptr));
  EXPECT_EQ(noErr, AHRegisterHelpBook(&bundle));
}

TEST(MKRX_BundleTest, ThePantoneDatabaseIsEmptyAndLoads) {
  const std::string path = ResourcePath("PantoneLE.colordb", nullptr);
  ASSERT_FALSE(path.empty());
  IMPN_ColorMap colors;
  EXPECT_TRUE(IMPN_ColorDBFile(path).LoadColors(colors));
  EXPECT_TRUE(colors.empty());
  EXPECT_EQ(12u, fs::file_size(path));  // the header alone
}

TEST(MKRX_BundleTest, EveryPictureIconFamilyAndCursorIsAResource) {
  // Everything the art tool drew.
  std::stringstream names(MKRX_BUNDLE_ART);
  std::string name;
  int count = 0;
  while (std::getline(names, name, ',')) {
    EXPECT_FALSE(ResourcePath(name, nullptr).empty()) << name;
    ++count;
  }
  EXPECT_GT(count, 40);

  // What the program asks for by name: the icon families it registers (the first eight only
  // before 10.4), the menu's tool images and the cursors.
  const char* const families[] = {"ShowHideRulers",
                                  "ShowHideGuides",
                                  "ShowHideEdgeInformation",
                                  "PressSheetEdge",
                                  "BleedEdges",
                                  "PageEdges",
                                  "PageNumbers",
                                  "TypeSafetyEdges",
                                  "Job",
                                  "Signature",
                                  "Surface",
                                  "SourceFile",
                                  "Separation",
                                  "WSSingleSided",
                                  "WSSheetWise",
                                  "WSPerfector",
                                  "WSWorkNTurn",
                                  "WSWorkNTumble",
                                  "PageOrientationUp",
                                  "PageOrientationDown",
                                  "PageOrientationLeft",
                                  "PageOrientationRight",
                                  "InkOpaque",
                                  "InkOpaquePressed",
                                  "InkTransparent",
                                  "InkTransparentPressed",
                                  "UnknownInk",
                                  "Info",
                                  "Swap"};
  EXPECT_EQ(29u, std::size(families));
  for (const char* family : families)
    EXPECT_FALSE(ResourcePath(family, "icns").empty()) << family;
  for (const char* image : {"PanTool", "MeasureTool", "ZoomTool", "EyedropperTool"})
    EXPECT_FALSE(ResourcePath(image, "png").empty()) << image;
  // The cursor manager keeps what it loads (black-and-white cursors are never freed).
  struct Cursor {
    void (*set)();
    SInt16 id;
  };
  const Cursor cursors[] = {{MKRX_CursorManager::SetZoomInCursor, 2001},
                            {MKRX_CursorManager::SetZoomOutCursor, 2002},
                            {MKRX_CursorManager::SetZoomLimitCursor, 2003},
                            {MKRX_CursorManager::SetEyedropperCursor, 2004},
                            {MKRX_CursorManager::SetPlaceGuideVertCursor, 2011},
                            {MKRX_CursorManager::SetPlaceGuideHorzCursor, 2012},
                            {MKRX_CursorManager::SetSetOriginCursor, 2013},
                            {MKRX_CursorManager::SetMoveCursor, 2014},
                            {MKRX_CursorManager::SetResizeLeftRightCursor, 2021},
                            {MKRX_CursorManager::SetResizeUpDownCursor, 2022}};
  for (Cursor const& cursor : cursors) {
    MKRX_CursorManager::SetArrowCursor();
    cursor.set();
    EXPECT_EQ(cursor.id, StandIn_CurrentCursor().resourceID);
    EXPECT_GT(StandIn_CurrentCursor().width, 0u) << cursor.id;
  }
}

TEST(MKRX_BundleTest, LocalisedTextsComeFromTheBundle) {
  CFStringRef text = iUSTR_GetLocalizedCFString(CFSTR("MKRX_OSTooOldMsg"));
  EXPECT_EQ("This system is too old.", Utf8(text));
  CFRelease(text);
}

TEST(MKRX_BundleTest, EveryNibLoadsAndHoldsWhatTheProgramLooksFor) {
  const fs::path resources = BundlePath() / "Contents" / "Resources";
  int nibs = 0;
  for (fs::directory_entry const& entry : fs::recursive_directory_iterator(resources)) {
    if (entry.path().extension() != ".nib")
      continue;
    ++nibs;
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    IBNibRef nib = nullptr;
    ASSERT_EQ(noErr, CreateNibReference(String(name), &nib));
    CFArrayRef windows = StandIn_CopyNibWindowNames(nib);
    for (CFIndex i = 0; windows && i < CFArrayGetCount(windows); ++i) {
      auto window = static_cast<CFStringRef>(CFArrayGetValueAtIndex(windows, i));
      WindowRef made = nullptr;
      EXPECT_EQ(noErr, CreateWindowFromNib(nib, window, &made)) << Utf8(window);
      if (made)
        DisposeWindow(made);
    }
    if (windows)
      CFRelease(windows);
    DisposeNibReference(nib);
  }
  EXPECT_EQ(2, nibs);
  // The probe's nibs hold the palettes only; the program's own bundle is checked against the
  // program's table by the program's bundle tests.
  EXPECT_EQ(std::vector<std::string>(),
            PPXA::CheckNibViews({{"MKRX_Resources", "Navigation Palette", {0x6E617669, 1}}}));
  // The palettes' default places come from these nibs.
  MKRX_Preferences::SetToDefaultValues();
  EXPECT_EQ(200, MKRX_Preferences::sm_NavigationWindowBounds.width);
  EXPECT_EQ(300, MKRX_Preferences::sm_SeparationWindowBounds.height);
  EXPECT_EQ(240, MKRX_Preferences::sm_MeasurementWindowBounds.width);
}

}  // namespace

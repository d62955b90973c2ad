// Appearance Manager of the Mac stand-in: theme fonts, theme text (truncation, dimensions,
// drawing in a box), fixed theme colours, and the current theme as a collection.
//
// Theme fonts 0 (system, 13 pt), 1 (small system, 11 pt) and 3 (views, 12 pt) are all the
// "Lucida Grande" family of the font table, plain; other ids are paramErr. Text is measured and
// drawn with that font at that size: the width is the text's advance, the height the font's
// ascent plus descent (each rounded up), the baseline minus the descent. Truncation cuts the text
// at the end or in the middle and puts in an ellipsis (U+2026) until it fits.
//
// DrawThemeTextBox draws into the given context, or with a null context into the current port in
// its fore colour (see QD/QuickDraw.h), the text's top at the box's top, aligned by justification
// (0 left, 1 centre, -1 right), in the context's fill colour or the port's fore colour;
// StandIn_LastThemeText reports what it drew last (the colour: the port's, black for a context).
//
// Fixed colours: brush -3 (primary highlight) 0xB5D5FF, -4 (secondary highlight) 0xD4D4D4,
// -5 (focus highlight) 0x7DA7D9; text colour 1 (dialog active) and -1 black, 2 (dialog inactive)
// 0x7F7F7F, 22 (bevel button inactive) 0x7F7F7F, -2 white. Every call that answers a status joins
// the per-call failure injection by name.
#pragma once
#include <CoreServices/Collections.h>
#include <QD/QuickDraw.h>

#include <string>

typedef UInt16 ThemeFontID;
typedef UInt32 ThemeDrawState;
typedef SInt16 ThemeBrush;
typedef SInt16 ThemeTextColor;
typedef SInt16 TruncCode;
typedef SInt16 ScriptCode;
typedef UInt8 Style;

enum : ThemeFontID {
  kThemeSystemFont = 0,
  kThemeSmallSystemFont = 1,
  kThemeViewsFont = 3
};
enum : ThemeDrawState {
  kThemeStateInactive = 0,
  kThemeStateActive = 1,
  kThemeStatePressed = 2
};
enum : ThemeBrush {
  kThemeBrushPrimaryHighlightColor = -3,
  kThemeBrushSecondaryHighlightColor = -4,
  kThemeBrushFocusHighlight = -5
};
enum : ThemeTextColor {
  kThemeTextColorWhite = -2,
  kThemeTextColorBlack = -1,
  kThemeTextColorDialogActive = 1,
  kThemeTextColorDialogInactive = 2,
  kThemeTextColorBevelButtonInactive = 22
};
enum : TruncCode {
  truncEnd = 0,
  truncMiddle = 0x4000
};
constexpr ScriptCode smSystemScript = -1;
constexpr OSStatus themeBadTextColorErr = -30565;
constexpr OSStatus appearanceBadBrushIndexErr = -30566;
constexpr CollectionTag kThemeHighlightColorTag = 0x68636f6c;  // 'hcol'

// Buttons and focus rings, drawn into the current port: a small bevel button (kind 8) fills its
// bounds light grey (0xE0E0E0; pressed 0xA0A0A0, inactive 0xF0F0F0) in a 1-pixel frame of
// 0x808080, with a focus ring when adorned with focus (4); a focus ring is a 2-pixel frame of the
// focus colour (brush -5) just outside the rectangle, drawn only with focus.
typedef UInt16 ThemeButtonKind;
typedef UInt16 ThemeButtonValue;
typedef UInt16 ThemeButtonAdornment;
enum : ThemeButtonKind {
  kThemeSmallBevelButton = 8
};
enum : ThemeButtonAdornment {
  kThemeAdornmentNone = 0,
  kThemeAdornmentFocus = 4
};
struct ThemeButtonDrawInfo {
  ThemeDrawState state;
  ThemeButtonValue value;
  ThemeButtonAdornment adornment;
};
typedef void* ThemeEraseUPP;
typedef void* ThemeButtonDrawUPP;
OSStatus DrawThemeButton(const Rect* inBounds, ThemeButtonKind inKind,
                         const ThemeButtonDrawInfo* inNewInfo,
                         const ThemeButtonDrawInfo* inPrevInfo, ThemeEraseUPP inEraseProc,
                         ThemeButtonDrawUPP inLabelProc, URefCon inUserData);
OSStatus DrawThemeFocusRect(const Rect* inRect, Boolean inHasFocus);

// The font's name (length-prefixed), size and QuickDraw style.
OSStatus GetThemeFont(ThemeFontID inFontID, ScriptCode inScript, unsigned char* outFontName,
                      SInt16* outFontSize, Style* outStyle);
OSStatus TruncateThemeText(CFMutableStringRef inString, ThemeFontID inFontID,
                           ThemeDrawState inState, SInt16 inPixelWidthLimit, TruncCode inTruncWhere,
                           Boolean* outTruncated);
OSStatus GetThemeTextDimensions(CFStringRef inString, ThemeFontID inFontID, ThemeDrawState inState,
                                Boolean inWrapToWidth, Point* ioBounds, SInt16* outBaseline);
OSStatus DrawThemeTextBox(CFStringRef inString, ThemeFontID inFontID, ThemeDrawState inState,
                          Boolean inWrapToWidth, const Rect* inBoundingBox, SInt16 inJust,
                          CGContextRef inContext);
OSStatus GetThemeBrushAsColor(ThemeBrush inBrush, SInt16 inDepth, Boolean inColorDev,
                              RGBColor* outColor);
OSStatus GetThemeTextColor(ThemeTextColor inColor, SInt16 inDepth, Boolean inColorDev,
                           RGBColor* outColor);
// Adds the theme's items to the collection: 'hcol' 1, the highlight colour (6 bytes).
OSStatus GetTheme(Collection ioCollection);

// The main screen's menu bar (see CoreGraphics/CGDirectDisplay.h).
OSStatus GetThemeMenuBarHeight(SInt16* outHeight);
// A placard: a light panel with a darker edge (lighter when inactive) filling the rectangle of
// the current port.
OSStatus DrawThemePlacard(const Rect* inRect, ThemeDrawState inState);

// Cursors. Theme cursors are the system's; resource cursors come from the main bundle's
// resources, one PNG file for each, named by resource type and ID ("crsr_2001.png" for the colour
// cursor 2001, "CURS_2021.png" for the black-and-white cursor 2021). Getting one that the bundle
// lacks gives null. The cursor shown is kept for tests (StandIn_CurrentCursor).
typedef UInt32 ThemeCursor;
enum : ThemeCursor {
  kThemeArrowCursor = 0,
  kThemeCopyArrowCursor = 1,
  kThemeAliasArrowCursor = 2,
  kThemeContextualMenuArrowCursor = 3,
  kThemeIBeamCursor = 4,
  kThemeCrossCursor = 5,
  kThemePlusCursor = 6,
  kThemeWatchCursor = 7,
  kThemeClosedHandCursor = 8,
  kThemeOpenHandCursor = 9,
  kThemePointingHandCursor = 10
};
OSStatus SetThemeCursor(ThemeCursor inCursor);

struct StandIn_ResourceCursor;
struct CCrsr {
  StandIn_ResourceCursor* cursor;
};
typedef CCrsr* CCrsrPtr;
typedef CCrsrPtr* CCrsrHandle;
struct Cursor {
  StandIn_ResourceCursor* cursor;
};
typedef Cursor* CursPtr;
typedef CursPtr* CursHandle;
CCrsrHandle GetCCursor(SInt16 crsrID);
void SetCCursor(CCrsrHandle cCrsr);
void DisposeCCursor(CCrsrHandle cCrsr);
CursHandle GetCursor(SInt16 cursorID);
void SetCursor(const Cursor* crsr);

// Test hook: the cursor shown: a theme cursor, or a resource cursor (its type, 'crsr' or 'CURS',
// its ID and its image's size).
struct StandIn_CursorRecord {
  bool theme = true;
  ThemeCursor themeCursor = kThemeArrowCursor;
  OSType resourceType = 0;
  SInt16 resourceID = 0;
  std::size_t width = 0, height = 0;
};
StandIn_CursorRecord StandIn_CurrentCursor();
// Resource cursors alive (a leak check; a black-and-white one stays, as on the Mac).
long StandIn_ResourceCursorCount();

// Test hook: the last text DrawThemeTextBox drew (UTF-8), its box, and the colour it drew in.
struct StandIn_ThemeTextRecord {
  std::string text;
  Rect box;
  RGBColor color;
  long count;  // texts drawn since the process began
};
StandIn_ThemeTextRecord StandIn_LastThemeText();
// Test hook: the last button drawn and the last focus ring (count 0: none yet).
struct StandIn_ThemeButtonRecord {
  Rect bounds;
  ThemeButtonKind kind;
  ThemeButtonDrawInfo info;
  long count;
};
StandIn_ThemeButtonRecord StandIn_LastThemeButton();
struct StandIn_FocusRingRecord {
  Rect rect;
  bool hasFocus;
  long count;
};
StandIn_FocusRingRecord StandIn_LastFocusRing();
// Test hook: the last placard drawn (count 0: none yet).
struct StandIn_PlacardRecord {
  Rect rect;
  ThemeDrawState state;
  long count;
};
StandIn_PlacardRecord StandIn_LastThemePlacard();

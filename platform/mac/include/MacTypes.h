// Basic Mac types of the stand-in: fixed-width integers, Boolean, UniChar, result codes and
// Pascal strings, with the widths the Mac gives them.
#pragma once
#include <cstdint>

typedef std::uint8_t UInt8;
typedef std::int8_t SInt8;
typedef std::uint16_t UInt16;
typedef std::int16_t SInt16;
typedef std::uint32_t UInt32;
typedef std::int32_t SInt32;
typedef std::uint64_t UInt64;
typedef std::int64_t SInt64;
typedef float Float32;
typedef double Float64;

typedef unsigned char Boolean;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef UInt8 Byte;
typedef SInt8 SignedByte;
typedef char* Ptr;
typedef Ptr* Handle;
typedef long Size;

typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef UInt16 UniChar;
typedef UInt32 UTF32Char;
typedef UInt16 UTF16Char;
typedef UInt8 UTF8Char;
typedef unsigned long UniCharCount;

typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str31[32];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;
typedef const unsigned char* ConstStr63Param;
typedef const unsigned char* ConstStr31Param;

typedef unsigned long ItemCount;
typedef unsigned long ByteCount;
typedef UInt32 OptionBits;
typedef SInt32 Fixed;
// Reference constants are pointer-sized, so an object's address fits in one.
typedef std::intptr_t SRefCon;
typedef std::uintptr_t URefCon;

// QuickDraw's point and rectangle (16-bit, vertical first).
struct Point {
  short v;
  short h;
};
struct Rect {
  short top;
  short left;
  short bottom;
  short right;
};

enum {
  noErr = 0
};

// The user cancelled (a dialog, a drag): several managers answer it.
constexpr OSErr userCanceledErr = -128;

// Text encodings of the stand-in's Carbon layer and the application text encoding.
#pragma once
#include <MacTypes.h>

typedef UInt32 TextEncoding;
typedef UInt32 TextEncodingBase;

enum {
  kTextEncodingMacRoman = 0,
  kTextEncodingUnicodeDefault = 0x0100,
  kTextEncodingISOLatin1 = 0x0201,
  kTextEncodingWindowsLatin1 = 0x0500,
  kTextEncodingUS_ASCII = 0x0600
};

// The encoding of the application's narrow text: Mac Roman unless a test configures another.
TextEncoding GetApplicationTextEncoding();

// Test hook: sets the application text encoding and returns the previous one.
TextEncoding StandIn_SetApplicationTextEncoding(TextEncoding encoding);

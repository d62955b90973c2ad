// Classic text utilities of the Mac stand-in on length-prefixed strings: only ASCII letters have
// a case here; other bytes (and so diacritics) are left alone.
#pragma once
#include <MacTypes.h>

void UpperString(StringPtr theString, Boolean diacSensitive);
Boolean EqualString(ConstStr255Param str1, ConstStr255Param str2, Boolean caseSensitive,
                    Boolean diacSensitive);

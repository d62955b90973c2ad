// CFNumber of the stand-in: one immutable number, kept as a 64-bit integer or a double according
// to the type it was made from.
#pragma once
#include <CoreFoundation/CFBase.h>

typedef enum {
  kCFNumberSInt8Type = 1,
  kCFNumberSInt16Type = 2,
  kCFNumberSInt32Type = 3,
  kCFNumberSInt64Type = 4,
  kCFNumberFloat32Type = 5,
  kCFNumberFloat64Type = 6,
  kCFNumberCharType = 7,
  kCFNumberShortType = 8,
  kCFNumberIntType = 9,
  kCFNumberLongType = 10,
  kCFNumberLongLongType = 11,
  kCFNumberFloatType = 12,
  kCFNumberDoubleType = 13,
  kCFNumberCFIndexType = 14
} CFNumberType;

class StandIn_CFNumber : public StandIn_CFObject {
public:
  StandIn_CFNumber(bool isFloat, long long integer, double real);
  bool IsFloat() const { return m_IsFloat; }
  long long Integer() const { return m_Integer; }
  double Real() const { return m_Real; }

private:
  bool m_IsFloat;
  long long m_Integer;
  double m_Real;
};

typedef const StandIn_CFNumber* CFNumberRef;

CFTypeID CFNumberGetTypeID();
CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType theType, const void* valuePtr);
// Converts to the asked type; false when the value does not fit it exactly.
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);
Boolean CFNumberIsFloatType(CFNumberRef number);

// CFNumber and CFBoolean of the stand-in. A number is immutable, kept as a 64-bit integer or a
// double according to the type it was made from, and remembers that type in its canonical form
// (CFNumberGetType): char is SInt8, short SInt16, int SInt32, long, long long and CFIndex SInt64
// (long is 64 bits here), float Float32, double Float64. CFNumberCreate joins the per-call failure
// injection (StandIn_CFFailNext, CFBase.h).
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
  StandIn_CFNumber(CFNumberType canonicalType, long long integer, double real);
  CFNumberType Type() const { return m_Type; }
  bool IsFloat() const { return m_Type == kCFNumberFloat32Type || m_Type == kCFNumberFloat64Type; }
  long long Integer() const { return m_Integer; }
  double Real() const { return m_Real; }

  std::u16string Description() const override;
  bool Equals(const StandIn_CFObject& other) const override;
  CFHashCode Hash() const override;

private:
  CFNumberType m_Type;
  long long m_Integer;
  double m_Real;
};

typedef const StandIn_CFNumber* CFNumberRef;

CFTypeID CFNumberGetTypeID();
CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType theType, const void* valuePtr);
// Converts to the asked type; false when the value does not fit it exactly.
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);
Boolean CFNumberIsFloatType(CFNumberRef number);
// The canonical type the number was made with (see above).
CFNumberType CFNumberGetType(CFNumberRef number);

// The two booleans; constant objects, never freed (retain and release do nothing to them).
// The stand-in's boolean object; its contents are reached only through the calls below.
class StandIn_CFBoolean : public StandIn_CFObject {
protected:
  explicit StandIn_CFBoolean(CFTypeID typeID) : StandIn_CFObject(typeID) {}
};
typedef const StandIn_CFBoolean* CFBooleanRef;
CFBooleanRef StandIn_CFBooleanTrue();
CFBooleanRef StandIn_CFBooleanFalse();
#define kCFBooleanTrue StandIn_CFBooleanTrue()
#define kCFBooleanFalse StandIn_CFBooleanFalse()

CFTypeID CFBooleanGetTypeID();
Boolean CFBooleanGetValue(CFBooleanRef boolean);

#include <CoreFoundation/CFData.h>

#include "iStandInCFCalls.h"

#include <functional>
#include <string>

namespace {

class DataObject final : public StandIn_CFData {
public:
  explicit DataObject(std::string bytes)
      : StandIn_CFData(CFDataGetTypeID()),
        m_Bytes(std::move(bytes)) {}

  const std::string& Bytes() const { return m_Bytes; }

  std::u16string Description() const override {
    static const char kHex[] = "0123456789abcdef";
    std::u16string text = u"<";
    for (unsigned char byte : m_Bytes) {
      text += static_cast<char16_t>(kHex[byte >> 4]);
      text += static_cast<char16_t>(kHex[byte & 15]);
    }
    return text + u">";
  }

  bool Equals(const StandIn_CFObject& other) const override {
    return other.TypeID() == TypeID() && static_cast<const DataObject&>(other).m_Bytes == m_Bytes;
  }

  CFHashCode Hash() const override { return std::hash<std::string>()(m_Bytes); }

private:
  std::string m_Bytes;
};

const DataObject& Checked(CFDataRef theData) {
  if (theData == nullptr || theData->TypeID() != CFDataGetTypeID())
    standin_cf::Crash("CFData function called with no data");
  return static_cast<const DataObject&>(*theData);
}

}  // namespace

CFTypeID CFDataGetTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
  if (length < 0 || (bytes == nullptr && length > 0))
    standin_cf::Crash("CFDataCreate with bad bytes");
  if (standin_cf::CallFails("CFDataCreate"))
    return nullptr;
  return new DataObject(
      std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length)));
}

CFIndex CFDataGetLength(CFDataRef theData) {
  return static_cast<CFIndex>(Checked(theData).Bytes().size());
}

const UInt8* CFDataGetBytePtr(CFDataRef theData) {
  const std::string& bytes = Checked(theData).Bytes();
  return bytes.empty() ? nullptr : reinterpret_cast<const UInt8*>(bytes.data());
}

void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer) {
  const std::string& bytes = Checked(theData).Bytes();
  if (range.location < 0 || range.length < 0 ||
      range.location + range.length > static_cast<CFIndex>(bytes.size()))
    standin_cf::Crash("CFDataGetBytes range out of bounds");
  bytes.copy(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(range.length),
             static_cast<std::size_t>(range.location));
}

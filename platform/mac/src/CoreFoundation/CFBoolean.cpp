#include <CoreFoundation/CFNumber.h>

#include "iStandInCFCalls.h"

namespace {

class BooleanObject final : public StandIn_CFBoolean {
public:
  explicit BooleanObject(bool value) : StandIn_CFBoolean(CFBooleanGetTypeID()), m_Value(value) {
    MakeImmortal();
  }
  bool Value() const { return m_Value; }
  std::u16string Description() const override { return m_Value ? u"true" : u"false"; }

private:
  bool m_Value;
};

}  // namespace

CFTypeID CFBooleanGetTypeID() {
  static const CFTypeID typeID = StandIn_CFRegisterType();
  return typeID;
}

// Made on first use, so that they serve during static initialisation too.
CFBooleanRef StandIn_CFBooleanTrue() {
  static const BooleanObject* const value = new BooleanObject(true);
  return value;
}

CFBooleanRef StandIn_CFBooleanFalse() {
  static const BooleanObject* const value = new BooleanObject(false);
  return value;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean) {
  if (boolean == nullptr) {
    standin_cf::Crash("CFBooleanGetValue(NULL)");
  }
  if (boolean->TypeID() != CFBooleanGetTypeID()) {
    standin_cf::Crash("CFBooleanGetValue with no boolean");
  }
  return static_cast<const BooleanObject*>(boolean)->Value();
}

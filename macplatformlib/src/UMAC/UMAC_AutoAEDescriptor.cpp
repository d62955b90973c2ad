#include "UMAC/UMAC_AutoAEDescriptor.h"

#include "UMAC/UMAC_Exception.h"

namespace {

AEDesc Duplicated(const AEDesc& desc) {
  AEDesc copy = {typeNull, nullptr};
  if (AEDuplicateDesc(&desc, &copy) != noErr)
    copy = AEDesc{typeNull, nullptr};
  return copy;
}

}  // namespace

UMAC_AutoAEDescriptor::UMAC_AutoAEDescriptor(AEEventClass eventClass, AEEventID eventID,
                                             const AEDesc* target, AEReturnID returnID,
                                             AETransactionID transactionID) {
  if (OSErr err = AECreateAppleEvent(eventClass, eventID, target, returnID, transactionID, &m_Desc))
    UMAC_THROW_TOOLBOX(err);
}

UMAC_AutoAEDescriptor::UMAC_AutoAEDescriptor(DescType type, const void* data, Size size) {
  if (OSErr err = AECreateDesc(type, data, size, &m_Desc))
    UMAC_THROW_TOOLBOX(err);
}

UMAC_AutoAEDescriptor::UMAC_AutoAEDescriptor(const void*, Size, Boolean isRecord) {
  if (OSErr err = AECreateList(nullptr, 0, isRecord, &m_Desc))
    UMAC_THROW_TOOLBOX(err);
}

UMAC_AutoAEDescriptor::UMAC_AutoAEDescriptor(const UMAC_AutoAEDescriptor& other)
    : m_Desc(Duplicated(other.m_Desc)) {}

UMAC_AutoAEDescriptor& UMAC_AutoAEDescriptor::operator=(const UMAC_AutoAEDescriptor& other) {
  if (this != &other) {
    AEDesc copy = Duplicated(other.m_Desc);
    DisposeHeld();
    m_Desc = copy;
  }
  return *this;
}

UMAC_AutoAEDescriptor::~UMAC_AutoAEDescriptor() {
  DisposeHeld();
}

void UMAC_AutoAEDescriptor::DisposeHeld() {
  if (m_Desc.dataHandle)
    AEDisposeDesc(&m_Desc);
}

// Holder of one Apple-event descriptor: disposes it when destroyed. Copies duplicate the
// descriptor, so each holder disposes only its own.
#pragma once

#include <AE/AEDataModel.h>

class UMAC_AutoAEDescriptor {
public:
  // 'null', holding nothing.
  UMAC_AutoAEDescriptor() = default;
  // An Apple event (AECreateAppleEvent).
  UMAC_AutoAEDescriptor(AEEventClass eventClass, AEEventID eventID, const AEDesc* target,
                        AEReturnID returnID, AETransactionID transactionID);
  // A descriptor of the data (AECreateDesc).
  UMAC_AutoAEDescriptor(DescType type, const void* data, Size size);
  // An empty list, or record when isRecord (AECreateList); factoring is obsolete and not asked.
  UMAC_AutoAEDescriptor(const void* factoring, Size factoredSize, Boolean isRecord);
  // A failed duplication leaves this holder empty.
  UMAC_AutoAEDescriptor(const UMAC_AutoAEDescriptor& other);
  UMAC_AutoAEDescriptor& operator=(const UMAC_AutoAEDescriptor& other);
  ~UMAC_AutoAEDescriptor();

  const AEDesc& Get() const { return m_Desc; }
  // For calls that put items into the held list.
  AEDesc& Get() { return m_Desc; }

private:
  void DisposeHeld();

  AEDesc m_Desc = {typeNull, nullptr};
};

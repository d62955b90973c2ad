// The text engine of the Mac stand-in (see HIToolbox/MacTextEditor.h).
#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include <algorithm>

void TXNFocus(TXNObject iTXNObject, Boolean iBecomingFocused) {
  if (iTXNObject == nullptr)
    return;
  iTXNObject->focused = iBecomingFocused;
  standin_tb::MarkDirty(iTXNObject->view);
}

OSStatus TXNSetSelection(TXNObject iTXNObject, TXNOffset iStartOffset, TXNOffset iEndOffset) {
  if (OSStatus err = standin_tb::EnterCall("TXNSetSelection"))
    return err;
  if (iTXNObject == nullptr)
    return paramErr;
  const TXNOffset length = static_cast<TXNOffset>(iTXNObject->text.size());
  iTXNObject->selectionStart = std::min(iStartOffset, length);
  iTXNObject->selectionEnd = std::max(iTXNObject->selectionStart, std::min(iEndOffset, length));
  standin_tb::MarkDirty(iTXNObject->view);
  return noErr;
}

void TXNGetSelection(TXNObject iTXNObject, TXNOffset* oStartOffset, TXNOffset* oEndOffset) {
  if (iTXNObject == nullptr)
    return;
  if (oStartOffset)
    *oStartOffset = iTXNObject->selectionStart;
  if (oEndOffset)
    *oEndOffset = iTXNObject->selectionEnd;
}

void TXNShowSelection(TXNObject iTXNObject, Boolean) {
  if (iTXNObject)
    iTXNObject->selectionShown = true;
}

OSStatus TXNSetTypeAttributes(TXNObject iTXNObject, ItemCount iAttrCount,
                              const TXNTypeAttributes* iAttributes, TXNOffset iStartOffset,
                              TXNOffset iEndOffset) {
  if (OSStatus err = standin_tb::EnterCall("TXNSetTypeAttributes"))
    return err;
  if (iTXNObject == nullptr || (iAttrCount > 0 && iAttributes == nullptr))
    return paramErr;
  for (ItemCount i = 0; i < iAttrCount; ++i)
    if (iAttributes[i].tag == kTXNQDFontSizeAttribute)
      iTXNObject->sizes.push_back({iStartOffset, iEndOffset, iAttributes[i].data.dataValue});
  return noErr;
}

OSStatus TXNSetTXNObjectControls(TXNObject iTXNObject, Boolean iClearAll, ItemCount iControlCount,
                                 const TXNControlTag* iControlTags,
                                 const TXNControlData* iControlData) {
  if (OSStatus err = standin_tb::EnterCall("TXNSetTXNObjectControls"))
    return err;
  if (iTXNObject == nullptr)
    return paramErr;
  if (iClearAll) {
    iTXNObject->controls.clear();
    iTXNObject->marginsSet = false;
  }
  for (ItemCount i = 0; i < iControlCount; ++i) {
    switch (iControlTags[i]) {
      case kTXNWordWrapStateTag:
      case kTXNJustificationTag:
      case kTXNIOPrivilegesTag:
        iTXNObject->controls[iControlTags[i]] = iControlData[i].uValue;
        break;
      case kTXNMarginsTag:
        if (iControlData[i].marginsPtr == nullptr)
          return paramErr;
        iTXNObject->margins = *iControlData[i].marginsPtr;
        iTXNObject->marginsSet = true;
        break;
      default:
        return kTXNUnsupportedControlTag;
    }
  }
  return noErr;
}

OSStatus TXNGetTXNObjectControls(TXNObject iTXNObject, ItemCount iControlCount,
                                 const TXNControlTag* iControlTags, TXNControlData* oControlData) {
  if (OSStatus err = standin_tb::EnterCall("TXNGetTXNObjectControls"))
    return err;
  if (iTXNObject == nullptr)
    return paramErr;
  for (ItemCount i = 0; i < iControlCount; ++i) {
    if (iControlTags[i] == kTXNMarginsTag) {
      if (oControlData[i].marginsPtr)
        *oControlData[i].marginsPtr = iTXNObject->margins;
      continue;
    }
    auto found = iTXNObject->controls.find(iControlTags[i]);
    if (iControlTags[i] != kTXNWordWrapStateTag && iControlTags[i] != kTXNJustificationTag &&
        iControlTags[i] != kTXNIOPrivilegesTag)
      return kTXNUnsupportedControlTag;
    oControlData[i].uValue = found == iTXNObject->controls.end() ? 0 : found->second;
  }
  return noErr;
}

OSStatus TXNSetData(TXNObject iTXNObject, TXNDataType iDataType, const void* iDataPtr,
                    ByteCount iDataSize, TXNOffset iStartOffset, TXNOffset iEndOffset) {
  if (OSStatus err = standin_tb::EnterCall("TXNSetData"))
    return err;
  if (iTXNObject == nullptr || iDataType != kTXNUnicodeTextData ||
      (iDataPtr == nullptr && iDataSize > 0))
    return paramErr;
  std::u16string& text = iTXNObject->text;
  const std::size_t start = std::min<std::size_t>(iStartOffset, text.size());
  const std::size_t end = std::max(start, std::min<std::size_t>(iEndOffset, text.size()));
  auto units = static_cast<const char16_t*>(iDataPtr);
  text.replace(start, end - start, units, iDataSize / sizeof(char16_t));
  standin_tb::MarkDirty(iTXNObject->view);
  return noErr;
}

bool StandIn_TXNIsFocused(TXNObject object) {
  return object && object->focused;
}

CFStringRef StandIn_TXNCopyText(TXNObject object) {
  return object ? new StandIn_CFString(object->text) : nullptr;
}

UInt32 StandIn_TXNFontSizeAt(TXNObject object, TXNOffset offset) {
  if (object == nullptr)
    return 0;
  for (auto run = object->sizes.rbegin(); run != object->sizes.rend(); ++run)
    if (offset >= run->start && offset < run->end)
      return run->size;
  return 0;
}

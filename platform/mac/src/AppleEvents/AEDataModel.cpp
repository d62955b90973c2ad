// Apple-event descriptors of the Mac stand-in (see AE/AEDataModel.h).
#include <AE/AEDataModel.h>
#include <CoreServices/Files.h>

#include <HIServices/Processes.h>

#include "../Files/iStandInFiles.h"
#include "iStandInAppleEvents.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

struct StandIn_AEData {
  struct Item {
    AEKeyword keyword;
    DescType type;
    std::vector<UInt8> bytes;
    std::vector<Item> nested;  // the items of a list put as one item
  };

  StandIn_AEData() { ++sm_Live; }
  StandIn_AEData(const StandIn_AEData& other)
      : bytes(other.bytes),
        items(other.items),
        eventClass(other.eventClass),
        eventID(other.eventID),
        target(other.target ? std::make_unique<StandIn_AEData>(*other.target) : nullptr),
        targetType(other.targetType),
        returnID(other.returnID),
        transactionID(other.transactionID) {
    ++sm_Live;
  }
  StandIn_AEData& operator=(const StandIn_AEData&) = delete;
  ~StandIn_AEData() { --sm_Live; }

  std::vector<UInt8> bytes;  // a plain descriptor's data
  std::vector<Item> items;   // a list's or record's items
  AEEventClass eventClass = 0;
  AEEventID eventID = 0;
  std::unique_ptr<StandIn_AEData> target;
  DescType targetType = typeNull;
  AEReturnID returnID = 0;
  AETransactionID transactionID = 0;

  static std::atomic<long> sm_Live;
};

std::atomic<long> StandIn_AEData::sm_Live{0};

namespace {

using standin_files::EnterCall;

std::vector<UInt8> BytesOf(const void* data, Size size) {
  const auto* begin = static_cast<const UInt8*>(data);
  return size > 0 && data ? std::vector<UInt8>(begin, begin + size) : std::vector<UInt8>();
}

void MakeNull(AEDesc* desc) {
  desc->descriptorType = typeNull;
  desc->dataHandle = nullptr;
}

bool IsList(const AEDesc* desc) {
  return desc && desc->dataHandle &&
         (desc->descriptorType == typeAEList || desc->descriptorType == typeAERecord);
}

}  // namespace

OSErr AECreateDesc(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* result) {
  if (result == nullptr)
    return paramErr;
  MakeNull(result);
  if (OSErr err = EnterCall("AECreateDesc"))
    return err;
  if (dataSize < 0 || (dataSize > 0 && dataPtr == nullptr))
    return paramErr;
  auto data = std::make_unique<StandIn_AEData>();
  data->bytes = BytesOf(dataPtr, dataSize);
  result->descriptorType = typeCode;
  result->dataHandle = data.release();
  return noErr;
}

namespace {

// The descriptor's plain bytes; null for 'null', lists, records and events.
const std::vector<UInt8>* PlainBytes(const AEDesc* desc) {
  if (desc == nullptr || desc->dataHandle == nullptr || IsList(desc) ||
      desc->descriptorType == typeAppleEvent)
    return nullptr;
  return &desc->dataHandle->bytes;
}

}  // namespace

Size AEGetDescDataSize(const AEDesc* theAEDesc) {
  const std::vector<UInt8>* bytes = PlainBytes(theAEDesc);
  return bytes ? static_cast<Size>(bytes->size()) : 0;
}

OSErr AEGetDescData(const AEDesc* theAEDesc, void* dataPtr, Size maximumSize) {
  if (theAEDesc == nullptr || maximumSize < 0 || (maximumSize > 0 && dataPtr == nullptr))
    return paramErr;
  if (theAEDesc->dataHandle == nullptr)
    return noErr;
  const std::vector<UInt8>* bytes = PlainBytes(theAEDesc);
  if (bytes == nullptr)
    return errAEWrongDataType;
  const std::size_t count = std::min(bytes->size(), static_cast<std::size_t>(maximumSize));
  if (count > 0)
    std::memcpy(dataPtr, bytes->data(), count);
  return noErr;
}

OSErr AEDuplicateDesc(const AEDesc* theAEDesc, AEDesc* result) {
  if (result == nullptr || theAEDesc == nullptr)
    return paramErr;
  AEDesc copy = *theAEDesc;
  MakeNull(result);
  if (OSErr err = EnterCall("AEDuplicateDesc"))
    return err;
  if (copy.dataHandle)
    result->dataHandle = new StandIn_AEData(*copy.dataHandle);
  result->descriptorType = copy.descriptorType;
  return noErr;
}

OSErr AEDisposeDesc(AEDesc* theAEDesc) {
  if (OSErr err = EnterCall("AEDisposeDesc"))
    return err;
  if (theAEDesc == nullptr)
    return paramErr;
  delete theAEDesc->dataHandle;
  MakeNull(theAEDesc);
  return noErr;
}

OSErr AECreateList(const void*, Size, Boolean isRecord, AEDescList* resultList) {
  if (resultList == nullptr)
    return paramErr;
  MakeNull(resultList);
  if (OSErr err = EnterCall("AECreateList"))
    return err;
  resultList->dataHandle = new StandIn_AEData;
  resultList->descriptorType = isRecord ? typeAERecord : typeAEList;
  return noErr;
}

OSErr AECreateAppleEvent(AEEventClass theAEEventClass, AEEventID theAEEventID,
                         const AEAddressDesc* target, AEReturnID returnID,
                         AETransactionID transactionID, AppleEvent* result) {
  if (result == nullptr)
    return paramErr;
  MakeNull(result);
  if (OSErr err = EnterCall("AECreateAppleEvent"))
    return err;
  auto data = std::make_unique<StandIn_AEData>();
  data->eventClass = theAEEventClass;
  data->eventID = theAEEventID;
  if (target && target->dataHandle) {
    data->target = std::make_unique<StandIn_AEData>(*target->dataHandle);
    data->targetType = target->descriptorType;
  }
  data->returnID = returnID;
  data->transactionID = transactionID;
  result->descriptorType = typeAppleEvent;
  result->dataHandle = data.release();
  return noErr;
}

OSErr AECountItems(const AEDescList* theAEDescList, long* theCount) {
  if (OSErr err = EnterCall("AECountItems"))
    return err;
  if (theCount == nullptr)
    return paramErr;
  if (!IsList(theAEDescList))
    return errAEWrongDataType;
  *theCount = static_cast<long>(theAEDescList->dataHandle->items.size());
  return noErr;
}

OSErr AEPutPtr(AEDescList* theAEDescList, long index, DescType typeCode, const void* dataPtr,
               Size dataSize) {
  if (OSErr err = EnterCall("AEPutPtr"))
    return err;
  if (dataSize < 0 || (dataSize > 0 && dataPtr == nullptr))
    return paramErr;
  if (!IsList(theAEDescList) || theAEDescList->descriptorType != typeAEList)
    return errAEWrongDataType;
  auto& items = theAEDescList->dataHandle->items;
  auto count = static_cast<long>(items.size());
  if (index < 0 || index > count + 1)
    return errAEIllegalIndex;
  StandIn_AEData::Item item{typeWildCard, typeCode, BytesOf(dataPtr, dataSize), {}};
  if (index == 0 || index == count + 1)
    items.push_back(std::move(item));
  else
    items[static_cast<std::size_t>(index - 1)] = std::move(item);
  return noErr;
}

OSErr AEGetNthPtr(const AEDescList* theAEDescList, long index, DescType desiredType,
                  AEKeyword* theAEKeyword, DescType* typeCode, void* dataPtr, Size maximumSize,
                  Size* actualSize) {
  if (OSErr err = EnterCall("AEGetNthPtr"))
    return err;
  if (!IsList(theAEDescList))
    return errAEWrongDataType;
  const auto& items = theAEDescList->dataHandle->items;
  if (index < 1 || index > static_cast<long>(items.size()))
    return errAEIllegalIndex;
  const StandIn_AEData::Item& item = items[static_cast<std::size_t>(index - 1)];
  // Only an item that already is an FSRef coerces to one; nothing else converts.
  if (desiredType != typeWildCard && desiredType != item.type)
    return errAECoercionFail;
  auto size = static_cast<Size>(item.bytes.size());
  if (dataPtr && maximumSize > 0)
    std::memcpy(dataPtr, item.bytes.data(), static_cast<std::size_t>(std::min(size, maximumSize)));
  if (actualSize)
    *actualSize = size;
  if (typeCode)
    *typeCode = item.type;
  if (theAEKeyword)
    *theAEKeyword = item.keyword;
  return noErr;
}

namespace {

std::vector<StandIn_SentAppleEvent>& SentEvents() {
  static auto* sent = new std::vector<StandIn_SentAppleEvent>;
  return *sent;
}

// A descriptor as an item of a list or an event.
OSErr ItemOf(const AEDesc* desc, AEKeyword keyword, StandIn_AEData::Item* item) {
  if (desc == nullptr)
    return paramErr;
  if (desc->descriptorType == typeAppleEvent)
    return errAEWrongDataType;
  item->keyword = keyword;
  item->type = desc->descriptorType;
  if (desc->dataHandle) {
    item->bytes = desc->dataHandle->bytes;
    item->nested = desc->dataHandle->items;
  }
  return noErr;
}

}  // namespace

OSErr AEPutDesc(AEDescList* theAEDescList, long index, const AEDesc* theAEDesc) {
  if (OSErr err = EnterCall("AEPutDesc"))
    return err;
  if (!IsList(theAEDescList) || theAEDescList->descriptorType != typeAEList)
    return errAEWrongDataType;
  StandIn_AEData::Item item;
  if (OSErr err = ItemOf(theAEDesc, typeWildCard, &item))
    return err;
  auto& items = theAEDescList->dataHandle->items;
  auto count = static_cast<long>(items.size());
  if (index < 0 || index > count + 1)
    return errAEIllegalIndex;
  if (index == 0 || index == count + 1)
    items.push_back(std::move(item));
  else
    items[static_cast<std::size_t>(index - 1)] = std::move(item);
  return noErr;
}

OSErr AEPutParamDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, const AEDesc* theAEDesc) {
  if (OSErr err = EnterCall("AEPutParamDesc"))
    return err;
  if (theAppleEvent == nullptr || theAppleEvent->descriptorType != typeAppleEvent ||
      theAppleEvent->dataHandle == nullptr)
    return errAEWrongDataType;
  StandIn_AEData::Item item;
  if (OSErr err = ItemOf(theAEDesc, theAEKeyword, &item))
    return err;
  auto& params = theAppleEvent->dataHandle->items;
  auto same = std::find_if(params.begin(), params.end(), [&](const StandIn_AEData::Item& p) {
    return p.keyword == theAEKeyword;
  });
  if (same != params.end())
    *same = std::move(item);
  else
    params.push_back(std::move(item));
  return noErr;
}

OSErr AECoerceDesc(const AEDesc* theAEDesc, DescType toType, AEDesc* result) {
  if (result == nullptr || theAEDesc == nullptr)
    return paramErr;
  if (toType == typeWildCard || toType == theAEDesc->descriptorType)
    return AEDuplicateDesc(theAEDesc, result);
  MakeNull(result);
  if (OSErr err = EnterCall("AECoerceDesc"))
    return err;
  const StandIn_AEData* data = theAEDesc->dataHandle;
  if (theAEDesc->descriptorType != typeFSRef || toType != typeFSS || data == nullptr ||
      data->bytes.size() != sizeof(FSRef))
    return errAECoercionFail;
  FSRef ref;
  std::memcpy(&ref, data->bytes.data(), sizeof ref);
  FSSpec spec;
  if (FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr) != noErr)
    return errAECoercionFail;
  return AECreateDesc(typeFSS, &spec, sizeof spec, result);
}

namespace {

bool IsAppleEvent(const AEDesc* desc) {
  return desc && desc->descriptorType == typeAppleEvent && desc->dataHandle;
}

template <class T>
bool BytesAre(const std::vector<UInt8>& bytes, const T& value) {
  return bytes.size() == sizeof value && std::memcmp(bytes.data(), &value, sizeof value) == 0;
}

// Whether an event's target is the running program: its serial number (or kCurrentProcess), its
// process ID or its signature.
bool TargetsThisProgram(const StandIn_AEData& event) {
  if (!event.target)
    return false;
  const std::vector<UInt8>& bytes = event.target->bytes;
  switch (event.targetType) {
    case typeProcessSerialNumber: {
      ProcessSerialNumber self = {0, kCurrentProcess};
      if (BytesAre(bytes, self))
        return true;
      return GetCurrentProcess(&self) == noErr && BytesAre(bytes, self);
    }
    case typeKernelProcessID:
      return BytesAre(bytes, static_cast<SInt32>(::getpid()));
    case typeApplSignature: {
      ProcessSerialNumber self = {0, kCurrentProcess};
      ProcessInfoRec info{};
      info.processInfoLength = sizeof info;
      return GetProcessInformation(&self, &info) == noErr && BytesAre(bytes, info.processSignature);
    }
    default:
      return false;
  }
}

const StandIn_AEData::Item* FindParam(const AppleEvent* event, AEKeyword keyword) {
  for (const auto& param : event->dataHandle->items)
    if (param.keyword == keyword)
      return &param;
  return nullptr;
}

}  // namespace

namespace standin_ae {

bool ClassAndID(const AppleEvent* event, AEEventClass* eventClass, AEEventID* eventID) {
  if (!IsAppleEvent(event))
    return false;
  *eventClass = event->dataHandle->eventClass;
  *eventID = event->dataHandle->eventID;
  return true;
}

}  // namespace standin_ae

namespace {

// The common start of the calls that read a parameter: the call checks in, the event is an
// Apple event and holds the parameter.
OSErr EnterParamCall(const char* call, const AppleEvent* event, AEKeyword keyword,
                     const StandIn_AEData::Item** param) {
  if (OSErr err = EnterCall(call))
    return err;
  if (!IsAppleEvent(event))
    return errAEWrongDataType;
  *param = FindParam(event, keyword);
  if (*param == nullptr)
    return errAEDescNotFound;
  return noErr;
}

}  // namespace

OSErr AEGetParamDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                     AEDesc* result) {
  if (result == nullptr)
    return paramErr;
  MakeNull(result);
  const StandIn_AEData::Item* param = nullptr;
  if (OSErr err = EnterParamCall("AEGetParamDesc", theAppleEvent, theAEKeyword, &param))
    return err;
  const bool isList = param->type == typeAEList || param->type == typeAERecord;
  auto data = std::make_unique<StandIn_AEData>();
  if (isList)
    data->items = param->nested;
  else
    data->bytes = param->bytes;
  AEDesc found = {param->type, data.release()};
  if (desiredType == typeWildCard || desiredType == param->type) {
    *result = found;
    return noErr;
  }
  OSErr err = errAECoercionFail;
  if (desiredType == typeAEList && !isList) {
    // A single item stands for a list of one.
    err = AECreateList(nullptr, 0, false, result);
    if (err == noErr)
      err = AEPutDesc(result, 1, &found);
  } else if (!isList) {
    err = AECoerceDesc(&found, desiredType, result);
  }
  AEDisposeDesc(&found);
  if (err != noErr)
    AEDisposeDesc(result);
  return err;
}

OSErr AEGetParamPtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                    DescType* actualType, void* dataPtr, Size maximumSize, Size* actualSize) {
  const StandIn_AEData::Item* param = nullptr;
  if (OSErr err = EnterParamCall("AEGetParamPtr", theAppleEvent, theAEKeyword, &param))
    return err;
  if ((desiredType != typeWildCard && desiredType != param->type) || param->type == typeAEList ||
      param->type == typeAERecord)
    return errAECoercionFail;
  auto size = static_cast<Size>(param->bytes.size());
  if (dataPtr && maximumSize > 0 && size > 0)
    std::memcpy(dataPtr, param->bytes.data(),
                static_cast<std::size_t>(std::min(size, maximumSize)));
  if (actualSize)
    *actualSize = size;
  if (actualType)
    *actualType = param->type;
  return noErr;
}

OSErr AESend(const AppleEvent* theAppleEvent, AppleEvent* reply, AESendMode sendMode,
             AESendPriority, SInt32, void*, void*) {
  if (reply)
    MakeNull(reply);
  if (OSErr err = EnterCall("AESend"))
    return err;
  if (!IsAppleEvent(theAppleEvent))
    return errAEWrongDataType;
  const StandIn_AEData& data = *theAppleEvent->dataHandle;
  if (TargetsThisProgram(data)) {
    AppleEvent unused = {typeNull, nullptr};
    const bool waitReply = (sendMode & kAEWaitReply) == kAEWaitReply;
    const OSErr err = standin_ae::SendToProgram(theAppleEvent, reply ? reply : &unused, waitReply);
    AEDisposeDesc(&unused);
    return err;
  }
  StandIn_SentAppleEvent sent;
  sent.eventClass = data.eventClass;
  sent.eventID = data.eventID;
  sent.targetType = data.targetType;
  if (data.target)
    sent.target = data.target->bytes;
  sent.sendMode = sendMode;
  for (const auto& param : data.items) {
    if (param.keyword != keyDirectObject)
      continue;
    sent.directObjectType = param.type;
    for (const auto& item : param.nested)
      sent.directObjectItems.emplace_back(item.type, item.bytes);
  }
  if (StandIn_RecordingCalls())
    SentEvents().push_back(std::move(sent));
  return noErr;
}

long StandIn_AESentCount() {
  return static_cast<long>(SentEvents().size());
}

StandIn_SentAppleEvent StandIn_AESentAt(long index) {
  return SentEvents().at(static_cast<std::size_t>(index));
}

void StandIn_AEClearSent() {
  SentEvents().clear();
  StandIn_RecordCalls(true);
}

long StandIn_AELiveDescriptorCount() {
  return StandIn_AEData::sm_Live.load();
}

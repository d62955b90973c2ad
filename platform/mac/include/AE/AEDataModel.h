// Apple-event descriptors of the Mac stand-in: plain descriptors (a type and bytes), lists and
// records of them, and Apple events (class, ID, a copy of the target, return and transaction
// IDs). A descriptor's data handle is null exactly when it holds nothing ('null').
// Coercion: AEGetNthPtr gives an item as it is when the desired type is its own type or
// typeWildCard; to typeFSRef it coerces only what holds an FSRef, any other request fails with
// errAECoercionFail.
#pragma once
#include <MacTypes.h>

#include <utility>
#include <vector>

typedef FourCharCode DescType;
typedef FourCharCode AEKeyword;
typedef FourCharCode AEEventClass;
typedef FourCharCode AEEventID;
typedef SInt16 AEReturnID;
typedef SInt32 AETransactionID;

struct StandIn_AEData;
typedef StandIn_AEData* AEDataStorage;

struct AEDesc {
  DescType descriptorType;
  AEDataStorage dataHandle;
};
typedef AEDesc AEDescList;
typedef AEDescList AERecord;
typedef AEDesc AEAddressDesc;
typedef AERecord AppleEvent;

enum : DescType {
  typeNull = 0x6e756c6c,                 // 'null'
  typeWildCard = 0x2a2a2a2a,             // '****'
  typeAEList = 0x6c697374,               // 'list'
  typeAERecord = 0x7265636f,             // 'reco'
  typeAppleEvent = 0x61657674,           // 'aevt'
  typeFSRef = 0x66737266,                // 'fsrf'
  typeFileURL = 0x6675726c,              // 'furl'
  typeChar = 0x54455854,                 // 'TEXT'
  typeSInt32 = 0x6c6f6e67,               // 'long'
  typeProcessSerialNumber = 0x70736e20,  // 'psn '
  typeFSS = 0x66737320,                  // 'fss '
  typeAlias = 0x616c6973,                // 'alis'
  typeApplSignature = 0x7369676e,        // 'sign'
  typeKernelProcessID = 0x6b706964,      // 'kpid'
  typeType = 0x74797065                  // 'type'
};

enum : AEKeyword {
  keyDirectObject = 0x2d2d2d2d  // '----'
};

typedef SInt32 AESendMode;
typedef SInt16 AESendPriority;
enum : AESendMode {
  kAENoReply = 0x00000001,
  kAEQueueReply = 0x00000002,
  kAEWaitReply = 0x00000003
};
enum : AESendPriority {
  kAENormalPriority = 0
};
enum : SInt32 {
  kAEDefaultTimeout = -1
};

enum : AEReturnID {
  kAutoGenerateReturnID = -1
};
enum : AETransactionID {
  kAnyTransactionID = 0
};

constexpr OSErr errAECoercionFail = -1700;
constexpr OSErr errAEDescNotFound = -1701;
constexpr OSErr errAEWrongDataType = -1703;
constexpr OSErr errAEIllegalIndex = -1719;

// *result is made 'null' first; on an error it stays so.
OSErr AECreateDesc(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* result);
// A plain descriptor's bytes: how many it holds, and a copy of at most maximumSize of them.
// Lists, records and Apple events hold no plain bytes (size 0, errAEWrongDataType); 'null' holds
// none (size 0, noErr).
Size AEGetDescDataSize(const AEDesc* theAEDesc);
OSErr AEGetDescData(const AEDesc* theAEDesc, void* dataPtr, Size maximumSize);
OSErr AEDuplicateDesc(const AEDesc* theAEDesc, AEDesc* result);
// Frees what the descriptor holds and makes it 'null'; a 'null' one is left alone.
OSErr AEDisposeDesc(AEDesc* theAEDesc);
// An empty list ('list') or record ('reco'); factoring is ignored, as on Mac OS X.
OSErr AECreateList(const void* factoringPtr, Size factoredSize, Boolean isRecord,
                   AEDescList* resultList);
OSErr AECreateAppleEvent(AEEventClass theAEEventClass, AEEventID theAEEventID,
                         const AEAddressDesc* target, AEReturnID returnID,
                         AETransactionID transactionID, AppleEvent* result);
// Items of a list or record; errAEWrongDataType for any other descriptor.
OSErr AECountItems(const AEDescList* theAEDescList, long* theCount);
// Puts an item at index (1-based) of a list: index 0 or count + 1 appends, an index within the
// list replaces; errAEIllegalIndex beyond, errAEWrongDataType when theAEDescList is no list.
OSErr AEPutPtr(AEDescList* theAEDescList, long index, DescType typeCode, const void* dataPtr,
               Size dataSize);
// Copies at most maximumSize bytes of item index (1-based); *actualSize receives the item's
// full size, *typeCode its type after coercion, *theAEKeyword its keyword ('****' in a list).
OSErr AEGetNthPtr(const AEDescList* theAEDescList, long index, DescType desiredType,
                  AEKeyword* theAEKeyword, DescType* typeCode, void* dataPtr, Size maximumSize,
                  Size* actualSize);

// Puts a descriptor (a plain one or a list) at index of a list, as AEPutPtr does.
OSErr AEPutDesc(AEDescList* theAEDescList, long index, const AEDesc* theAEDesc);
// A parameter of an Apple event (a plain descriptor or a list), replacing one of that keyword.
OSErr AEPutParamDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, const AEDesc* theAEDesc);
// A copy for the same type or typeWildCard; an FSRef descriptor becomes an FSSpec one
// (typeFSS); anything else errAECoercionFail.
OSErr AECoerceDesc(const AEDesc* theAEDesc, DescType toType, AEDesc* result);
// A parameter of an Apple event as a new descriptor: as it is for its own type or typeWildCard,
// a plain one as a list of one for typeAEList, an FSRef as an FSSpec for typeFSS; anything else
// errAECoercionFail; errAEDescNotFound when the event lacks it.
OSErr AEGetParamDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                     AEDesc* result);
// A plain parameter's bytes (at most maximumSize), for its own type or typeWildCard.
OSErr AEGetParamPtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                    DescType* actualType, void* dataPtr, Size maximumSize, Size* actualSize);
// An event for the program itself (its process serial number, kCurrentProcess, its process ID
// or its signature) is queued for the application loop, which hands it to the installed handler
// (AE/AppleEvents.h); with kAEWaitReply it is handled at once, the reply filled in and the
// handler's result answered. Nothing
// else receives an event: it is recorded (StandIn_AESent*, while calls are recorded: see
// CoreServices/StandInCalls.h) and the reply left 'null'. The idle
// and filter procedures are not called.
OSErr AESend(const AppleEvent* theAppleEvent, AppleEvent* reply, AESendMode sendMode,
             AESendPriority sendPriority, SInt32 timeOutInTicks, void* idleProc, void* filterProc);

// An event AESend was given: class, ID, its target's type and bytes, the send mode, and its
// direct object's type with the items it holds when it is a list (type and bytes of each).
struct StandIn_SentAppleEvent {
  AEEventClass eventClass = 0;
  AEEventID eventID = 0;
  DescType targetType = 0;
  std::vector<UInt8> target;
  AESendMode sendMode = 0;
  DescType directObjectType = 0;
  std::vector<std::pair<DescType, std::vector<UInt8>>> directObjectItems;
};
long StandIn_AESentCount();
StandIn_SentAppleEvent StandIn_AESentAt(long index);
// Forgets the records and turns recording on.
void StandIn_AEClearSent();

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hook: descriptors holding data at the moment (a leak check).
long StandIn_AELiveDescriptorCount();

// What the one-part custom views (HIObject subclasses of the system view class) share: the
// HIObject event protocol and the keyboard-focus rule.
#pragma once

#include "PPXA/iPPXA_CFHolder.h"
#include "PPXA/iPPXA_Boundary.h"

#include <HIToolbox/Controls.h>
#include <HIToolbox/HIObject.h>
#include <PPx/PPxExceptions.h>

#include <cstring>
#include <memory>

namespace PPXA {

constexpr ControlPartCode kiPPXA_WholeViewPart = 10;
constexpr OSStatus kiPPXA_InvalidPartCode = -30588;

// Registers a custom view class, a subclass of the system view class, for the given HIObject
// events (construct, initialize, destruct) with handler; nothing when classRef is already set.
// Throws PPx::OSError with failure.
inline void iPPXA_RegisterCustomViewClass(const char* classID, EventHandlerUPP handler,
                                          const EventTypeSpec (&events)[3], void* userData,
                                          HIObjectClassRef* classRef, const char* failure) {
  if (*classRef)
    return;
  iPPXA_CFHolder<CFStringRef> id(
      CFStringCreateWithCString(nullptr, classID, kCFStringEncodingUTF8));
  PPx::ThrowIfOSStatus(HIObjectRegisterSubclass(id.Get(), CFSTR("com.apple.hiview"), 0, handler, 3,
                                                events, userData, classRef),
                       failure);
}

// Parts -1 and -2 name the whole view as well.
inline bool iPPXA_IsWholeViewPart(ControlPartCode part) {
  return part == kiPPXA_WholeViewPart || part == kControlStructureMetaPart ||
         part == kControlContentMetaPart;
}

// Answers a control-data read of a value of dataSize bytes: size becomes dataSize; with no
// buffer that is all (a size query); a buffer of another size gets errDataSizeMismatch.
inline OSStatus iPPXA_AnswerControlData(const void* data, Size dataSize, Ptr buffer, Size& size) {
  const Size asked = size;
  size = dataSize;
  if (buffer == nullptr)
    return noErr;
  if (asked != dataSize)
    return errDataSizeMismatch;
  std::memcpy(buffer, data, static_cast<std::size_t>(dataSize));
  return noErr;
}

// The part a one-part view keeps after a focus request: the whole view when asked for it; for the
// next or previous part the whole view only when it has no focus yet and everything is to be
// focused (so tabbing moves on from it); no part otherwise.
inline ControlPartCode iPPXA_FocusPartAfterRequest(ControlPartCode requested,
                                                   ControlPartCode current, bool focusEverything) {
  if (requested == kiPPXA_WholeViewPart)
    return kiPPXA_WholeViewPart;
  if (requested == kControlFocusNextPart || requested == kControlFocusPrevPart)
    return current == kControlFocusNoPart && focusEverything ? kiPPXA_WholeViewPart
                                                             : ControlPartCode(kControlFocusNoPart);
  return kControlFocusNoPart;
}

// The class's HIObject events for a view class T, given the instance data (null at construct):
// construct makes a T (T::MakeInstance) bound to the new view and answers it as the instance
// data; initialise calls T::InitializeHIObject and leaves the rest to the base class; destruct
// deletes the object. T::kGetInstanceFailed names the failing read of the view. A platform
// callback: failures come back as statuses, never as exceptions.
template <class T>
OSStatus iPPXA_HandleCustomViewEvent(EventRef event, T* instance) {
  try {
    if (GetEventClass(event) != kEventClassHIObject)
      return eventNotHandledErr;
    switch (GetEventKind(event)) {
      case kEventHIObjectConstruct: {
        std::unique_ptr<T> object = T::MakeInstance();
        HIObjectRef hiObject = nullptr;
        PPx::ThrowIfOSStatus(GetEventParameter(event, kEventParamHIObjectInstance, typeHIObjectRef,
                                               nullptr, sizeof hiObject, nullptr, &hiObject),
                             T::kGetInstanceFailed);
        HIViewRef view = static_cast<HIViewRef>(hiObject);
        HIRect frame = CGRectMake(0, 0, 0, 0);
        HIViewGetFrame(view, &frame);
        // The view owns its object: the object holds no reference back (see PPx::View).
        object->InitializeOwnView(view, frame);
        void* data = object.get();
        PPx::ThrowIfOSStatus(
            SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof data, &data),
            "SetEventParameter() - failed");
        object.release();  // the destruct event deletes it
        return noErr;
      }
      case kEventHIObjectInitialize:
        if (instance)
          instance->InitializeHIObject();
        return eventNotHandledErr;  // the base class initialises too
      case kEventHIObjectDestruct:
        delete instance;
        return noErr;
      default:
        return eventNotHandledErr;
    }
  } catch (...) {
    return LogCaughtException("a custom view's handler");
  }
}

}  // namespace PPXA

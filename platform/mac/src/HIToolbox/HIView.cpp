// Views and controls of the Mac stand-in (see HIToolbox/HIView.h and HIToolbox/Controls.h).
#include "iStandInToolbox.h"

#include <algorithm>
#include <set>

const HIViewID kHIViewWindowContentID = {0x77696e64, 1};  // 'wind', 1

namespace {

const std::set<std::string>& NibKinds() {
  static const std::set<std::string> kinds{
      "push", "check",    "popup",   "slider", "progress",  "statictext", "icon",    "bevel",
      "tab",  "userpane", "placard", "image",  "segmented", "scrollview", "browser", "textview"};
  return kinds;
}

std::string ClassIDOfKind(const std::string& kind) {
  return NibKinds().count(kind) ? "com.apple.hiview." + kind : kind;
}

CGPoint RootOffset(StandIn_ViewImpl* view) {
  CGPoint offset{0, 0};
  for (; view && view->superview; view = view->superview) {
    offset.x += view->frame.origin.x;
    offset.y += view->frame.origin.y;
  }
  return offset;
}

OSStatus SendValueChanged(StandIn_ViewImpl* view) {
  standin_tb::EventHolder changed(kEventClassControl, kEventControlValueFieldChanged);
  ControlRef control = view;
  changed.Set(kEventParamDirectObject, typeControlRef, control);
  return changed.SendTo(&view->StandInCore().target);
}

// Sets the value within the bounds; reports a real change.
void SetClampedValue(StandIn_ViewImpl* view, SInt32 value) {
  value = std::max(view->minimum, std::min(view->maximum, value));
  if (value == view->value)
    return;
  view->value = value;
  SendValueChanged(view);
}

OSStatus SendCommandFrom(StandIn_ViewImpl* view) {
  HICommandExtended command{};
  command.attributes = kHICommandFromControl;
  command.commandID = view->command;
  command.source.control = view;
  standin_tb::EventHolder process(kEventClassCommand, kEventCommandProcess);
  process.Set(kEventParamDirectObject, typeHICommand, command);
  return process.SendTo(&view->StandInCore().target);
}

OSStatus HandleSetData(StandIn_ViewImpl* view, EventRef event) {
  ResType tag = 0;
  Ptr buffer = nullptr;
  Size size = 0;
  standin_tb::Get(event, kEventParamControlDataTag, typeEnumeration, &tag);
  standin_tb::Get(event, kEventParamControlDataBuffer, typePtr, &buffer);
  standin_tb::Get(event, kEventParamControlDataBufferSize, typeLongInteger, &size);
  if (buffer == nullptr || size < 0)
    return paramErr;
  if (tag == kControlStaticTextCFStringTag && view->kind == "statictext") {
    if (size != static_cast<Size>(sizeof(CFStringRef)))
      return errDataSizeMismatch;
    CFStringRef text = nullptr;
    std::memcpy(&text, buffer, sizeof text);
    if (text)
      CFRetain(text);
    view->text.Reset(text);
    return noErr;
  }
  view->data[tag].assign(buffer, buffer + size);
  return noErr;
}

OSStatus HandleGetData(StandIn_ViewImpl* view, EventRef event) {
  ResType tag = 0;
  Ptr buffer = nullptr;
  Size size = 0;
  standin_tb::Get(event, kEventParamControlDataTag, typeEnumeration, &tag);
  standin_tb::Get(event, kEventParamControlDataBuffer, typePtr, &buffer);
  standin_tb::Get(event, kEventParamControlDataBufferSize, typeLongInteger, &size);
  std::vector<UInt8> bytes;
  if (tag == kControlStaticTextCFStringTag && view->kind == "statictext") {
    CFStringRef text = view->text.Get();
    bytes.resize(sizeof text);
    if (buffer != nullptr) {
      if (size != static_cast<Size>(sizeof text))
        return errDataSizeMismatch;
      if (text)
        CFRetain(text);  // the caller releases its copy
      std::memcpy(buffer, &text, sizeof text);
    }
  } else if (tag == kControlPopupButtonMenuRefTag && view->kind == "popup") {
    MenuRef menu = view->menu.Get();
    bytes.resize(sizeof menu);
    if (buffer != nullptr) {
      if (size != static_cast<Size>(sizeof menu))
        return errDataSizeMismatch;
      std::memcpy(buffer, &menu, sizeof menu);
    }
  } else {
    auto found = view->data.find(tag);
    if (found == view->data.end())
      return errDataNotSupported;
    bytes = found->second;
    if (buffer != nullptr) {
      if (size != static_cast<Size>(bytes.size()))
        return errDataSizeMismatch;
      std::copy(bytes.begin(), bytes.end(), buffer);
    }
  }
  Size actual = static_cast<Size>(bytes.size());
  SetEventParameter(event, kEventParamControlDataBufferSize, typeLongInteger, sizeof actual,
                    &actual);
  return noErr;
}

OSStatus SendDataEvent(UInt32 kind, ControlRef control, ControlPartCode part, ResType tag,
                       Size size, const void* data, Size* sizeBack) {
  if (control == nullptr)
    return errUnknownControl;
  standin_tb::EventHolder event(kEventClassControl, kind);
  event.Set(kEventParamDirectObject, typeControlRef, control);
  event.Set(kEventParamControlPart, typeControlPartCode, part);
  event.Set(kEventParamControlDataTag, typeEnumeration, tag);
  Ptr buffer = static_cast<Ptr>(const_cast<void*>(data));
  event.Set(kEventParamControlDataBuffer, typePtr, buffer);
  event.Set(kEventParamControlDataBufferSize, typeLongInteger, size);
  OSStatus status = event.SendTo(&control->StandInCore().target);
  if (status == eventNotHandledErr)
    status = errDataNotSupported;
  if (sizeBack)
    standin_tb::Get(event.Get(), kEventParamControlDataBufferSize, typeLongInteger, sizeBack);
  return status;
}

}  // namespace

StandIn_ViewImpl::StandIn_ViewImpl(const std::string& viewKind)
    : StandIn_HIView(standin_tb::HIObjectTypeID()),
      kind(viewKind) {
  StandInCore().classID = ClassIDOfKind(viewKind);
  standin_tb::CountInstance(StandInCore().classID, +1);
  if (kind == "check" || kind == "slider" || kind == "progress")
    maximum = kind == "check" ? 2 : 100;
  if (kind == "popup") {
    MenuRef popupMenu = nullptr;
    CreateNewMenu(0, 0, &popupMenu);
    menu.Reset(popupMenu);
  }
  if (kind == "textview")
    textObject = std::make_unique<OpaqueTXNObject>();
}

void StandIn_ViewImpl::Finalize() {
  std::vector<StandIn_ViewImpl*> children;
  children.swap(subviews);
  for (StandIn_ViewImpl* child : children) {
    child->superview = nullptr;
    CFRelease(child);
  }
}

EventTargetRef StandIn_ViewImpl::ParentTarget() const {
  if (superview)
    return &superview->StandInCore().target;
  return window ? GetWindowEventTarget(window) : nullptr;
}

OSStatus StandIn_ViewImpl::StandardHandler(EventRef event) {
  if (GetEventClass(event) != kEventClassControl)
    return eventNotHandledErr;
  ControlRef control = nullptr;
  standin_tb::Get(event, kEventParamDirectObject, typeControlRef, &control);
  if (control != this)
    return eventNotHandledErr;  // an event of a subview passing by
  switch (GetEventKind(event)) {
    case kEventControlHitTest: {
      HIPoint where{0, 0};
      GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof where,
                        nullptr, &where);
      ControlPartCode part =
          CGRectContainsPoint(CGRectMake(0, 0, frame.size.width, frame.size.height), where)
              ? standin_tb::ClickPart(*this)
              : ControlPartCode(kControlNoPart);
      SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
      return noErr;
    }
    case kEventControlTrack: {
      ControlPartCode part = kControlNoPart;
      standin_tb::Get(event, kEventParamControlPart, typeControlPartCode, &part);
      long answer = 0;
      if (kind == "check") {
        SetClampedValue(this, value == kControlCheckBoxCheckedValue ? 0 : 1);
      } else if ((kind == "popup" || kind == "slider") && standin_tb::TakeScriptedAnswer(&answer)) {
        SetClampedValue(this, static_cast<SInt32>(answer));
        if (action)
          action(this, part);
      }
      SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
      return noErr;
    }
    case kEventControlHit:
      if (command != 0)
        SendCommandFrom(this);
      return noErr;
    case kEventControlSetData:
      return HandleSetData(this, event);
    case kEventControlGetData:
      return HandleGetData(this, event);
    default:
      return eventNotHandledErr;
  }
}

namespace standin_tb {

StandIn_ViewImpl* View(HIViewRef view) {
  return static_cast<StandIn_ViewImpl*>(view);
}

ControlPartCode ClickPart(const StandIn_ViewImpl& view) {
  const std::string& kind = view.kind;
  if (kind == "push" || kind == "bevel")
    return kControlButtonPart;
  if (kind == "check")
    return kControlCheckBoxPart;
  if (kind == "popup")
    return kControlMenuPart;
  if (kind == "slider")
    return kControlIndicatorPart;
  if (kind == "icon")
    return kControlIconPart;
  return kControlNoPart;
}

StandIn_ViewImpl* RootOf(StandIn_ViewImpl* view) {
  while (view && view->superview)
    view = view->superview;
  return view;
}

StandIn_HIObject* NewHIViewObject(const std::string& classID) {
  return new StandIn_ViewImpl(classID);
}

}  // namespace standin_tb

HIViewRef StandIn_NewView(const char* kind, HIRect frame) {
  if (kind == nullptr || !NibKinds().count(kind))
    return nullptr;
  auto view = new StandIn_ViewImpl(kind);
  view->frame = frame;
  return view;
}

long StandIn_HIViewDisplayRequests(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->displayRequests : 0;
}

const char* StandIn_HIViewKind(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->kind.c_str() : "";
}

WindowRef HIViewGetWindow(HIViewRef inView) {
  StandIn_ViewImpl* root = standin_tb::RootOf(standin_tb::View(inView));
  return root ? root->window : nullptr;
}

OSStatus HIViewFindByID(HIViewRef inStartView, HIViewID inID, HIViewRef* outView) {
  if (OSStatus err = standin_tb::EnterCall("HIViewFindByID"))
    return err;
  if (outView)
    *outView = nullptr;
  if (inStartView == nullptr || outView == nullptr)
    return paramErr;
  std::vector<StandIn_ViewImpl*> pending{standin_tb::View(inStartView)};
  while (!pending.empty()) {
    StandIn_ViewImpl* view = pending.back();
    pending.pop_back();
    if (view->id.signature == inID.signature && view->id.id == inID.id) {
      *outView = view;
      return noErr;
    }
    pending.insert(pending.end(), view->subviews.rbegin(), view->subviews.rend());
  }
  return errUnknownControl;
}

OSStatus HIViewAddSubview(HIViewRef inParent, HIViewRef inNewChild) {
  if (OSStatus err = standin_tb::EnterCall("HIViewAddSubview"))
    return err;
  if (inParent == nullptr || inNewChild == nullptr)
    return paramErr;
  StandIn_ViewImpl* parent = standin_tb::View(inParent);
  StandIn_ViewImpl* child = standin_tb::View(inNewChild);
  for (StandIn_ViewImpl* up = parent; up; up = up->superview)
    if (up == child)
      return errCantEmbedIntoSelf;
  CFRetain(child);
  if (child->superview)
    HIViewRemoveFromSuperview(child);
  child->superview = parent;
  parent->subviews.push_back(child);
  return noErr;
}

OSStatus HIViewRemoveFromSuperview(HIViewRef inView) {
  if (OSStatus err = standin_tb::EnterCall("HIViewRemoveFromSuperview"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  StandIn_ViewImpl* parent = view->superview;
  if (parent == nullptr)
    return noErr;
  auto& siblings = parent->subviews;
  siblings.erase(std::find(siblings.begin(), siblings.end(), view));
  view->superview = nullptr;
  CFRelease(view);  // may free it
  return noErr;
}

HIViewRef HIViewGetSuperview(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->superview : nullptr;
}

HIViewRef HIViewGetFirstSubview(HIViewRef inView) {
  if (inView == nullptr || standin_tb::View(inView)->subviews.empty())
    return nullptr;
  return standin_tb::View(inView)->subviews.front();
}

HIViewRef HIViewGetNextView(HIViewRef inView) {
  StandIn_ViewImpl* view = standin_tb::View(inView);
  if (view == nullptr || view->superview == nullptr)
    return nullptr;
  auto& siblings = view->superview->subviews;
  auto next = std::find(siblings.begin(), siblings.end(), view) + 1;
  return next == siblings.end() ? nullptr : *next;
}

long StandIn_HIViewSubviewCount(HIViewRef inView) {
  return inView ? static_cast<long>(standin_tb::View(inView)->subviews.size()) : 0;
}

OSStatus HIViewGetFrame(HIViewRef inView, HIRect* outRect) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetFrame"))
    return err;
  if (inView == nullptr || outRect == nullptr)
    return paramErr;
  *outRect = standin_tb::View(inView)->frame;
  return noErr;
}

OSStatus HIViewSetFrame(HIViewRef inView, const HIRect* inRect) {
  if (OSStatus err = standin_tb::EnterCall("HIViewSetFrame"))
    return err;
  if (inView == nullptr || inRect == nullptr)
    return paramErr;
  standin_tb::View(inView)->frame = *inRect;
  return noErr;
}

OSStatus HIViewGetBounds(HIViewRef inView, HIRect* outRect) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetBounds"))
    return err;
  if (inView == nullptr || outRect == nullptr)
    return paramErr;
  const CGRect& frame = standin_tb::View(inView)->frame;
  *outRect = CGRectMake(0, 0, frame.size.width, frame.size.height);
  return noErr;
}

OSStatus HIViewPlaceInSuperviewAt(HIViewRef inView, CGFloat inX, CGFloat inY) {
  if (OSStatus err = standin_tb::EnterCall("HIViewPlaceInSuperviewAt"))
    return err;
  if (inView == nullptr)
    return paramErr;
  standin_tb::View(inView)->frame.origin = CGPointMake(inX, inY);
  return noErr;
}

OSStatus HIViewMoveBy(HIViewRef inView, CGFloat inDX, CGFloat inDY) {
  if (OSStatus err = standin_tb::EnterCall("HIViewMoveBy"))
    return err;
  if (inView == nullptr)
    return paramErr;
  CGPoint& origin = standin_tb::View(inView)->frame.origin;
  origin = CGPointMake(origin.x + inDX, origin.y + inDY);
  return noErr;
}

OSStatus HIViewConvertPoint(HIPoint* ioPoint, HIViewRef inSourceView, HIViewRef inDestView) {
  if (OSStatus err = standin_tb::EnterCall("HIViewConvertPoint"))
    return err;
  if (ioPoint == nullptr)
    return paramErr;
  StandIn_ViewImpl* source = standin_tb::View(inSourceView);
  StandIn_ViewImpl* dest = standin_tb::View(inDestView);
  if (source && dest && standin_tb::RootOf(source) != standin_tb::RootOf(dest))
    return errInvalidWindowRef;
  const CGPoint from = RootOffset(source);
  const CGPoint to = RootOffset(dest);
  ioPoint->x += from.x - to.x;
  ioPoint->y += from.y - to.y;
  return noErr;
}

OSStatus HIViewSetNeedsDisplay(HIViewRef inView, Boolean inNeedsDisplay) {
  if (OSStatus err = standin_tb::EnterCall("HIViewSetNeedsDisplay"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  view->needsDisplay = inNeedsDisplay;
  if (inNeedsDisplay)
    ++view->displayRequests;
  return noErr;
}

Boolean HIViewGetNeedsDisplay(HIViewRef inView) {
  return inView && standin_tb::View(inView)->needsDisplay;
}

OSStatus HIViewSetVisible(HIViewRef inView, Boolean inVisible) {
  if (OSStatus err = standin_tb::EnterCall("HIViewSetVisible"))
    return err;
  if (inView == nullptr)
    return paramErr;
  standin_tb::View(inView)->visible = inVisible;
  return noErr;
}

Boolean HIViewIsVisible(HIViewRef inView) {
  for (StandIn_ViewImpl* view = standin_tb::View(inView); view; view = view->superview)
    if (!view->visible)
      return false;
  return inView != nullptr;
}

Boolean HIViewIsLatentlyVisible(HIViewRef inView) {
  return inView && standin_tb::View(inView)->visible;
}

OSStatus HIViewChangeFeatures(HIViewRef inView, HIViewFeatures inFeaturesToSet,
                              HIViewFeatures inFeaturesToClear) {
  if (OSStatus err = standin_tb::EnterCall("HIViewChangeFeatures"))
    return err;
  if (inView == nullptr)
    return paramErr;
  HIViewFeatures& features = standin_tb::View(inView)->features;
  features = (features | inFeaturesToSet) & ~inFeaturesToClear;
  return noErr;
}

OSStatus HIViewGetFeatures(HIViewRef inView, HIViewFeatures* outFeatures) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetFeatures"))
    return err;
  if (inView == nullptr || outFeatures == nullptr)
    return paramErr;
  *outFeatures = standin_tb::View(inView)->features;
  return noErr;
}

SInt32 GetControl32BitValue(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->value : 0;
}

void SetControl32BitValue(ControlRef theControl, SInt32 newValue) {
  if (theControl)
    SetClampedValue(standin_tb::View(theControl), newValue);
}

SInt32 GetControl32BitMinimum(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->minimum : 0;
}

void SetControl32BitMinimum(ControlRef theControl, SInt32 newMinimum) {
  if (theControl == nullptr)
    return;
  StandIn_ViewImpl* view = standin_tb::View(theControl);
  view->minimum = newMinimum;
  view->maximum = std::max(view->maximum, newMinimum);
  SetClampedValue(view, view->value);
}

SInt32 GetControl32BitMaximum(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->maximum : 0;
}

void SetControl32BitMaximum(ControlRef theControl, SInt32 newMaximum) {
  if (theControl == nullptr)
    return;
  StandIn_ViewImpl* view = standin_tb::View(theControl);
  view->maximum = newMaximum;
  view->minimum = std::min(view->minimum, newMaximum);
  SetClampedValue(view, view->value);
}

OSStatus SetControlID(ControlRef inControl, const ControlID* inID) {
  if (OSStatus err = standin_tb::EnterCall("SetControlID"))
    return err;
  if (inControl == nullptr || inID == nullptr)
    return paramErr;
  standin_tb::View(inControl)->id = *inID;
  return noErr;
}

OSStatus GetControlID(ControlRef inControl, ControlID* outID) {
  if (OSStatus err = standin_tb::EnterCall("GetControlID"))
    return err;
  if (inControl == nullptr || outID == nullptr)
    return paramErr;
  *outID = standin_tb::View(inControl)->id;
  return noErr;
}

OSStatus GetControlByID(WindowRef inWindow, const ControlID* inID, ControlRef* outControl) {
  if (OSStatus err = standin_tb::EnterCall("GetControlByID"))
    return err;
  if (inWindow == nullptr || inID == nullptr)
    return paramErr;
  return HIViewFindByID(HIViewGetRoot(inWindow), *inID, outControl);
}

OSStatus SetControlCommandID(ControlRef inControl, UInt32 inCommandID) {
  if (OSStatus err = standin_tb::EnterCall("SetControlCommandID"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->command = inCommandID;
  return noErr;
}

OSStatus GetControlCommandID(ControlRef inControl, UInt32* outCommandID) {
  if (OSStatus err = standin_tb::EnterCall("GetControlCommandID"))
    return err;
  if (inControl == nullptr || outCommandID == nullptr)
    return paramErr;
  *outCommandID = standin_tb::View(inControl)->command;
  return noErr;
}

void SetControlReference(ControlRef theControl, SRefCon data) {
  if (theControl)
    standin_tb::View(theControl)->reference = data;
}

SRefCon GetControlReference(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->reference : 0;
}

void SetControlAction(ControlRef theControl, ControlActionUPP actionProc) {
  if (theControl)
    standin_tb::View(theControl)->action = actionProc;
}

ControlActionUPP GetControlAction(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->action : nullptr;
}

OSStatus SetControlTitleWithCFString(ControlRef inControl, CFStringRef inString) {
  if (OSStatus err = standin_tb::EnterCall("SetControlTitleWithCFString"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->title = standin_tb::Units(inString);
  return noErr;
}

OSStatus CopyControlTitleAsCFString(ControlRef inControl, CFStringRef* outString) {
  if (OSStatus err = standin_tb::EnterCall("CopyControlTitleAsCFString"))
    return err;
  if (inControl == nullptr || outString == nullptr)
    return paramErr;
  *outString = new StandIn_CFString(standin_tb::View(inControl)->title);
  return noErr;
}

OSStatus EnableControl(ControlRef inControl) {
  if (OSStatus err = standin_tb::EnterCall("EnableControl"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->enabled = true;
  return noErr;
}

OSStatus DisableControl(ControlRef inControl) {
  if (OSStatus err = standin_tb::EnterCall("DisableControl"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->enabled = false;
  return noErr;
}

Boolean IsControlEnabled(ControlRef inControl) {
  return inControl && standin_tb::View(inControl)->enabled;
}

OSStatus ActivateControl(ControlRef inControl) {
  if (OSStatus err = standin_tb::EnterCall("ActivateControl"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->active = true;
  return noErr;
}

OSStatus DeactivateControl(ControlRef inControl) {
  if (OSStatus err = standin_tb::EnterCall("DeactivateControl"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->active = false;
  return noErr;
}

Boolean IsControlActive(ControlRef inControl) {
  return inControl && standin_tb::View(inControl)->active;
}

void HiliteControl(ControlRef theControl, ControlPartCode hiliteState) {
  if (theControl)
    standin_tb::View(theControl)->hilite = hiliteState;
}

ControlPartCode GetControlHilite(ControlRef inControl) {
  return inControl ? standin_tb::View(inControl)->hilite : 0;
}

OSStatus GetBestControlRect(ControlRef inControl, Rect* outRect, SInt16* outBaseLineOffset) {
  if (OSStatus err = standin_tb::EnterCall("GetBestControlRect"))
    return err;
  if (inControl == nullptr || outRect == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inControl);
  long width = static_cast<long>(view->frame.size.width);
  long height = static_cast<long>(view->frame.size.height);
  const std::u16string text =
      view->kind == "statictext" ? standin_tb::Units(view->text.Get()) : view->title;
  long margins = view->kind == "push" || view->kind == "bevel" ? 28
                 : view->kind == "check"                       ? 22
                 : view->kind == "statictext"                  ? 0
                                                               : -1;
  if (margins >= 0) {
    width = std::max(width, 7 * static_cast<long>(text.size()) + margins);
    height = 20;
  }
  const short left = static_cast<short>(view->frame.origin.x);
  const short top = static_cast<short>(view->frame.origin.y);
  *outRect = Rect{top, left, static_cast<short>(top + height), static_cast<short>(left + width)};
  if (outBaseLineOffset)
    *outBaseLineOffset = 12;
  return noErr;
}

OSStatus SetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName,
                        Size inSize, const void* inData) {
  if (OSStatus err = standin_tb::EnterCall("SetControlData"))
    return err;
  return SendDataEvent(kEventControlSetData, inControl, inPart, inTagName, inSize, inData, nullptr);
}

OSStatus GetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName,
                        Size inBufferSize, void* inBuffer, Size* outActualSize) {
  if (OSStatus err = standin_tb::EnterCall("GetControlData"))
    return err;
  Size size = inBufferSize;
  OSStatus status = SendDataEvent(kEventControlGetData, inControl, inPart, inTagName, inBufferSize,
                                  inBuffer, &size);
  if (outActualSize)
    *outActualSize = size;
  return status;
}

OSStatus GetControlDataSize(ControlRef inControl, ControlPartCode inPart, ResType inTagName,
                            Size* outMaxSize) {
  if (OSStatus err = standin_tb::EnterCall("GetControlDataSize"))
    return err;
  return GetControlData(inControl, inPart, inTagName, 0, nullptr, outMaxSize);
}

MenuRef GetControlPopupMenuHandle(ControlRef control) {
  return control ? standin_tb::View(control)->menu.Get() : nullptr;
}

OSStatus StandIn_SetViewItems(ControlRef inControl, long count, const CFStringRef* titles) {
  if (inControl == nullptr || count < 0)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inControl);
  view->items.clear();
  for (long i = 0; i < count; ++i)
    view->items.push_back(standin_tb::Units(titles[i]));
  return noErr;
}

long StandIn_ViewItemCount(ControlRef inControl) {
  return inControl ? static_cast<long>(standin_tb::View(inControl)->items.size()) : 0;
}

CFStringRef StandIn_CopyViewContent(ControlRef inControl) {
  return inControl ? standin_tb::NewString(standin_tb::View(inControl)->content) : nullptr;
}

long StandIn_BrowserColumnCount(ControlRef inControl) {
  return inControl ? static_cast<long>(standin_tb::View(inControl)->columns.size()) : 0;
}

UInt32 StandIn_BrowserColumnProperty(ControlRef inControl, long index) {
  return standin_tb::View(inControl)->columns.at(static_cast<std::size_t>(index)).first;
}

TXNObject HITextViewGetTXNObject(HIViewRef inTextView) {
  return inTextView ? standin_tb::View(inTextView)->textObject.get() : nullptr;
}

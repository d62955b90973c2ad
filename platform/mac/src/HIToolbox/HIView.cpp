// Views and controls of the Mac stand-in (see HIToolbox/HIView.h and HIToolbox/Controls.h).
#include "iStandInControlDrawing.h"
#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include <algorithm>
#include <set>

const HIViewID kHIViewWindowContentID = {0x77696e64, 1};  // 'wind', 1
const HIViewID kHIViewWindowGrowBoxID = {0x67726f77, 0};  // 'grow', 0

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
  for (; view && view->m_Superview; view = view->m_Superview) {
    offset.x += view->m_Frame.origin.x;
    offset.y += view->m_Frame.origin.y;
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
  value = std::max(view->m_Minimum, std::min(view->m_Maximum, value));
  if (value == view->m_Value)
    return;
  view->m_Value = value;
  standin_tb::MarkDirty(view);
  SendValueChanged(view);
}

OSStatus SendCommandFrom(StandIn_ViewImpl* view) {
  HICommandExtended command{};
  command.attributes = kHICommandFromControl;
  command.commandID = view->m_Command;
  command.source.control = view;
  standin_tb::EventHolder process(kEventClassCommand, kEventCommandProcess);
  process.Set(kEventParamDirectObject, typeHICommand, command);
  return process.SendTo(&view->StandInCore().target);
}

// Whether the view takes data of the tag. The system's controls know their own tags only; user
// panes and custom views keep whatever their program gives them.
bool TakesDataTag(const StandIn_ViewImpl& view, ResType tag) {
  static const std::map<std::string, std::set<ResType>> known{
      {"progress", {0x696e6465}},  // 'inde'
      {"statictext", {kControlStaticTextCFStringTag}},
  };
  if (view.m_Kind == "userpane" || !NibKinds().count(view.m_Kind))
    return true;
  auto found = known.find(view.m_Kind);
  return found != known.end() && found->second.count(tag) != 0;
}

OSStatus HandleSetData(StandIn_ViewImpl* view, EventRef event) {
  ResType tag = 0;
  Ptr buffer = nullptr;
  Size size = 0;
  standin_tb::Get(event, kEventParamControlDataTag, typeEnumeration, &tag);
  standin_tb::Get(event, kEventParamControlDataBuffer, typePtr, &buffer);
  standin_tb::Get(event, kEventParamControlDataBufferSize, typeLongInteger, &size);
  if (!TakesDataTag(*view, tag))
    return errDataNotSupported;
  if (buffer == nullptr || size < 0)
    return paramErr;
  if (tag == kControlStaticTextCFStringTag && view->m_Kind == "statictext") {
    if (size != static_cast<Size>(sizeof(CFStringRef)))
      return errDataSizeMismatch;
    CFStringRef text = nullptr;
    std::memcpy(&text, buffer, sizeof text);
    if (text)
      CFRetain(text);
    view->m_Text.Reset(text);
    standin_tb::MarkDirty(view);
    return noErr;
  }
  view->m_Data[tag].assign(buffer, buffer + size);
  standin_tb::MarkDirty(view);
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
  if (tag == kControlStaticTextCFStringTag && view->m_Kind == "statictext") {
    CFStringRef text = view->m_Text.Get();
    bytes.resize(sizeof text);
    if (buffer != nullptr) {
      if (size != static_cast<Size>(sizeof text))
        return errDataSizeMismatch;
      if (text)
        CFRetain(text);  // the caller releases its copy
      std::memcpy(buffer, &text, sizeof text);
    }
  } else if (tag == kControlPopupButtonMenuRefTag && view->m_Kind == "popup") {
    MenuRef menu = view->m_Menu.Get();
    bytes.resize(sizeof menu);
    if (buffer != nullptr) {
      if (size != static_cast<Size>(sizeof menu))
        return errDataSizeMismatch;
      std::memcpy(buffer, &menu, sizeof menu);
    }
  } else {
    auto found = view->m_Data.find(tag);
    if (found == view->m_Data.end())
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

// Sends the view an event that carries only the view.
void SendPlainControlEvent(StandIn_ViewImpl* view, UInt32 kind) {
  standin_tb::EventHolder event(kEventClassControl, kind);
  ControlRef control = view;
  event.Set(kEventParamDirectObject, typeControlRef, control);
  event.SendTo(&view->StandInCore().target);
}

// The enabling and activation calls: one state flag of the view, set or cleared; a real change
// is announced with the kind of event the value asks for.
OSStatus SetViewState(char const* call, ControlRef control, bool StandIn_ViewImpl::*state,
                      bool value, UInt32 changedKind) {
  if (OSStatus err = standin_tb::EnterCall(call))
    return err;
  if (control == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(control);
  if (view->*state == value)
    return noErr;
  view->*state = value;
  standin_tb::MarkDirty(view);
  CFRetain(view);  // a handler may let it go
  SendPlainControlEvent(view, changedKind);
  CFRelease(view);
  return noErr;
}

}  // namespace

StandIn_ViewImpl::StandIn_ViewImpl(const std::string& viewKind)
    : StandIn_HIView(standin_tb::HIObjectTypeID()),
      m_Kind(viewKind) {
  StandInCore().classID = ClassIDOfKind(viewKind);
  standin_tb::CountInstance(StandInCore().classID, +1);
  if (m_Kind == "check" || m_Kind == "slider" || m_Kind == "progress")
    m_Maximum = m_Kind == "check" ? 2 : 100;
  if (m_Kind == "popup") {
    MenuRef popupMenu = nullptr;
    CreateNewMenu(0, 0, &popupMenu);
    m_Menu.Reset(popupMenu);
  }
  if (m_Kind == "textview") {
    m_TextObject = std::make_unique<OpaqueTXNObject>();
    m_TextObject->view = this;
  }
  if (m_Kind == "browser")
    m_Browser = standin_tb::NewBrowserModel();
}

void StandIn_ViewImpl::Finalize() {
  if (m_Browser)
    standin_tb::DisposeBrowserItems(this);
  std::vector<StandIn_ViewImpl*> children;
  children.swap(m_Subviews);
  for (StandIn_ViewImpl* child : children) {
    child->m_Superview = nullptr;
    CFRelease(child);
  }
}

EventTargetRef StandIn_ViewImpl::ParentTarget() const {
  if (m_Superview)
    return &m_Superview->StandInCore().target;
  return m_Window ? GetWindowEventTarget(m_Window) : nullptr;
}

OSStatus StandIn_ViewImpl::StandardHandler(EventRef event) {
  if (GetEventClass(event) == kEventClassScrollable)
    return standin_tb::StandardScrollableEvent(this, event);
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
          CGRectContainsPoint(CGRectMake(0, 0, m_Frame.size.width, m_Frame.size.height), where)
              ? standin_tb::ClickPart(*this)
              : ControlPartCode(kControlNoPart);
      SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
      return noErr;
    }
    case kEventControlTrack: {
      ControlPartCode part = kControlNoPart;
      standin_tb::Get(event, kEventParamControlPart, typeControlPartCode, &part);
      long answer = 0;
      if (m_Kind == "popup" || m_Kind == "slider") {
        // The pop-up's menu and the slider's thumb answer from the script.
        const bool popup = m_Kind == "popup";
        if (standin_tb::TakeScriptedAnswer(
                popup ? StandIn_AnswerKind::Popup : StandIn_AnswerKind::Slider, m_Minimum,
                m_Maximum, popup ? "the pop-up" : "the slider", &answer)) {
          SetClampedValue(this, static_cast<SInt32>(answer));
          if (m_Action)
            m_Action(this, part);
        }
      } else if (!standin_tb::TrackUntilRelease(this, part)) {
        part = kControlNoPart;  // released outside: no hit
      } else if (m_Kind == "check") {
        SetClampedValue(this, m_Value == kControlCheckBoxCheckedValue ? 0 : 1);
      }
      if (m_Hilite != kControlNoPart)
        HiliteControl(this, kControlNoPart);  // the mouse is up: tracking ends unhighlighted
      SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
      return noErr;
    }
    case kEventControlHit:
      if (m_Command != 0)
        SendCommandFrom(this);
      return noErr;
    case kEventControlGetPartRegion:
      return standin_tb::StandardPartRegion(this, event);
    case kEventControlSetFocusPart:
      return standin_tb::StandardFocusPart(this, event);
    case kEventControlSetData:
      return HandleSetData(this, event);
    case kEventControlGetData:
      return HandleGetData(this, event);
    case kEventControlDraw:
      return standin_tb::DrawStandardView(this, event);
    default:
      return eventNotHandledErr;
  }
}

namespace standin_tb {

StandIn_ViewImpl* View(HIViewRef view) {
  return static_cast<StandIn_ViewImpl*>(view);
}

ControlPartCode ClickPart(const StandIn_ViewImpl& view) {
  const std::string& kind = view.m_Kind;
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
  while (view && view->m_Superview)
    view = view->m_Superview;
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
  view->m_Frame = frame;
  return view;
}

long StandIn_HIViewDisplayRequests(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->m_DisplayRequests : 0;
}

const char* StandIn_HIViewKind(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->m_Kind.c_str() : "";
}

WindowRef HIViewGetWindow(HIViewRef inView) {
  StandIn_ViewImpl* root = standin_tb::RootOf(standin_tb::View(inView));
  return root ? root->m_Window : nullptr;
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
    if (view->m_Id.signature == inID.signature && view->m_Id.id == inID.id) {
      *outView = view;
      return noErr;
    }
    pending.insert(pending.end(), view->m_Subviews.rbegin(), view->m_Subviews.rend());
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
  for (StandIn_ViewImpl* up = parent; up; up = up->m_Superview)
    if (up == child)
      return errCantEmbedIntoSelf;
  CFRetain(child);
  if (child->m_Superview)
    HIViewRemoveFromSuperview(child);
  child->m_Superview = parent;
  parent->m_Subviews.push_back(child);
  standin_tb::MarkDirty(child);
  return noErr;
}

OSStatus HIViewRemoveFromSuperview(HIViewRef inView) {
  if (OSStatus err = standin_tb::EnterCall("HIViewRemoveFromSuperview"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  StandIn_ViewImpl* parent = view->m_Superview;
  if (parent == nullptr)
    return noErr;
  standin_tb::MarkDirty(view);  // what it showed
  auto& siblings = parent->m_Subviews;
  siblings.erase(std::find(siblings.begin(), siblings.end(), view));
  standin_tb::ForgetFocusWithin(view);
  view->m_Superview = nullptr;
  CFRelease(view);  // may free it
  return noErr;
}

HIViewRef HIViewGetSuperview(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->m_Superview : nullptr;
}

HIViewRef HIViewGetFirstSubview(HIViewRef inView) {
  if (inView == nullptr || standin_tb::View(inView)->m_Subviews.empty())
    return nullptr;
  return standin_tb::View(inView)->m_Subviews.front();
}

HIViewRef HIViewGetNextView(HIViewRef inView) {
  StandIn_ViewImpl* view = standin_tb::View(inView);
  if (view == nullptr || view->m_Superview == nullptr)
    return nullptr;
  auto& siblings = view->m_Superview->m_Subviews;
  auto next = std::find(siblings.begin(), siblings.end(), view) + 1;
  return next == siblings.end() ? nullptr : *next;
}

HIViewRef HIViewGetLastSubview(HIViewRef inView) {
  if (inView == nullptr || standin_tb::View(inView)->m_Subviews.empty())
    return nullptr;
  return standin_tb::View(inView)->m_Subviews.back();
}

HIViewRef HIViewGetPreviousView(HIViewRef inView) {
  StandIn_ViewImpl* view = standin_tb::View(inView);
  if (view == nullptr || view->m_Superview == nullptr)
    return nullptr;
  auto& siblings = view->m_Superview->m_Subviews;
  auto found = std::find(siblings.begin(), siblings.end(), view);
  return found == siblings.begin() || found == siblings.end() ? nullptr : *(found - 1);
}

long StandIn_HIViewSubviewCount(HIViewRef inView) {
  return inView ? static_cast<long>(standin_tb::View(inView)->m_Subviews.size()) : 0;
}

OSStatus HIViewGetFrame(HIViewRef inView, HIRect* outRect) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetFrame"))
    return err;
  if (inView == nullptr || outRect == nullptr)
    return paramErr;
  *outRect = standin_tb::View(inView)->m_Frame;
  return noErr;
}

namespace {

// Moves or resizes the view and tells it (kEventControlBoundsChanged) when the frame changed.
void ChangeFrame(StandIn_ViewImpl* view, const CGRect& frame) {
  const CGRect previous = view->m_Frame;
  const UInt32 attributes = (CGPointEqualToPoint(previous.origin, frame.origin) ? 0 : 1) |
                            (CGSizeEqualToSize(previous.size, frame.size) ? 0 : 2);
  if (attributes == 0)
    return;
  standin_tb::MarkDirty(view);  // where it was, then where it is
  view->m_Frame = frame;
  standin_tb::MarkDirty(view);
  CFRetain(view);
  standin_tb::EventHolder changed(kEventClassControl, kEventControlBoundsChanged);
  ControlRef control = view;
  changed.Set(kEventParamDirectObject, typeControlRef, control);
  changed.Set(kEventParamAttributes, typeUInt32, attributes);
  changed.Set(kEventParamPreviousBounds, typeHIRect, previous);
  changed.Set(kEventParamCurrentBounds, typeHIRect, frame);
  changed.SendTo(&view->StandInCore().target);
  CFRelease(view);
}

}  // namespace

OSStatus HIViewSetFrame(HIViewRef inView, const HIRect* inRect) {
  if (OSStatus err = standin_tb::EnterCall("HIViewSetFrame"))
    return err;
  if (inView == nullptr || inRect == nullptr)
    return paramErr;
  ChangeFrame(standin_tb::View(inView), *inRect);
  return noErr;
}

OSStatus HIViewGetBounds(HIViewRef inView, HIRect* outRect) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetBounds"))
    return err;
  if (inView == nullptr || outRect == nullptr)
    return paramErr;
  const CGRect& frame = standin_tb::View(inView)->m_Frame;
  *outRect = CGRectMake(0, 0, frame.size.width, frame.size.height);
  return noErr;
}

OSStatus HIViewPlaceInSuperviewAt(HIViewRef inView, CGFloat inX, CGFloat inY) {
  if (OSStatus err = standin_tb::EnterCall("HIViewPlaceInSuperviewAt"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  ChangeFrame(view, CGRectMake(inX, inY, view->m_Frame.size.width, view->m_Frame.size.height));
  return noErr;
}

OSStatus HIViewMoveBy(HIViewRef inView, CGFloat inDX, CGFloat inDY) {
  if (OSStatus err = standin_tb::EnterCall("HIViewMoveBy"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  const CGRect frame = view->m_Frame;
  ChangeFrame(view, CGRectMake(frame.origin.x + inDX, frame.origin.y + inDY, frame.size.width,
                               frame.size.height));
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
  view->m_NeedsDisplay = inNeedsDisplay;
  if (inNeedsDisplay) {
    ++view->m_DisplayRequests;
    standin_tb::MarkDirty(view);
  }
  return noErr;
}

Boolean HIViewGetNeedsDisplay(HIViewRef inView) {
  return inView && standin_tb::View(inView)->m_NeedsDisplay;
}

OSStatus HIViewSetVisible(HIViewRef inView, Boolean inVisible) {
  if (OSStatus err = standin_tb::EnterCall("HIViewSetVisible"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  if (view->m_Visible == (inVisible != 0))
    return noErr;
  // Hidden, it shows nothing to mark: mark what it showed before hiding it.
  if (!inVisible)
    standin_tb::MarkDirty(view);
  view->m_Visible = inVisible;
  standin_tb::MarkDirty(view);
  return noErr;
}

Boolean HIViewIsVisible(HIViewRef inView) {
  for (StandIn_ViewImpl* view = standin_tb::View(inView); view; view = view->m_Superview)
    if (!view->m_Visible)
      return false;
  return inView != nullptr;
}

Boolean HIViewIsLatentlyVisible(HIViewRef inView) {
  return inView && standin_tb::View(inView)->m_Visible;
}

OSStatus HIViewChangeFeatures(HIViewRef inView, HIViewFeatures inFeaturesToSet,
                              HIViewFeatures inFeaturesToClear) {
  if (OSStatus err = standin_tb::EnterCall("HIViewChangeFeatures"))
    return err;
  if (inView == nullptr)
    return paramErr;
  HIViewFeatures& features = standin_tb::View(inView)->m_Features;
  features = (features | inFeaturesToSet) & ~inFeaturesToClear;
  return noErr;
}

OSStatus HIViewGetFeatures(HIViewRef inView, HIViewFeatures* outFeatures) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetFeatures"))
    return err;
  if (inView == nullptr || outFeatures == nullptr)
    return paramErr;
  *outFeatures = standin_tb::View(inView)->m_Features;
  return noErr;
}

SInt32 GetControl32BitValue(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->m_Value : 0;
}

void SetControl32BitValue(ControlRef theControl, SInt32 newValue) {
  if (theControl)
    SetClampedValue(standin_tb::View(theControl), newValue);
}

SInt32 GetControl32BitMinimum(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->m_Minimum : 0;
}

void SetControl32BitMinimum(ControlRef theControl, SInt32 newMinimum) {
  if (theControl == nullptr)
    return;
  StandIn_ViewImpl* view = standin_tb::View(theControl);
  view->m_Minimum = newMinimum;
  view->m_Maximum = std::max(view->m_Maximum, newMinimum);
  standin_tb::MarkDirty(view);  // a value shown in proportion moves
  SetClampedValue(view, view->m_Value);
}

SInt32 GetControl32BitMaximum(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->m_Maximum : 0;
}

void SetControl32BitMaximum(ControlRef theControl, SInt32 newMaximum) {
  if (theControl == nullptr)
    return;
  StandIn_ViewImpl* view = standin_tb::View(theControl);
  view->m_Maximum = newMaximum;
  view->m_Minimum = std::min(view->m_Minimum, newMaximum);
  standin_tb::MarkDirty(view);
  SetClampedValue(view, view->m_Value);
}

OSStatus SetControlID(ControlRef inControl, const ControlID* inID) {
  if (OSStatus err = standin_tb::EnterCall("SetControlID"))
    return err;
  if (inControl == nullptr || inID == nullptr)
    return paramErr;
  standin_tb::View(inControl)->m_Id = *inID;
  return noErr;
}

OSStatus GetControlID(ControlRef inControl, ControlID* outID) {
  if (OSStatus err = standin_tb::EnterCall("GetControlID"))
    return err;
  if (inControl == nullptr || outID == nullptr)
    return paramErr;
  *outID = standin_tb::View(inControl)->m_Id;
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
  standin_tb::View(inControl)->m_Command = inCommandID;
  return noErr;
}

OSStatus GetControlCommandID(ControlRef inControl, UInt32* outCommandID) {
  if (OSStatus err = standin_tb::EnterCall("GetControlCommandID"))
    return err;
  if (inControl == nullptr || outCommandID == nullptr)
    return paramErr;
  *outCommandID = standin_tb::View(inControl)->m_Command;
  return noErr;
}

void SetControlReference(ControlRef theControl, SRefCon data) {
  if (theControl)
    standin_tb::View(theControl)->m_Reference = data;
}

SRefCon GetControlReference(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->m_Reference : 0;
}

void SetControlAction(ControlRef theControl, ControlActionUPP actionProc) {
  if (theControl)
    standin_tb::View(theControl)->m_Action = actionProc;
}

ControlActionUPP GetControlAction(ControlRef theControl) {
  return theControl ? standin_tb::View(theControl)->m_Action : nullptr;
}

OSStatus SetControlTitleWithCFString(ControlRef inControl, CFStringRef inString) {
  if (OSStatus err = standin_tb::EnterCall("SetControlTitleWithCFString"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->m_Title = standin_tb::Units(inString);
  standin_tb::MarkDirty(standin_tb::View(inControl));
  return noErr;
}

OSStatus CopyControlTitleAsCFString(ControlRef inControl, CFStringRef* outString) {
  if (OSStatus err = standin_tb::EnterCall("CopyControlTitleAsCFString"))
    return err;
  if (inControl == nullptr || outString == nullptr)
    return paramErr;
  *outString = new StandIn_CFString(standin_tb::View(inControl)->m_Title);
  return noErr;
}

OSStatus EnableControl(ControlRef inControl) {
  return SetViewState("EnableControl", inControl, &StandIn_ViewImpl::m_Enabled, true,
                      kEventControlEnabledStateChanged);
}

OSStatus DisableControl(ControlRef inControl) {
  return SetViewState("DisableControl", inControl, &StandIn_ViewImpl::m_Enabled, false,
                      kEventControlEnabledStateChanged);
}

Boolean IsControlEnabled(ControlRef inControl) {
  return inControl && standin_tb::View(inControl)->m_Enabled;
}

OSStatus ActivateControl(ControlRef inControl) {
  return SetViewState("ActivateControl", inControl, &StandIn_ViewImpl::m_Active, true,
                      kEventControlActivate);
}

OSStatus DeactivateControl(ControlRef inControl) {
  return SetViewState("DeactivateControl", inControl, &StandIn_ViewImpl::m_Active, false,
                      kEventControlDeactivate);
}

Boolean IsControlActive(ControlRef inControl) {
  return inControl && standin_tb::View(inControl)->m_Active;
}

void HiliteControl(ControlRef theControl, ControlPartCode hiliteState) {
  if (theControl == nullptr)
    return;
  StandIn_ViewImpl* view = standin_tb::View(theControl);
  const ControlPartCode previous = view->m_Hilite;
  if (previous == hiliteState)
    return;
  view->m_Hilite = hiliteState;
  standin_tb::MarkDirty(view);
  CFRetain(view);
  {
    standin_tb::EventHolder changed(kEventClassControl, kEventControlHiliteChanged);
    changed.Set(kEventParamDirectObject, typeControlRef, theControl);
    changed.Set(kEventParamControlPreviousPart, typeControlPartCode, previous);
    changed.Set(kEventParamControlCurrentPart, typeControlPartCode, hiliteState);
    changed.SendTo(&view->StandInCore().target);
  }
  CFRelease(view);
}

ControlPartCode GetControlHilite(ControlRef inControl) {
  return inControl ? standin_tb::View(inControl)->m_Hilite : 0;
}

OSStatus GetBestControlRect(ControlRef inControl, Rect* outRect, SInt16* outBaseLineOffset) {
  if (OSStatus err = standin_tb::EnterCall("GetBestControlRect"))
    return err;
  if (inControl == nullptr || outRect == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inControl);
  long width = static_cast<long>(view->m_Frame.size.width);
  long height = static_cast<long>(view->m_Frame.size.height);
  HIRect optimal{{0, 0}, {0, 0}};
  float baseline = 0;
  if (standin_tb::AskOptimalBounds(view, &optimal, &baseline)) {
    const short left = static_cast<short>(view->m_Frame.origin.x);
    const short top = static_cast<short>(view->m_Frame.origin.y);
    *outRect = Rect{top, left, static_cast<short>(top + optimal.size.height),
                    static_cast<short>(left + optimal.size.width)};
    if (outBaseLineOffset)
      *outBaseLineOffset = static_cast<SInt16>(baseline);
    return noErr;
  }
  const std::u16string text =
      view->m_Kind == "statictext" ? standin_tb::Units(view->m_Text.Get()) : view->m_Title;
  long margins = view->m_Kind == "push" || view->m_Kind == "bevel" ? 28
                 : view->m_Kind == "check"                         ? 22
                 : view->m_Kind == "statictext"                    ? 0
                                                                   : -1;
  CGSize best{0, 0};
  if (view->BestSize(&best)) {
    width = static_cast<long>(best.width);
    height = static_cast<long>(best.height);
  } else if (margins >= 0) {
    width = std::max(width, 7 * static_cast<long>(text.size()) + margins);
    height = 20;
  }
  const short left = static_cast<short>(view->m_Frame.origin.x);
  const short top = static_cast<short>(view->m_Frame.origin.y);
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
  return control ? standin_tb::View(control)->m_Menu.Get() : nullptr;
}

OSStatus StandIn_SetViewItems(ControlRef inControl, long count, const CFStringRef* titles) {
  if (inControl == nullptr || count < 0)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inControl);
  view->m_Items.clear();
  for (long i = 0; i < count; ++i)
    view->m_Items.push_back(standin_tb::Units(titles[i]));
  standin_tb::MarkDirty(view);
  return noErr;
}

long StandIn_ViewItemCount(ControlRef inControl) {
  return inControl ? static_cast<long>(standin_tb::View(inControl)->m_Items.size()) : 0;
}

CFStringRef StandIn_CopyViewContent(ControlRef inControl) {
  return inControl ? standin_tb::NewString(standin_tb::View(inControl)->m_Content) : nullptr;
}

long StandIn_BrowserColumnCount(ControlRef inControl) {
  return inControl ? static_cast<long>(standin_tb::View(inControl)->m_Columns.size()) : 0;
}

UInt32 StandIn_BrowserColumnProperty(ControlRef inControl, long index) {
  return standin_tb::View(inControl)->m_Columns.at(static_cast<std::size_t>(index)).property;
}

TXNObject HITextViewGetTXNObject(HIViewRef inTextView) {
  return inTextView ? standin_tb::View(inTextView)->m_TextObject.get() : nullptr;
}

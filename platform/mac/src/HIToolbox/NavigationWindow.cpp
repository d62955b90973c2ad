// A Navigation dialog as a window that a user at a display answers (see iStandInNavWindow.h).
#include "iStandInNavWindow.h"

#include "iStandInToolbox.h"

#include <CoreGraphics/CGContext.h>
#include <HIToolbox/Appearance.h>
#include <HIToolbox/Controls.h>
#include <HIToolbox/Events.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr UInt32 kUpCommand = 0x75702020;  // 'up  '
constexpr CGFloat kWidth = 480;
constexpr CGFloat kHeight = 340;
constexpr CGFloat kMargin = 16;
constexpr CGFloat kRowHeight = 18;
constexpr CGFloat kButtonWidth = 90;
constexpr CGFloat kButtonHeight = 20;
const CGRect kListFrame = CGRectMake(kMargin, 44, kWidth - 2 * kMargin, 236);

struct Entry {
  std::string name;
  std::string path;
  bool folder;
  bool choosable;
};

class NavWindow {
public:
  NavWindow(const StandIn_NavDialogTexts& texts,
            const std::function<bool(const std::string&)>& filterShows)
      : m_Texts(texts),
        m_FilterShows(filterShows) {}

  StandIn_NavAnswer Run(const std::string& start);

private:
  static OSStatus OnWindowEvent(EventHandlerCallRef, EventRef event, void* data);
  static OSStatus OnDraw(EventHandlerCallRef, EventRef event, void* data);
  OSStatus WindowEvent(EventRef event);
  void Draw(CGContextRef context) const;

  void Show(const std::string& folder);
  void Act();
  void Choose(const std::string& path);
  void Cancel();
  void Redraw() const { HIViewSetNeedsDisplay(m_List, true); }
  bool FolderDialog() const { return m_Texts.kind == StandIn_NavKind::ChooseFolder; }

  const StandIn_NavDialogTexts& m_Texts;
  const std::function<bool(const std::string&)>& m_FilterShows;
  WindowRef m_Window = nullptr;
  HIViewRef m_List = nullptr;
  HIViewRef m_Path = nullptr;
  std::string m_Folder;
  std::vector<Entry> m_Entries;
  long m_Selected = -1;
  long m_First = 0;  // the first row shown
  bool m_Done = false;
  StandIn_NavAnswer m_Answer;
};

HIViewRef AddView(WindowRef window, const char* kind, CGRect frame, const std::string& title,
                  UInt32 command) {
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  HIViewRef view = StandIn_NewView(kind, frame);
  if (view == nullptr)
    return nullptr;
  if (!title.empty()) {
    CFHeld<CFStringRef> text(
        CFStringCreateWithCString(nullptr, title.c_str(), kCFStringEncodingUTF8));
    SetControlTitleWithCFString(view, text.Get());
  }
  if (command)
    SetControlCommandID(view, command);
  HIViewAddSubview(content, view);
  CFRelease(view);  // the content view holds it
  return view;
}

void SetStaticText(HIViewRef view, const std::string& text) {
  CFHeld<CFStringRef> string(
      CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8));
  CFStringRef value = string.Get();
  SetControlData(view, 0, kControlStaticTextCFStringTag, sizeof value, &value);
}

void NavWindow::Show(const std::string& folder) {
  std::vector<Entry> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.')
      continue;
    std::error_code ignored;
    const bool isFolder = it->is_directory(ignored);
    const std::string path = it->path().string();
    const bool shown = m_FilterShows(path);
    const bool choosable = shown && (FolderDialog() ? isFolder : true);
    entries.push_back(Entry{name, path, isFolder, choosable});
    m_Answer.browsed.push_back(path);
  }
  if (error && !m_Folder.empty())
    return;  // an unreadable folder: stay where the user was
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.folder != b.folder ? a.folder : a.name < b.name;
  });
  m_Folder = folder;
  m_Entries = std::move(entries);
  m_Selected = -1;
  m_First = 0;
  SetStaticText(m_Path, m_Folder);
  Redraw();
}

void NavWindow::Choose(const std::string& path) {
  m_Answer.chosen = {path};
  m_Answer.cancel = false;
  m_Done = true;
}

void NavWindow::Cancel() {
  m_Answer.chosen.clear();
  m_Answer.cancel = true;
  m_Done = true;
}

void NavWindow::Act() {
  const Entry* selected =
      m_Selected >= 0 && m_Selected < long(m_Entries.size()) ? &m_Entries[m_Selected] : nullptr;
  if (FolderDialog()) {
    Choose(selected && selected->choosable ? selected->path : m_Folder);
    return;
  }
  if (selected == nullptr)
    return;
  if (selected->folder)
    Show(selected->path);
  else if (selected->choosable)
    Choose(selected->path);
}

OSStatus NavWindow::OnWindowEvent(EventHandlerCallRef, EventRef event, void* data) {
  return static_cast<NavWindow*>(data)->WindowEvent(event);
}

OSStatus NavWindow::WindowEvent(EventRef event) {
  switch (GetEventClass(event)) {
    case kEventClassCommand: {
      HICommand command{};
      GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command,
                        nullptr, &command);
      if (command.commandID == kHICommandOK)
        Act();
      else if (command.commandID == kHICommandCancel)
        Cancel();
      else if (command.commandID == kUpCommand)
        Show(std::filesystem::path(m_Folder).parent_path().string());
      else
        return eventNotHandledErr;
      return noErr;
    }
    case kEventClassKeyboard: {
      UInt32 code = 0;
      GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr,
                        &code);
      if (code == 36 || code == 76)
        Act();
      else if (code == kVK_Escape)
        Cancel();
      else if ((code == 125 || code == 126) && !m_Entries.empty()) {  // down, up
        m_Selected =
            std::clamp<long>(m_Selected + (code == 125 ? 1 : -1), 0, long(m_Entries.size()) - 1);
        Redraw();
      }
      return noErr;
    }
    default:
      break;
  }
  // The mouse: presses and the wheel over the list; elsewhere the buttons take them.
  HIPoint where{0, 0};
  GetEventParameter(event, kEventParamWindowMouseLocation, typeHIPoint, nullptr, sizeof where,
                    nullptr, &where);
  HIPoint inList = where;
  HIViewConvertPoint(&inList, nullptr, m_List);
  HIRect bounds{};
  HIViewGetBounds(m_List, &bounds);
  if (!CGRectContainsPoint(bounds, inList))
    return eventNotHandledErr;
  if (GetEventKind(event) == kEventMouseWheelMoved) {
    SInt32 delta = 0;
    GetEventParameter(event, kEventParamMouseWheelDelta, typeSInt32, nullptr, sizeof delta, nullptr,
                      &delta);
    const long rows = long(bounds.size.height / kRowHeight);
    m_First =
        std::clamp<long>(m_First - delta * 3, 0, std::max<long>(0, long(m_Entries.size()) - rows));
    Redraw();
    return noErr;
  }
  const long row = m_First + long(inList.y / kRowHeight);
  if (row >= long(m_Entries.size()))
    return noErr;
  UInt32 clicks = 1;
  GetEventParameter(event, kEventParamClickCount, typeUInt32, nullptr, sizeof clicks, nullptr,
                    &clicks);
  m_Selected = row;
  Redraw();
  if (clicks >= 2) {
    const Entry& entry = m_Entries[row];
    if (entry.folder && !FolderDialog())
      Show(entry.path);
    else if (entry.choosable)
      Choose(entry.path);
    else if (entry.folder)
      Show(entry.path);
  }
  return noErr;
}

OSStatus NavWindow::OnDraw(EventHandlerCallRef, EventRef event, void* data) {
  CGContextRef context = nullptr;
  GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context,
                    nullptr, &context);
  if (context)
    static_cast<NavWindow*>(data)->Draw(context);
  return noErr;
}

void NavWindow::Draw(CGContextRef context) const {
  HIRect bounds{};
  HIViewGetBounds(m_List, &bounds);
  CGContextSetRGBFillColor(context, 1, 1, 1, 1);
  CGContextFillRect(context, bounds);
  for (long row = m_First; row < long(m_Entries.size()); ++row) {
    const CGFloat top = (row - m_First) * kRowHeight;
    if (top >= bounds.size.height)
      break;
    const Entry& entry = m_Entries[row];
    if (row == m_Selected) {
      CGContextSetRGBFillColor(context, 0.22, 0.46, 0.84, 1);
      CGContextFillRect(context, CGRectMake(0, top, bounds.size.width, kRowHeight));
    }
    const std::string label = entry.folder ? entry.name + "/" : entry.name;
    CFHeld<CFStringRef> text(
        CFStringCreateWithCString(nullptr, label.c_str(), kCFStringEncodingUTF8));
    const Rect box{static_cast<short>(top + 1), 6, static_cast<short>(top + kRowHeight),
                   static_cast<short>(bounds.size.width - 6)};
    // The text takes the context's fill colour: white on the selection, grey when not chosen.
    const bool enabled = entry.choosable || entry.folder;
    const CGFloat ink = row == m_Selected ? 1 : enabled ? 0 : 0.55;
    CGContextSetRGBFillColor(context, ink, ink, ink, 1);
    DrawThemeTextBox(text.Get(), kThemeSystemFont,
                     enabled ? kThemeStateActive : kThemeStateInactive, false, &box, 0, context);
  }
  CGContextSetRGBStrokeColor(context, 0.55, 0.55, 0.55, 1);
  CGContextStrokeRect(context, CGRectInset(bounds, 0.5, 0.5));
}

StandIn_NavAnswer NavWindow::Run(const std::string& start) {
  Rect place{0, 0, static_cast<short>(kHeight), static_cast<short>(kWidth)};
  if (CreateNewWindow(kMovableModalWindowClass, kWindowStandardHandlerAttribute, &place,
                      &m_Window) != noErr) {
    Cancel();
    return m_Answer;
  }
  const std::string title = !m_Texts.windowTitle.empty() ? m_Texts.windowTitle
                            : FolderDialog()             ? "Choose a Folder"
                                                         : "Open";
  CFHeld<CFStringRef> windowTitle(
      CFStringCreateWithCString(nullptr, title.c_str(), kCFStringEncodingUTF8));
  SetWindowTitleWithCFString(m_Window, windowTitle.Get());
  m_Path = AddView(m_Window, "statictext",
                   CGRectMake(kMargin + 60, 14, kWidth - 2 * kMargin - 60, 20), "", 0);
  AddView(m_Window, "push", CGRectMake(kMargin, 12, 50, kButtonHeight), "Up", kUpCommand);
  m_List = AddView(m_Window, "userpane", kListFrame, "", 0);
  const CGFloat buttonTop = kHeight - kMargin - kButtonHeight;
  const std::string action = !m_Texts.actionButtonLabel.empty() ? m_Texts.actionButtonLabel
                             : FolderDialog()                   ? "Choose"
                                                                : "Open";
  AddView(m_Window, "push",
          CGRectMake(kWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight),
          action, kHICommandOK);
  AddView(
      m_Window, "push",
      CGRectMake(kWidth - kMargin - 2 * kButtonWidth - 12, buttonTop, kButtonWidth, kButtonHeight),
      "Cancel", kHICommandCancel);
  const EventTypeSpec windowTypes[] = {{kEventClassCommand, kEventCommandProcess},
                                       {kEventClassKeyboard, kEventRawKeyDown},
                                       {kEventClassMouse, kEventMouseDown},
                                       {kEventClassMouse, kEventMouseWheelMoved}};
  EventHandlerRef windowHandler = nullptr;
  InstallEventHandler(GetWindowEventTarget(m_Window), &NavWindow::OnWindowEvent, 4, windowTypes,
                      this, &windowHandler);
  const EventTypeSpec drawType{kEventClassControl, kEventControlDraw};
  EventHandlerRef drawHandler = nullptr;
  InstallEventHandler(GetControlEventTarget(m_List), &NavWindow::OnDraw, 1, &drawType, this,
                      &drawHandler);
  Show(start);
  RepositionWindow(m_Window, nullptr, kWindowAlertPositionOnMainScreen);
  ShowWindow(m_Window);
  StandIn_Input input;
  while (!m_Done && standin_tb::NextModalInput(input))
    StandIn_DeliverInput(input);
  if (!m_Done)
    Cancel();
  RemoveEventHandler(drawHandler);
  RemoveEventHandler(windowHandler);
  DisposeWindow(m_Window);
  return m_Answer;
}

}  // namespace

StandIn_NavAnswer
standin_tb::RunNavWindow(const StandIn_NavDialogTexts& texts, const std::string& start,
                         const std::function<bool(const std::string&)>& filterShows) {
  NavWindow window(texts, filterShows);
  return window.Run(start);
}

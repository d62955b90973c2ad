// Nib files of the Mac stand-in (see HIToolbox/IBCarbonRuntime.h).
#include <HIToolbox/IBCarbonRuntime.h>

#include "iStandInToolbox.h"

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFURL.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

long g_liveNibs = 0;

struct NibView {
  std::string kind;     // nib kind, or empty for a class
  std::string classID;  // a registered subclass
  ControlID id{0, 0};
  UInt32 command = 0;
  CGRect frame{{0, 0}, {0, 0}};
  bool hasValue = false;
  SInt32 value = 0;
  SInt32 minimum = 0;
  SInt32 maximum = 0;
  std::string title;
  std::vector<std::string> items;
  std::string content;
  struct Column {
    UInt32 property;
    std::string title;
    OSType type;
    UInt16 width;
  };
  std::vector<Column> columns;
  std::vector<NibView> children;
};

struct NibWindow {
  std::string name;
  WindowClass windowClass = kDocumentWindowClass;
  WindowAttributes attributes = 0;
  Rect bounds{0, 0, 100, 100};
  std::string title;
  bool hasLimits = false;
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  std::vector<NibView> views;
};

struct NibMenu {
  struct Item {
    std::string text;
    MenuCommand command = 0;
    bool checked = false;
    bool disabled = false;
    bool separator = false;
    std::string key;  // the key equivalent's character, empty for none
    UInt8 keyModifiers = kMenuNoModifiers;
    std::shared_ptr<NibMenu> submenu;
  };
  std::string name;
  std::vector<Item> items;
};

// One line's tokens.
struct Token {
  enum Kind {
    kWord,
    kText,
    kCode,
    kNumber
  } kind;
  std::string text;
  double number = 0;
  UInt32 code = 0;
};

bool Tokenize(const std::string& line, std::vector<Token>* tokens, std::string* why) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '"') {
      std::string text;
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
          ++i;
          text += line[i] == 'n' ? '\n' : line[i];
        } else {
          text += line[i];
        }
      }
      if (i >= line.size()) {
        *why = "unterminated text";
        return false;
      }
      ++i;
      tokens->push_back({Token::kText, text});
    } else if (c == '\'') {
      if (i + 5 >= line.size() + 0 || line[i + 5] != '\'') {
        *why = "a code is four characters between single quotes";
        return false;
      }
      UInt32 code = 0;
      for (std::size_t k = 1; k <= 4; ++k)
        code = (code << 8) | static_cast<unsigned char>(line[i + k]);
      tokens->push_back({Token::kCode, line.substr(i + 1, 4), 0, code});
      i += 6;
    } else {
      std::size_t end = line.find_first_of(" \t\r", i);
      if (end == std::string::npos)
        end = line.size();
      std::string word = line.substr(i, end - i);
      i = end;
      char* rest = nullptr;
      const double number = std::strtod(word.c_str(), &rest);
      if (rest && *rest == '\0' && !word.empty() &&
          (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-'))
        tokens->push_back({Token::kNumber, word, number});
      else
        tokens->push_back({Token::kWord, word});
    }
  }
  return true;
}

class Parser {
public:
  explicit Parser(std::istream& in) : m_In(in) {}

  bool Parse(std::vector<NibWindow>* windows,
             std::map<std::string, std::shared_ptr<NibMenu>>* menus,
             std::map<std::string, std::shared_ptr<NibMenu>>* menubars) {
    std::vector<Token> line;
    while (Next(&line)) {
      if (IsWord(line, 0, "window") && Is(line, 1, Token::kText) && line.size() == 2) {
        NibWindow window;
        window.name = line[1].text;
        if (!ParseWindow(&window))
          return false;
        windows->push_back(window);
      } else if ((IsWord(line, 0, "menubar") || IsWord(line, 0, "menu")) &&
                 Is(line, 1, Token::kText) && line.size() == 2) {
        auto menu = std::make_shared<NibMenu>();
        menu->name = line[1].text;
        if (!ParseMenu(menu.get()))
          return false;
        (line[0].text == "menubar" ? *menubars : *menus)[menu->name] = menu;
      } else {
        return Fail("expected window, menubar or menu");
      }
    }
    return m_Why.empty();
  }

  std::string Why() const { return "line " + std::to_string(m_Line) + ": " + m_Why; }

private:
  static bool Is(const std::vector<Token>& line, std::size_t i, Token::Kind kind) {
    return i < line.size() && line[i].kind == kind;
  }
  static bool IsWord(const std::vector<Token>& line, std::size_t i, const char* word) {
    return Is(line, i, Token::kWord) && line[i].text == word;
  }
  static bool Numbers(const std::vector<Token>& line, std::size_t count) {
    if (line.size() != count + 1)
      return false;
    for (std::size_t i = 1; i <= count; ++i)
      if (!Is(line, i, Token::kNumber))
        return false;
    return true;
  }

  bool Fail(const std::string& why) {
    if (m_Why.empty())
      m_Why = why;
    return false;
  }

  bool Next(std::vector<Token>* tokens) {
    std::string text;
    while (m_Why.empty() && std::getline(m_In, text)) {
      ++m_Line;
      std::size_t first = text.find_first_not_of(" \t\r");
      if (first == std::string::npos || text[first] == '#')
        continue;
      tokens->clear();
      if (!Tokenize(text, tokens, &m_Why))
        return false;
      return true;
    }
    return false;
  }

  bool ParseWindow(NibWindow* window) {
    static const std::map<std::string, WindowClass> classes{
        {"document", kDocumentWindowClass}, {"floating", kFloatingWindowClass},
        {"sheet", kSheetWindowClass},       {"plain", kPlainWindowClass},
        {"modal", kModalWindowClass},       {"movablemodal", kMovableModalWindowClass},
        {"alert", kAlertWindowClass},       {"movablealert", kMovableAlertWindowClass},
        {"utility", kUtilityWindowClass},   {"toolbar", kToolbarWindowClass}};
    static const std::map<std::string, WindowAttributes> attributes{
        {"close", kWindowCloseBoxAttribute},
        {"collapse", kWindowCollapseBoxAttribute},
        {"resizable", kWindowResizableAttribute},
        {"fullzoom", kWindowFullZoomAttribute},
        {"compositing", kWindowCompositingAttribute},
        {"standardhandler", kWindowStandardHandlerAttribute},
        {"liveresize", kWindowLiveResizeAttribute},
        {"noactivates", kWindowNoActivatesAttribute}};
    std::vector<Token> line;
    while (Next(&line)) {
      if (IsWord(line, 0, "end") && line.size() == 1)
        return true;
      if (IsWord(line, 0, "class") && Is(line, 1, Token::kWord) && classes.count(line[1].text)) {
        window->windowClass = classes.at(line[1].text);
      } else if (IsWord(line, 0, "attributes")) {
        for (std::size_t i = 1; i < line.size(); ++i) {
          if (!Is(line, i, Token::kWord) || !attributes.count(line[i].text))
            return Fail("unknown window attribute");
          window->attributes |= attributes.at(line[i].text);
        }
      } else if (IsWord(line, 0, "bounds") && Numbers(line, 4)) {
        window->bounds =
            Rect{static_cast<short>(line[1].number), static_cast<short>(line[2].number),
                 static_cast<short>(line[3].number), static_cast<short>(line[4].number)};
      } else if (IsWord(line, 0, "title") && Is(line, 1, Token::kText) && line.size() == 2) {
        window->title = line[1].text;
      } else if (IsWord(line, 0, "limits") && Numbers(line, 4)) {
        window->hasLimits = true;
        window->minimum =
            CGSizeMake(static_cast<CGFloat>(line[1].number), static_cast<CGFloat>(line[2].number));
        window->maximum =
            CGSizeMake(static_cast<CGFloat>(line[3].number), static_cast<CGFloat>(line[4].number));
      } else if (IsWord(line, 0, "view")) {
        NibView view;
        if (!StartView(line, &view) || !ParseView(&view))
          return Fail("malformed view");
        window->views.push_back(view);
      } else {
        return Fail("unknown window line");
      }
    }
    return Fail("window without end");
  }

  bool StartView(const std::vector<Token>& line, NibView* view) {
    if (line.size() == 2 && Is(line, 1, Token::kWord)) {
      view->kind = line[1].text;
      HIViewRef probe = StandIn_NewView(view->kind.c_str(), CGRect{});
      if (probe == nullptr)
        return Fail("unknown view kind " + view->kind);
      CFRelease(probe);
      return true;
    }
    if (line.size() == 3 && IsWord(line, 1, "class") && Is(line, 2, Token::kText)) {
      view->classID = line[2].text;
      return true;
    }
    return Fail("a view names a kind or a class");
  }

  bool ParseView(NibView* view) {
    std::vector<Token> line;
    while (Next(&line)) {
      if (IsWord(line, 0, "end") && line.size() == 1)
        return true;
      if (IsWord(line, 0, "id") && line.size() == 3 && Is(line, 1, Token::kCode) &&
          Is(line, 2, Token::kNumber)) {
        view->id = ControlID{line[1].code, static_cast<SInt32>(line[2].number)};
      } else if (IsWord(line, 0, "command") && line.size() == 2 && Is(line, 1, Token::kCode)) {
        view->command = line[1].code;
      } else if (IsWord(line, 0, "frame") && Numbers(line, 4)) {
        view->frame =
            CGRectMake(static_cast<CGFloat>(line[1].number), static_cast<CGFloat>(line[2].number),
                       static_cast<CGFloat>(line[3].number), static_cast<CGFloat>(line[4].number));
      } else if (IsWord(line, 0, "value") && Numbers(line, 3)) {
        view->hasValue = true;
        view->value = static_cast<SInt32>(line[1].number);
        view->minimum = static_cast<SInt32>(line[2].number);
        view->maximum = static_cast<SInt32>(line[3].number);
      } else if (IsWord(line, 0, "title") && line.size() == 2 && Is(line, 1, Token::kText)) {
        view->title = line[1].text;
      } else if (IsWord(line, 0, "item") && line.size() == 2 && Is(line, 1, Token::kText)) {
        view->items.push_back(line[1].text);
      } else if (IsWord(line, 0, "content") && line.size() == 2 && Is(line, 1, Token::kText)) {
        view->content = line[1].text;
      } else if (IsWord(line, 0, "column") && line.size() >= 3 && Is(line, 1, Token::kCode) &&
                 Is(line, 2, Token::kText)) {
        if (!ParseColumn(line, view))
          return false;
      } else if (IsWord(line, 0, "view")) {
        NibView child;
        if (!StartView(line, &child) || !ParseView(&child))
          return false;
        view->children.push_back(child);
      } else {
        return Fail("unknown view line");
      }
    }
    return Fail("view without end");
  }

  // column 'prop' "Title" [text|icontext|check|time|custom] [width]: text and 100 by default.
  bool ParseColumn(const std::vector<Token>& line, NibView* view) {
    static const std::map<std::string, OSType> kinds{{"text", 0x74657874},
                                                     {"icontext", 0x7469636e},
                                                     {"check", 0x63686278},
                                                     {"time", 0x64617465},
                                                     {"custom", 0x3f3f3f3f}};
    NibView::Column column{line[1].code, line[2].text, kinds.at("text"), 100};
    std::size_t next = 3;
    if (Is(line, next, Token::kWord)) {
      if (!kinds.count(line[next].text))
        return Fail("unknown column kind " + line[next].text);
      column.type = kinds.at(line[next++].text);
    }
    if (Is(line, next, Token::kNumber)) {
      if (line[next].number < 1 || line[next].number > 32767)
        return Fail("a column is 1 to 32767 wide");
      column.width = static_cast<UInt16>(line[next++].number);
    }
    if (next != line.size())
      return Fail("malformed column");
    view->columns.push_back(column);
    return true;
  }

  // The modifiers a key equivalent takes besides the Command key.
  static bool AddKeyModifier(const std::vector<Token>& line, std::size_t i, UInt8* modifiers) {
    static const std::pair<const char*, UInt8> kModifiers[] = {
        {"shift", kMenuShiftModifier},
        {"option", kMenuOptionModifier},
        {"control", kMenuControlModifier},
        {"nocommand", kMenuNoCommandModifier}};
    for (const auto& modifier : kModifiers)
      if (IsWord(line, i, modifier.first)) {
        *modifiers = static_cast<UInt8>(*modifiers | modifier.second);
        return true;
      }
    return false;
  }

  bool ParseMenu(NibMenu* menu) {
    std::vector<Token> line;
    while (Next(&line)) {
      if (IsWord(line, 0, "end") && line.size() == 1)
        return true;
      if (IsWord(line, 0, "item") && Is(line, 1, Token::kText)) {
        NibMenu::Item item;
        item.text = line[1].text;
        for (std::size_t i = 2; i < line.size(); ++i) {
          if (Is(line, i, Token::kCode))
            item.command = line[i].code;
          else if (IsWord(line, i, "checked"))
            item.checked = true;
          else if (IsWord(line, i, "disabled"))
            item.disabled = true;
          else if (IsWord(line, i, "key") && Is(line, i + 1, Token::kText) &&
                   !line[i + 1].text.empty())
            item.key = line[++i].text;
          else if (!AddKeyModifier(line, i, &item.keyModifiers))
            return Fail("unknown menu item word");
        }
        menu->items.push_back(item);
      } else if (IsWord(line, 0, "separator") && line.size() == 1) {
        NibMenu::Item item;
        item.separator = true;
        menu->items.push_back(item);
      } else if (IsWord(line, 0, "menu") && line.size() == 2 && Is(line, 1, Token::kText)) {
        NibMenu::Item item;
        item.text = line[1].text;
        item.submenu = std::make_shared<NibMenu>();
        item.submenu->name = item.text;
        if (!ParseMenu(item.submenu.get()))
          return false;
        menu->items.push_back(item);
      } else {
        return Fail("unknown menu line");
      }
    }
    return Fail("menu without end");
  }

  std::istream& m_In;
  long m_Line = 0;
  std::string m_Why;
};

CFStringRef NewUnits(const std::string& utf8) {
  return standin_tb::NewString(utf8);
}

OSStatus BuildView(const NibView& def, HIViewRef parent) {
  HIViewRef view = nullptr;
  if (!def.classID.empty()) {
    CFHeld<CFStringRef> classID(NewUnits(def.classID));
    HIObjectRef object = nullptr;
    if (OSStatus err = HIObjectCreate(classID.Get(), nullptr, &object))
      return err;
    view = dynamic_cast<StandIn_HIView*>(object);
    if (view == nullptr) {
      CFRelease(object);
      return kIBCarbonRuntimeObjectNotOfRequestedType;
    }
    HIViewSetFrame(view, &def.frame);
  } else {
    view = StandIn_NewView(def.kind.c_str(), def.frame);
  }
  CFHeld<HIViewRef> held(view);
  StandIn_ViewImpl* impl = standin_tb::View(view);
  impl->m_Id = def.id;
  impl->m_Command = def.command;
  CFHeld<CFStringRef> title(NewUnits(def.title));
  impl->m_Title = standin_tb::Units(title.Get());
  for (const std::string& item : def.items) {
    CFHeld<CFStringRef> text(NewUnits(item));
    impl->m_Items.push_back(standin_tb::Units(text.Get()));
    if (MenuRef menu = impl->m_Menu.Get())
      AppendMenuItemTextWithCFString(menu, text.Get(), 0, 0, nullptr);
  }
  if (!def.items.empty() &&
      (impl->m_Kind == "popup" || impl->m_Kind == "tab" || impl->m_Kind == "segmented")) {
    impl->m_Minimum = impl->m_Kind == "popup" ? 0 : 1;
    impl->m_Maximum = static_cast<SInt32>(def.items.size());
    impl->m_Value = 1;
  }
  if (def.hasValue) {
    impl->m_Minimum = def.minimum;
    impl->m_Maximum = def.maximum;
    impl->m_Value = def.value;
  }
  impl->m_Content = def.content;
  if (impl->m_Kind == "statictext")
    impl->m_Text.Reset(NewUnits(def.content));
  if (TXNObject text = impl->m_TextObject.get()) {
    CFHeld<CFStringRef> content(NewUnits(def.content));
    text->text = standin_tb::Units(content.Get());
  }
  for (const auto& column : def.columns) {
    CFHeld<CFStringRef> text(NewUnits(column.title));
    impl->m_Columns.push_back(
        {column.property, standin_tb::Units(text.Get()), column.type, column.width});
  }
  for (const NibView& child : def.children)
    if (OSStatus err = BuildView(child, view))
      return err;
  return HIViewAddSubview(parent, view);
}

OSStatus BuildMenu(const NibMenu& def, MenuRef* outMenu) {
  MenuRef menu = nullptr;
  if (OSStatus err = CreateNewMenu(0, 0, &menu))
    return err;
  CFHeld<MenuRef> held(menu);
  CFHeld<CFStringRef> title(NewUnits(def.name));
  SetMenuTitleWithCFString(menu, title.Get());
  for (const NibMenu::Item& item : def.items) {
    CFHeld<CFStringRef> text(NewUnits(item.text));
    MenuItemIndex index = 0;
    const MenuItemAttributes attributes = item.separator ? kMenuItemAttrSeparator : 0u;
    AppendMenuItemTextWithCFString(menu, text.Get(), attributes, item.command, &index);
    CheckMenuItem(menu, index, item.checked);
    if (!item.key.empty()) {
      CFHeld<CFStringRef> key(NewUnits(item.key));
      SetItemCmd(menu, index, standin_tb::Units(key.Get()).front());
    }
    SetMenuItemModifiers(menu, index, item.keyModifiers);
    if (item.disabled)
      DisableMenuItem(menu, index);
    if (item.submenu) {
      MenuRef submenu = nullptr;
      if (OSStatus err = BuildMenu(*item.submenu, &submenu))
        return err;
      SetMenuItemHierarchicalMenu(menu, index, submenu);
      CFRelease(submenu);
    }
  }
  CFRetain(menu);
  *outMenu = menu;
  return noErr;
}

}  // namespace

class StandIn_Nib : public StandIn_CFObject {
public:
  StandIn_Nib() : StandIn_CFObject(standin_tb::HIObjectTypeID()) { ++g_liveNibs; }
  ~StandIn_Nib() override { --g_liveNibs; }

  std::vector<NibWindow> m_Windows;
  std::map<std::string, std::shared_ptr<NibMenu>> m_Menus;
  std::map<std::string, std::shared_ptr<NibMenu>> m_Menubars;
};

OSStatus CreateNibReferenceWithCFBundle(CFBundleRef inBundle, CFStringRef inNibName,
                                        IBNibRef* outNibRef) {
  if (outNibRef == nullptr || inNibName == nullptr)
    return paramErr;
  *outNibRef = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateNibReference"))
    return err;
  CFHeld<CFStringRef> type(NewUnits("nib"));
  CFHeld<CFURLRef> url(CFBundleCopyResourceURL(inBundle, inNibName, type.Get(), nullptr));
  if (url.Get() == nullptr)
    return kIBCarbonRuntimeCantFindNibFile;
  char path[2048];
  if (!CFURLGetFileSystemRepresentation(url.Get(), true, reinterpret_cast<UInt8*>(path),
                                        sizeof path))
    return kIBCarbonRuntimeCantFindNibFile;
  std::ifstream in(path);
  if (!in)
    return kIBCarbonRuntimeCantFindNibFile;
  auto nib = new StandIn_Nib;
  Parser parser(in);
  if (!parser.Parse(&nib->m_Windows, &nib->m_Menus, &nib->m_Menubars)) {
    std::fprintf(stderr, "nib stand-in: %s: %s\n", path, parser.Why().c_str());
    CFRelease(nib);
    return kIBCarbonRuntimeCantFindNibFile;
  }
  *outNibRef = nib;
  return noErr;
}

OSStatus CreateNibReference(CFStringRef inNibName, IBNibRef* outNibRef) {
  return CreateNibReferenceWithCFBundle(CFBundleGetMainBundle(), inNibName, outNibRef);
}

void DisposeNibReference(IBNibRef inNibRef) {
  if (inNibRef)
    CFRelease(inNibRef);
}

OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef* outWindow) {
  if (outWindow == nullptr || inNibRef == nullptr || inName == nullptr)
    return paramErr;
  *outWindow = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateWindowFromNib"))
    return err;
  const std::string name = standin_tb::Utf8(inName);
  for (const NibWindow& def : inNibRef->m_Windows) {
    if (def.name != name)
      continue;
    WindowRef window = nullptr;
    if (OSStatus err = CreateNewWindow(def.windowClass, def.attributes, &def.bounds, &window))
      return err;
    CFHeld<CFStringRef> title(NewUnits(def.title));
    SetWindowTitleWithCFString(window, title.Get());
    if (def.hasLimits)
      SetWindowResizeLimits(window, &def.minimum, &def.maximum);
    HIViewRef content = standin_tb::ContentView(window);
    for (const NibView& view : def.views) {
      if (OSStatus err = BuildView(view, content)) {
        DisposeWindow(window);
        return err;
      }
    }
    *outWindow = window;
    return noErr;
  }
  return kIBCarbonRuntimeCantFindObject;
}

OSStatus CreateMenuFromNib(IBNibRef inNibRef, CFStringRef inName, MenuRef* outMenuRef) {
  if (OSStatus err = standin_tb::EnterCall("CreateMenuFromNib"))
    return err;
  if (outMenuRef == nullptr || inNibRef == nullptr || inName == nullptr)
    return paramErr;
  *outMenuRef = nullptr;
  auto found = inNibRef->m_Menus.find(standin_tb::Utf8(inName));
  if (found == inNibRef->m_Menus.end())
    return kIBCarbonRuntimeCantFindObject;
  return BuildMenu(*found->second, outMenuRef);
}

OSStatus SetMenuBarFromNib(IBNibRef inNibRef, CFStringRef inName) {
  if (OSStatus err = standin_tb::EnterCall("SetMenuBarFromNib"))
    return err;
  if (inNibRef == nullptr || inName == nullptr)
    return paramErr;
  auto found = inNibRef->m_Menubars.find(standin_tb::Utf8(inName));
  if (found == inNibRef->m_Menubars.end())
    return kIBCarbonRuntimeCantFindObject;
  MenuRef root = nullptr;
  if (OSStatus err = BuildMenu(*found->second, &root))
    return err;
  SetRootMenu(root);
  CFRelease(root);
  return noErr;
}

long StandIn_NibLiveCount() {
  return g_liveNibs;
}

CFArrayRef StandIn_CopyNibWindowNames(IBNibRef inNibRef) {
  CFMutableArrayRef names = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  for (const NibWindow& window : inNibRef->m_Windows) {
    CFHeld<CFStringRef> name(NewUnits(window.name));
    CFArrayAppendValue(names, name.Get());
  }
  return names;
}

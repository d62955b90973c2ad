// Drawing of the menu bar and of menus, and their geometry (see HIToolbox/StandInScreen.h).
#include <HIToolbox/StandInScreen.h>

#include "iStandInToolbox.h"

#include "../Appearance/iStandInTheme.h"
#include "../CoreGraphics/iStandInCG.h"

#include <CoreGraphics/CGDirectDisplay.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace standin_theme;

constexpr CGFloat kItemHeight = 19;
constexpr CGFloat kSeparatorHeight = 10;
constexpr CGFloat kMargin = 4;  // above the first item and below the last
constexpr CGFloat kMarkColumn = 20;
constexpr CGFloat kKeyGap = 24;  // between an item's text and its key equivalent
constexpr CGFloat kRightMargin = 12;
constexpr CGFloat kMinimumWidth = 100;
constexpr CGFloat kTitleLeft = 10;
constexpr CGFloat kTitlePadding = 20;

std::u16string MarkText(CharParameter mark) {
  switch (mark) {
    case noMark:
      return u"";
    case checkMark:
      return u"\u2713";
    case 0x13:  // diamond
      return u"\u25C6";
    case 0xA5:  // bullet, as Mac Roman codes it
      return u"\u2022";
    default:
      return mark >= 0x20 ? std::u16string(1, static_cast<char16_t>(mark)) : u"";
  }
}

// The key equivalent as the menu shows it: the modifiers' glyphs, then the character.
std::u16string KeyText(const standin_tb::MenuItemLook& item) {
  if (item.key == 0)
    return u"";
  std::u16string text;
  if (item.keyModifiers & kMenuControlModifier)
    text += u"\u2303";
  if (item.keyModifiers & kMenuOptionModifier)
    text += u"\u2325";
  if (item.keyModifiers & kMenuShiftModifier)
    text += u"\u21E7";
  if (!(item.keyModifiers & kMenuNoCommandModifier))
    text += u"\u2318";
  const char16_t key = item.key >= u'a' && item.key <= u'z'
                           ? static_cast<char16_t>(item.key - u'a' + u'A')
                           : static_cast<char16_t>(item.key);
  return text + key;
}

struct MenuLayout {
  CGSize size{0, 0};
  std::vector<CGRect> rows;
};

MenuLayout LayOut(const standin_tb::MenuLook& look) {
  MenuLayout layout;
  CGFloat textWidth = 0;
  CGFloat keyWidth = 0;
  for (const standin_tb::MenuItemLook& item : look.items) {
    textWidth = std::max<CGFloat>(textWidth, std::ceil(TextWidth(item.text, kMenuSize)));
    keyWidth = std::max<CGFloat>(keyWidth,
                                 item.submenu ? 8 : std::ceil(TextWidth(KeyText(item), kMenuSize)));
  }
  const CGFloat width = std::max<CGFloat>(
      kMinimumWidth,
      1 + kMarkColumn + textWidth + (keyWidth > 0 ? kKeyGap + keyWidth : 0) + kRightMargin + 1);
  CGFloat top = 1 + kMargin;
  for (const standin_tb::MenuItemLook& item : look.items) {
    const CGFloat height = item.separator ? kSeparatorHeight : kItemHeight;
    layout.rows.push_back(CGRectMake(1, top, width - 2, height));
    top += height;
  }
  layout.size = CGSizeMake(width, top + kMargin + 1);
  return layout;
}

void DrawMenu(CGContextRef context, const standin_tb::MenuLook& look, const MenuLayout& layout,
              MenuItemIndex highlighted) {
  const CGRect whole = CGRectMake(0, 0, layout.size.width, layout.size.height);
  Fill(context, whole, kMenu);
  Frame(context, whole, kFrameDisabled);
  for (std::size_t i = 0; i < look.items.size(); ++i) {
    const standin_tb::MenuItemLook& item = look.items[i];
    const CGRect row = layout.rows[i];
    if (item.separator) {
      Fill(context, CGRectMake(row.origin.x, std::floor(CGRectGetMidY(row)), row.size.width, 1),
           kFrameDisabled);
      continue;
    }
    UInt32 text = item.enabled ? kText : kTextDisabled;
    if (highlighted == i + 1 && item.enabled) {
      Fill(context, row, kSelection);
      text = kSelectedText;
    }
    Text(context, MarkText(item.mark),
         CGRectMake(row.origin.x, row.origin.y, kMarkColumn, row.size.height), kMenuSize, text,
         Align::kCentre);
    const CGRect right =
        CGRectMake(row.origin.x, row.origin.y, row.size.width - kRightMargin, row.size.height);
    if (item.submenu) {
      Triangle(context, CGRectMake(CGRectGetMaxX(right) - 6, CGRectGetMidY(row) - 4, 6, 8),
               Direction::kRight, text);
    } else {
      Text(context, KeyText(item), right, kMenuSize, text, Align::kRight);
    }
    Text(context, item.text,
         CGRectMake(row.origin.x + kMarkColumn, row.origin.y,
                    row.size.width - kMarkColumn - kRightMargin, row.size.height),
         kMenuSize, text);
  }
}

// The titles of the menu bar, from the root menu.
std::vector<std::u16string> MenuBarTitles() {
  std::vector<std::u16string> titles;
  for (const standin_tb::MenuItemLook& item : standin_tb::LookOf(standin_tb::RootMenuOf()).items) {
    const std::u16string title = item.submenu ? standin_tb::LookOf(item.submenu).title : u"";
    titles.push_back(title.empty() ? item.text : title);
  }
  return titles;
}

std::vector<CGRect> TitleBoxes(const std::vector<std::u16string>& titles, CGFloat height) {
  std::vector<CGRect> boxes;
  CGFloat x = kTitleLeft;
  for (const std::u16string& title : titles) {
    const CGFloat width = std::ceil(TextWidth(title, kMenuSize)) + kTitlePadding;
    boxes.push_back(CGRectMake(x, 0, width, height));
    x += width;
  }
  return boxes;
}

// A new surface of the size with a context drawing into it, y down from its top left.
struct Canvas {
  standin_cg::SurfacePtr surface;
  CGContextRef context = nullptr;

  explicit Canvas(CGSize size)
      : surface(cairo_image_surface_create(
            CAIRO_FORMAT_ARGB32, static_cast<int>(std::clamp<CGFloat>(size.width, 1, 32767)),
            static_cast<int>(std::clamp<CGFloat>(size.height, 1, 32767)))) {
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
      return;
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    context = standin_cg::NewSurfaceContext(surface.get(), identity,
                                            CGRectMake(0, 0, size.width, size.height));
  }
  ~Canvas() { CGContextRelease(context); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // The surface, handed over.
  _cairo_surface* Take() {
    CGContextRelease(context);
    context = nullptr;
    cairo_surface_flush(surface.get());
    return surface.release();
  }
};

}  // namespace

_cairo_surface* StandIn_CopyMenuBarImage(MenuItemIndex highlighted) {
  const StandIn_Screen screen = StandIn_MainScreen();
  const CGFloat height = screen.menuBarHeight;
  Canvas canvas(CGSizeMake(screen.width, height));
  if (canvas.context == nullptr)
    return nullptr;
  Fill(canvas.context, CGRectMake(0, 0, screen.width, height), kMenu);
  Fill(canvas.context, CGRectMake(0, height - 1, screen.width, 1), kFrameDisabled);
  const std::vector<std::u16string> titles = MenuBarTitles();
  const std::vector<CGRect> boxes = TitleBoxes(titles, height - 1);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    UInt32 text = kText;
    if (highlighted == i + 1) {
      Fill(canvas.context, boxes[i], kSelection);
      text = kSelectedText;
    }
    Text(canvas.context, titles[i], boxes[i], kMenuSize, text, Align::kCentre);
  }
  return canvas.Take();
}

HIRect StandIn_MenuBarTitleBounds(MenuItemIndex index) {
  const std::vector<CGRect> boxes =
      TitleBoxes(MenuBarTitles(), StandIn_MainScreen().menuBarHeight - 1);
  return index >= 1 && index <= boxes.size() ? boxes[index - 1] : CGRectMake(0, 0, 0, 0);
}

_cairo_surface* StandIn_CopyMenuImage(MenuRef menu, MenuItemIndex highlighted) {
  if (menu == nullptr)
    return nullptr;
  const standin_tb::MenuLook look = standin_tb::LookOf(menu);
  const MenuLayout layout = LayOut(look);
  Canvas canvas(layout.size);
  if (canvas.context == nullptr)
    return nullptr;
  DrawMenu(canvas.context, look, layout, highlighted);
  return canvas.Take();
}

HISize StandIn_MenuSize(MenuRef menu) {
  return menu ? LayOut(standin_tb::LookOf(menu)).size : CGSizeMake(0, 0);
}

HIRect StandIn_MenuItemBounds(MenuRef menu, MenuItemIndex item) {
  if (menu == nullptr)
    return CGRectMake(0, 0, 0, 0);
  const MenuLayout layout = LayOut(standin_tb::LookOf(menu));
  return item >= 1 && item <= layout.rows.size() ? layout.rows[item - 1] : CGRectMake(0, 0, 0, 0);
}

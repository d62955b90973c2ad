// The resources of the program image and of the German test library, read as the shell reads
// them: the frame's menu, shortcuts and tool bar must agree with the code that finds items by
// position and id, every command needs its prompt, and the language library must hold only what
// it translates, so that everything else falls back to the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring BesideTests(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file(path, length);
  file.erase(file.find_last_of(L"\\/") + 1);
  return file + name;
}

// Resources only: nothing of the image runs.
class ImageResources {
public:
  explicit ImageResources(const wchar_t* name)
      : m_Module(LoadLibraryExW(BesideTests(name).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ImageResources() {
    if (m_Module)
      FreeLibrary(m_Module);
  }
  ImageResources(const ImageResources&) = delete;
  ImageResources& operator=(const ImageResources&) = delete;

  HMODULE Module() const { return m_Module; }

  // The resource's bytes; empty when it is missing.
  std::vector<std::uint8_t> Bytes(LPCWSTR type, unsigned id) const {
    HRSRC found = FindResourceW(m_Module, MAKEINTRESOURCEW(id), type);
    if (!found)
      return {};
    const auto* data =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(m_Module, found)));
    return std::vector<std::uint8_t>(data, data + SizeofResource(m_Module, found));
  }

  std::wstring String(unsigned id) const {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(m_Module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
  }

private:
  HMODULE m_Module;
};

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

class MenuHolder {
public:
  explicit MenuHolder(HMENU menu) : m_Menu(menu) {}
  ~MenuHolder() {
    if (m_Menu)
      DestroyMenu(m_Menu);
  }
  MenuHolder(const MenuHolder&) = delete;
  MenuHolder& operator=(const MenuHolder&) = delete;
  HMENU Get() const { return m_Menu; }

private:
  HMENU m_Menu;
};

std::wstring ItemText(HMENU menu, int index) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(index), text, 128, MF_BYPOSITION);
  return text;
}

// Every command of a menu and its popups.
void CollectCommands(HMENU menu, std::set<unsigned>& ids) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU popup = GetSubMenu(menu, i))
      CollectCommands(popup, ids);
    else if (GetMenuItemID(menu, i) != 0)
      ids.insert(GetMenuItemID(menu, i));
  }
}

// The tool bar's list: version, width, height, count, then the items (0 for a separator).
std::vector<unsigned> ToolbarItems(const std::vector<std::uint8_t>& bytes) {
  std::vector<unsigned> items;
  for (std::size_t i = 0; i < Word(bytes, 6); ++i)
    items.push_back(Word(bytes, 8 + 2 * i));
  return items;
}

class ProgramResources : public ::testing::Test {
protected:
  ImageResources m_Program{L"HalvorenKRX.exe"};

  void SetUp() override { ASSERT_NE(m_Program.Module(), nullptr) << "HalvorenKRX.exe not found"; }
};

TEST_F(ProgramResources, TheWindowMenuIsTheSeventhPopupWithElevenFixedItems) {
  MenuHolder menu(LoadMenuW(m_Program.Module(), MAKEINTRESOURCEW(128)));
  ASSERT_NE(menu.Get(), nullptr);
  const std::vector<std::wstring> titles = {L"&File",  L"&Edit",  L"&View",   L"&Zoom",
                                            L"&Sheet", L"&Tools", L"&Window", L"&Help"};
  ASSERT_EQ(GetMenuItemCount(menu.Get()), static_cast<int>(titles.size()));
  for (std::size_t i = 0; i < titles.size(); ++i)
    EXPECT_EQ(ItemText(menu.Get(), static_cast<int>(i)), titles[i]);

  // The frame keeps the first eleven items and appends the open sheet windows after them.
  HMENU window = GetSubMenu(menu.Get(), 6);
  const std::vector<UINT> ids = {10145, 10149, 10144, 0xFFFFFFFF, 0, 10210,
                                 10212, 10213, 0,     10211,      0};
  ASSERT_EQ(GetMenuItemCount(window), static_cast<int>(ids.size()));
  for (std::size_t i = 0; i < ids.size(); ++i)
    EXPECT_EQ(GetMenuItemID(window, static_cast<int>(i)), ids[i]) << i;
  EXPECT_EQ(ItemText(window, 9), L"Close &All Jobs\tCtrl+Shift+W");
  HMENU arrange = GetSubMenu(window, 3);
  ASSERT_NE(arrange, nullptr);
  EXPECT_EQ(GetMenuItemCount(arrange), 4);
}

TEST_F(ProgramResources, MenuTextsKeepTheirOddities) {
  MenuHolder menu(LoadMenuW(m_Program.Module(), MAKEINTRESOURCEW(128)));
  ASSERT_NE(menu.Get(), nullptr);
  struct Case {
    unsigned id;
    const wchar_t* text;
  };
  const Case cases[] = {{10124, L"&Close Job \tCtrl+W"},
                        {10130, L"&Open Preview Files ...\tCtrl+O"},
                        {10136, L"Pre&ferences...\tCtrl+,"},
                        {10157, L"1:&32\tCtrl+3"},
                        {10160, L"1:64"},
                        {10170, L"Zoom &In\tCtrl++"},
                        {10196, L"P&lates"},
                        {10218, L"Halvoren KRX &Help...\tF1"}};
  for (const Case& c : cases) {
    wchar_t text[128] = {};
    GetMenuStringW(menu.Get(), c.id, text, 128, MF_BYCOMMAND);
    EXPECT_STREQ(text, c.text) << c.id;
  }
}

TEST_F(ProgramResources, EveryCommandHasAPromptAndATooltip) {
  MenuHolder menu(LoadMenuW(m_Program.Module(), MAKEINTRESOURCEW(128)));
  ASSERT_NE(menu.Get(), nullptr);
  std::set<unsigned> ids;
  CollectCommands(menu.Get(), ids);
  EXPECT_EQ(ids.size(), 65u);
  ids.insert(10192);  // in the command table, not in the menu
  for (unsigned id : ToolbarItems(m_Program.Bytes(MAKEINTRESOURCEW(241), 128))) {
    if (id != 0)
      ids.insert(id);
  }
  for (unsigned id : ids) {
    const std::wstring text = m_Program.String(id);
    const std::size_t feed = text.find(L'\n');
    ASSERT_NE(feed, std::wstring::npos) << id;
    EXPECT_GT(feed, 0u) << id;
    EXPECT_LT(feed + 1, text.size()) << id;
    EXPECT_EQ(text.find(L'\n', feed + 1), std::wstring::npos) << id;
  }
}

TEST_F(ProgramResources, ShortcutsAreTheProgramsOwn) {
  HACCEL table = LoadAcceleratorsW(m_Program.Module(), MAKEINTRESOURCEW(128));
  ASSERT_NE(table, nullptr);
  std::vector<ACCEL> entries(static_cast<std::size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
  CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
  DestroyAcceleratorTable(table);
  EXPECT_EQ(entries.size(), 48u);

  auto command = [&entries](BYTE modifiers, WORD key) -> int {
    for (const ACCEL& a : entries) {
      if ((a.fVirt & ~FNOINVERT) == (FVIRTKEY | modifiers) && a.key == key)
        return a.cmd;
    }
    return -1;
  };
  struct Case {
    BYTE modifiers;
    WORD key;
    int cmd;
  };
  // The menu says Ctrl+Shift+E floats left and Ctrl+Shift+W closes all: the table decides.
  const Case cases[] = {{FCONTROL, 'E', 10217},          {FCONTROL | FSHIFT, 'E', 10216},
                        {FCONTROL | FSHIFT, 'P', 10217}, {FCONTROL | FSHIFT, 'W', -1},
                        {FCONTROL, 'W', 10124},          {FCONTROL, VK_OEM_COMMA, 10136},
                        {FCONTROL, VK_OEM_PLUS, 10170},  {FCONTROL, VK_ADD, 10170},
                        {FCONTROL, VK_SUBTRACT, 10172},  {FALT, VK_BACK, 10138},
                        {FSHIFT, VK_INSERT, 10135},      {0, VK_HELP, 10218},
                        {FCONTROL | FSHIFT, '8', 10164}, {FCONTROL, '8', 10161}};
  for (const Case& c : cases)
    EXPECT_EQ(command(c.modifiers, c.key), c.cmd) << c.key << " " << int(c.modifiers);
}

TEST_F(ProgramResources, TheToolBarHasAGlyphForEachButton) {
  const std::vector<std::uint8_t> toolbar = m_Program.Bytes(MAKEINTRESOURCEW(241), 128);
  ASSERT_GE(toolbar.size(), 8u);
  EXPECT_EQ(Word(toolbar, 0), 1);
  EXPECT_EQ(Word(toolbar, 2), 16);
  EXPECT_EQ(Word(toolbar, 4), 16);
  const std::vector<unsigned> items = ToolbarItems(toolbar);
  const std::vector<unsigned> expected = {
      10126, 0,     10130, 10123, 0,     10168, 10172, 10170, 0, 10177, 10179, 0,     10191,
      10187, 10174, 10183, 10185, 10194, 0,     10148, 10142, 0, 10204, 10202, 10206, 10208};
  EXPECT_EQ(items, expected);

  for (unsigned id : {128u, 129u}) {
    const std::vector<std::uint8_t> bitmap = m_Program.Bytes(RT_BITMAP, id);
    ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER)) << id;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bitmap.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 20 * 16) << id;
    EXPECT_EQ(header.biHeight < 0 ? -header.biHeight : header.biHeight, 16) << id;
  }
}

TEST_F(ProgramResources, EveryPictureTheWindowsAskForIsThere) {
  const unsigned bitmaps[] = {201, 202, 36001, 36002};
  const unsigned icons[] = {128, 311, 312, 313, 314, 315, 321, 322, 323, 324, 325,
                            331, 332, 333, 334, 341, 342, 343, 344, 351, 352, 36111};
  for (unsigned id : bitmaps)
    EXPECT_FALSE(m_Program.Bytes(RT_BITMAP, id).empty()) << id;
  for (unsigned id : icons)
    EXPECT_FALSE(m_Program.Bytes(RT_GROUP_ICON, id).empty()) << id;
  // A cursor's group names its image, which starts with the hot spot; none of the tools points
  // with its top-left corner.
  for (unsigned id : {401u, 402u, 403u, 404u, 405u, 406u, 407u, 411u, 412u, 413u, 414u, 415u}) {
    const std::vector<std::uint8_t> group = m_Program.Bytes(RT_GROUP_CURSOR, id);
    ASSERT_GE(group.size(), 6u + 14u) << id;
    const std::vector<std::uint8_t> image = m_Program.Bytes(RT_CURSOR, Word(group, 6 + 12));
    ASSERT_GE(image.size(), 4u) << id;
    EXPECT_NE(Word(image, 0) + Word(image, 2), 0) << id;
  }
  for (unsigned id : {211u, 213u}) {
    const std::vector<std::uint8_t> png = m_Program.Bytes(L"PNG", id);
    ASSERT_GE(png.size(), 8u) << id;
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0) << id;
  }
}

// The string table comes from an object of its own; both it and the program's script must
// survive the link into one image.
TEST_F(ProgramResources, TheImageCarriesTheStringTableAndTheManifest) {
  EXPECT_EQ(m_Program.String(10000), L"en");
  EXPECT_EQ(m_Program.String(128), L"Halvoren Orvendal");
  const std::vector<std::uint8_t> manifest = m_Program.Bytes(RT_MANIFEST, 1);
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
}

BOOL CALLBACK CollectType(HMODULE, LPWSTR type, LONG_PTR types) {
  reinterpret_cast<std::set<std::wstring>*>(types)->insert(
      IS_INTRESOURCE(type) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(type)) : type);
  return TRUE;
}

TEST(GermanTestLibrary, HoldsOnlyItsTextsTheZoomCursorAndTheSplash) {
  ImageResources german(L"HalvorenKRX_de.dll");
  ASSERT_NE(german.Module(), nullptr) << "HalvorenKRX_de.dll not found";
  std::set<std::wstring> types;
  EnumResourceTypesW(german.Module(), CollectType, reinterpret_cast<LONG_PTR>(&types));
  EXPECT_EQ(types, (std::set<std::wstring>{L"1", L"6", L"12", L"PNG"}));  // cursor, strings

  EXPECT_EQ(german.String(10000), L"de");
  EXPECT_EQ(german.String(10110), L"Pkt");
  EXPECT_EQ(german.String(10118), L"cm");
  EXPECT_EQ(german.String(10061), L"");  // Back: the program's own English text

  ImageResources program(L"HalvorenKRX.exe");
  ASSERT_NE(program.Module(), nullptr);
  EXPECT_FALSE(german.Bytes(RT_GROUP_CURSOR, 401).empty());
  EXPECT_TRUE(german.Bytes(RT_GROUP_CURSOR, 402).empty());
  // Pictures of their own, so that tests can tell which module a window took them from.
  EXPECT_NE(german.Bytes(L"PNG", 213), program.Bytes(L"PNG", 213));
  EXPECT_TRUE(german.Bytes(L"PNG", 211).empty());
}

}  // namespace

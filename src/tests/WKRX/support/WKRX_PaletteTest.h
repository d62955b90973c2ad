// What the separations palette's tests share: sheets written by the preview-file writer, a window
// that records every private message it receives (it stands for the sheet window and for a
// panel's parent), a colour dialog that answers as told, the thread's modifier keys, and a fixture
// with all of them.
#pragma once

// The colour types use names that windows.h makes macros of: they are read first.
#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_SheetReference.h"

#include "GFIL/GFIL_Utils.h"
#include "WKRX/WKRX_PaletteMessages.h"
#include "WTLU/WTLU_ColorButton.h"
#include "support/WKRX_ShellTest.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <commctrl.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One plate of a test sheet.
struct WKRX_TestPlate {
  std::string m_Ink = "Black";
  std::uint16_t m_Color = 4;
  bool m_Front = true;
  std::optional<std::array<std::uint16_t, 4>> m_CMYK;
  // {""}: common to all versions.
  std::optional<std::vector<std::string>> m_Versions;
  PreviewFixture::BitSource m_Bits;
};

inline WKRX_TestPlate WKRX_Plate(const std::string& ink, std::uint16_t color, bool front = true) {
  WKRX_TestPlate plate;
  plate.m_Ink = ink;
  plate.m_Color = color;
  plate.m_Front = front;
  return plate;
}

// A message as the recorder received it; a reorder's payload is copied.
struct WKRX_RecordedMessage {
  UINT m_Message;
  WPARAM m_wParam;
  LPARAM m_lParam;
  bool m_Front = false;
  std::vector<IMPN_Separation*> m_Order;
};

// A top-level window that records the private messages (WM_APP and above) sent to it; a hook may
// look at each one as it arrives.
class WKRX_MessageRecorder : public ATL::CWindowImpl<WKRX_MessageRecorder> {
public:
  DECLARE_WND_CLASS_EX(L"WKRX_MessageRecorder", 0, COLOR_BTNFACE)

  BEGIN_MSG_MAP(WKRX_MessageRecorder)
  MESSAGE_RANGE_HANDLER(WM_APP, 0xBFFF, OnPrivate)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  HWND Make(int width = 400, int height = 300) {
    RECT rect{0, 0, width, height};
    return Create(nullptr, rect, L"Recorder", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> messages;
    for (const WKRX_RecordedMessage& m : m_Received)
      messages.push_back(m.m_Message);
    return messages;
  }
  std::vector<WKRX_RecordedMessage> Of(UINT message) const {
    std::vector<WKRX_RecordedMessage> found;
    for (const WKRX_RecordedMessage& m : m_Received)
      if (m.m_Message == message)
        found.push_back(m);
    return found;
  }

  std::vector<WKRX_RecordedMessage> m_Received;
  std::function<void(const WKRX_RecordedMessage&)> m_OnMessage;

private:
  LRESULT OnPrivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
    WKRX_RecordedMessage recorded{message, wParam, lParam, false, {}};
    if (message == WKRX_WM_SEPARATIONSREORDERED) {
      const auto* order = reinterpret_cast<const WKRX_ReorderedSeparations*>(lParam);
      recorded.m_Front = order->m_Front;
      recorded.m_Order = order->m_Order;
    }
    m_Received.push_back(recorded);
    if (m_OnMessage)
      m_OnMessage(recorded);
    return 0;
  }
};

// The colour dialog as the panels call it: records the call and answers with a colour or cancels.
struct WKRX_FakeColorDialog {
  static std::optional<COLORREF>& Answer() {
    static std::optional<COLORREF> sm_Answer;
    return sm_Answer;
  }
  static std::vector<CHOOSECOLORW>& Calls() {
    static std::vector<CHOOSECOLORW> sm_Calls;
    return sm_Calls;
  }
  static BOOL WINAPI Choose(LPCHOOSECOLORW choose) {
    Calls().push_back(*choose);
    if (!Answer())
      return FALSE;
    choose->rgbResult = *Answer();
    return TRUE;
  }
};

// Holds the thread's keyboard state with keys down while it lives (GetKeyState reads it).
class WKRX_KeysDown {
public:
  explicit WKRX_KeysDown(const std::vector<int>& keys) {
    GetKeyboardState(m_Previous);
    BYTE state[256];
    std::copy(m_Previous, m_Previous + 256, state);
    for (int key : keys)
      state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~WKRX_KeysDown() { SetKeyboardState(m_Previous); }
  WKRX_KeysDown(const WKRX_KeysDown&) = delete;
  WKRX_KeysDown& operator=(const WKRX_KeysDown&) = delete;

private:
  BYTE m_Previous[256];
};

class WKRX_PaletteTest : public WKRX_ShellTest {
protected:
  void SetUp() override {
    WKRX_ShellTest::SetUp();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    m_PreviousChooseColor = CColorButton::SystemHooks().m_ChooseColor;
    CColorButton::SystemHooks().m_ChooseColor = &WKRX_FakeColorDialog::Choose;
    WKRX_FakeColorDialog::Answer().reset();
    WKRX_FakeColorDialog::Calls().clear();
    // A custom colour database of the test's own.
    m_CustomColors = std::filesystem::path(m_Folder.File(L"Custom.colordb")).u8string();
    IMPN_ColorDBFile(m_CustomColors).CreateEmptyFile();
    IMPN_ColorDatabase::LoadCustomColors(m_CustomColors);
    ASSERT_NE(m_Frame.Make(), nullptr);
  }
  void TearDown() override {
    if (m_Frame.IsWindow())
      m_Frame.DestroyWindow();
    CColorButton::SystemHooks().m_ChooseColor = m_PreviousChooseColor;
    IMPN_ColorDatabase::sm_CustomColorMap.clear();
    IMPN_ColorDatabase::sm_CustomColorFilePath.clear();
    WKRX_ShellTest::TearDown();
  }

  // A sheet of the plates, front and back, set up as a view would (inks, versions).
  IMPN_SheetReference MakeSheet(const std::vector<WKRX_TestPlate>& plates) {
    GFIL_FileSpecVector files;
    int n = 0;
    // Each sheet's files have names of their own: an earlier sheet may hold its files open.
    const std::wstring prefix =
        m_SheetCount++ == 0 ? L"plate" : L"sheet" + std::to_wstring(m_SheetCount) + L"_plate";
    for (const WKRX_TestPlate& plate : plates) {
      PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(512, 512, 8);
      file.job.title = "Palette";
      file.job.surface = plate.m_Front ? 0 : 1;
      file.job.inkName = plate.m_Ink;
      file.job.color = plate.m_Color;
      file.job.printOrder = static_cast<std::uint16_t>(++n);
      if (plate.m_CMYK) {
        file.job.cmyk = plate.m_CMYK;
        file.image.inkNames = plate.m_Ink;
      }
      file.job.versions = plate.m_Versions;
      if (plate.m_Bits)
        file.image.bits = plate.m_Bits;
      const std::wstring path = m_Folder.File(prefix + std::to_wstring(n) + L".krx");
      PreviewFixture::Write(std::filesystem::path(path).u8string(), file);
      files.push_back(GFIL_SpecFromPlatformPath(path));
    }
    IMPN_Registry registry;
    registry.RegisterFiles(files, false);
    std::vector<IMPN_Sheet*> sheets;
    registry.GetAllSheets(sheets);
    EXPECT_EQ(sheets.size(), 1u);
    IMPN_SheetReference sheet(sheets.empty() ? nullptr : sheets[0]);
    if (sheet)
      sheet->Init();
    return sheet;
  }

  // Cyan, Black, an unknown spot ink and a CMYK equivalent on the front.
  IMPN_SheetReference FourPlates() {
    WKRX_TestPlate cmyk = WKRX_Plate("Proof Blue", 0);
    cmyk.m_CMYK = std::array<std::uint16_t, 4>{32768, 0, 0, 655};
    return MakeSheet(
        {WKRX_Plate("Cyan", 1), WKRX_Plate("Black", 4), WKRX_Plate("Unheard Of Spot", 0), cmyk});
  }

  WKRX_TestFolder m_Folder;
  int m_SheetCount = 0;
  std::string m_CustomColors;
  WKRX_MessageRecorder m_Frame;

private:
  CColorButton::ChooseColorFn m_PreviousChooseColor = nullptr;
};

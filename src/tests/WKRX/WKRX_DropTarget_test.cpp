#include "WKRX/WKRX_DropTarget.h"

#include "GLIB/GLIB_Exception.h"

#include "win/GuardCapture.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Offers either files in global memory (a DROPFILES list of wide names) or plain text. The
// memory stays with this object: a released medium releases the object's reference instead.
class TestDataObject : public IDataObject {
public:
  explicit TestDataObject(const std::vector<std::wstring>& names, bool files = true)
      : m_Files(files) {
    std::wstring list;
    for (const std::wstring& name : names)
      list += name + L'\0';
    list += L'\0';
    const SIZE_T bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    m_Memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(m_Memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(m_Memory);
  }
  virtual ~TestDataObject() { GlobalFree(m_Memory); }
  TestDataObject(const TestDataObject&) = delete;
  TestDataObject& operator=(const TestDataObject&) = delete;

  HGLOBAL Memory() const { return m_Memory; }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDataObject) {
      *ppv = this;
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK)
      return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = m_Memory;
    medium->pUnkForRelease = this;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    if (format == nullptr || !(format->tymed & TYMED_HGLOBAL))
      return DV_E_FORMATETC;
    const CLIPFORMAT offered = m_Files ? CF_HDROP : CF_UNICODETEXT;
    return format->cfFormat == offered ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
  bool m_Files;
  HGLOBAL m_Memory = nullptr;
};

// Records what the view would be told.
class Receiver : public GLIB_MessageTarget {
public:
  void OnEnter(const WKRX_DragEnterMessage&) { m_Events.push_back("enter"); }
  void OnOver(const WKRX_DragOverMessage&) { m_Events.push_back("over"); }
  void OnLeave(const WKRX_DragLeaveMessage&) { m_Events.push_back("leave"); }
  void OnDropped(const WKRX_DragDroppedMessage& message) {
    m_Events.push_back("dropped");
    m_Paths = message.Paths();
    if (m_Throw)
      throw GLIB_Exception(1500005, L"cannot open", __FILE__, __LINE__);
  }

  std::vector<std::string> m_Events;
  std::vector<GLIB_WString> m_Paths;
  bool m_Throw = false;
};

class WKRXDropTarget : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    m_Frame = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                              nullptr, nullptr, nullptr, nullptr);
    m_View = CreateWindowExW(0, L"STATIC", L"view", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, m_Frame,
                             nullptr, nullptr, nullptr);
    m_Target = new WKRX_DropTarget(m_View, m_Frame);
    m_Target->AddRef();
    m_Target->AddSupportedFormat(WKRX_DropTarget::FileListFormat());
    const GLIB_MessageDispatcher& dispatcher = m_Target->Dispatcher();
    dispatcher.Register(
        new GLIB_Callback<Receiver, WKRX_DragEnterMessage>(&m_Receiver, &Receiver::OnEnter));
    dispatcher.Register(
        new GLIB_Callback<Receiver, WKRX_DragOverMessage>(&m_Receiver, &Receiver::OnOver));
    dispatcher.Register(
        new GLIB_Callback<Receiver, WKRX_DragLeaveMessage>(&m_Receiver, &Receiver::OnLeave));
    dispatcher.Register(
        new GLIB_Callback<Receiver, WKRX_DragDroppedMessage>(&m_Receiver, &Receiver::OnDropped));
  }
  void TearDown() override {
    m_Target->Release();
    DestroyWindow(m_Frame);
    GuardCapturingTest::TearDown();
  }

  HRESULT Enter(IDataObject* data) {
    DWORD effect = DROPEFFECT_COPY;
    return m_Target->DragEnter(data, 0, POINTL{5, 5}, &effect);
  }
  HRESULT Drop(IDataObject* data) {
    DWORD effect = DROPEFFECT_COPY;
    return m_Target->Drop(data, 0, POINTL{6, 6}, &effect);
  }

  HWND m_Frame = nullptr;
  HWND m_View = nullptr;
  WKRX_DropTarget* m_Target = nullptr;
  Receiver m_Receiver;
};

TEST_F(WKRXDropTarget, TextIsRefusedAndAnnouncedToNobody) {
  TestDataObject text({L"hello"}, false);
  EXPECT_EQ(Enter(&text), S_FALSE);
  DWORD effect = DROPEFFECT_COPY;
  m_Target->DragOver(0, POINTL{7, 7}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  Drop(&text);
  EXPECT_EQ(m_Receiver.m_Events, (std::vector<std::string>{"over"}));
  EXPECT_TRUE(m_Receiver.m_Paths.empty());
}

TEST_F(WKRXDropTarget, ThreeFilesArriveInOneMessageInTheShellsOrder) {
  const std::vector<std::wstring> names = {L"C:\\jobs\\b.krx", L"C:\\jobs\\a.krx",
                                           L"D:\\other\\c.PRV"};
  TestDataObject files(names);
  EXPECT_EQ(Enter(&files), S_OK);
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(m_Target->DragOver(0, POINTL{7, 7}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(Drop(&files), S_OK);
  EXPECT_EQ(m_Receiver.m_Events, (std::vector<std::string>{"enter", "over", "dropped"}));
  EXPECT_EQ(m_Receiver.m_Paths, (std::vector<GLIB_WString>(names.begin(), names.end())));
  EXPECT_EQ(GetForegroundWindow(), m_Frame);
}

// A path longer than the old 520-character buffer comes whole, not cut to name another file.
TEST_F(WKRXDropTarget, ALongPathArrivesWhole) {
  const std::wstring longPath = L"C:\\" + std::wstring(592, L'x') + L"\\s.krx";
  ASSERT_EQ(longPath.size(), 601u);
  TestDataObject files({longPath, L"C:\\short.krx"});
  Enter(&files);
  Drop(&files);
  ASSERT_EQ(m_Receiver.m_Paths.size(), 2u);
  EXPECT_EQ(m_Receiver.m_Paths[0], longPath);
  EXPECT_EQ(m_Receiver.m_Paths[1], GLIB_WString(L"C:\\short.krx"));
}

TEST_F(WKRXDropTarget, LeavingIsAnnounced) {
  TestDataObject files({L"C:\\a.krx"});
  Enter(&files);
  EXPECT_EQ(m_Target->DragLeave(), S_OK);
  EXPECT_EQ(m_Receiver.m_Events, (std::vector<std::string>{"enter", "leave"}));
}

// The memory is unlocked on every road out of the drop.
TEST_F(WKRXDropTarget, AThrowingReceiverLeavesTheMemoryUnlocked) {
  TestDataObject files({L"C:\\a.krx"});
  m_Receiver.m_Throw = true;
  Enter(&files);
  Drop(&files);
  EXPECT_EQ(m_Receiver.m_Events.back(), "dropped");
  EXPECT_EQ(GlobalFlags(files.Memory()) & GMEM_LOCKCOUNT, 0u);
  ASSERT_FALSE(sm_Logged.empty());
  EXPECT_NE(sm_Logged[0].m_Text.find(L"cannot open"), std::wstring::npos);
}

TEST(WKRXDragMessages, NameThemselves) {
  EXPECT_EQ(WKRX_DragEnterMessage().AsString(),
            GLIB_String("One or more files were dragged into a target window."));
  EXPECT_EQ(WKRX_DragOverMessage().AsString(),
            GLIB_String("One or more files were dragged over a target window."));
  EXPECT_EQ(WKRX_DragLeaveMessage().AsString(),
            GLIB_String("One or more files were dragged out of a target window."));
  EXPECT_EQ(WKRX_DragDroppedMessage({}).AsString(),
            GLIB_String("One or more files were dropped onto a target window."));
}

}  // namespace

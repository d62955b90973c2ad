#include "WKRX/WKRX_MessageDialog.h"

#include <gtest/gtest.h>

#include "support/WKRX_MessageBoxRecorder.h"

namespace {

const HWND kOwner = reinterpret_cast<HWND>(0x1234);

TEST(WKRXMessageDialog, BoxesByIdCarryTheProductCaptionTheIconAndTwoLines) {
  WKRX_MessageBoxRecorder recorder;
  EXPECT_EQ(WKRX_MessageDialog::ShowErrorById(10098, 10006, 10015), IDOK);
  ASSERT_EQ(recorder.Calls().size(), 1u);
  const WKRX_MessageBoxCall& call = recorder.Calls()[0];
  EXPECT_EQ(call.caption, GLIB_WString(L"Halvoren KRX - Incompatible OS Version"));
  EXPECT_EQ(call.text,
            GLIB_WString(L"Sorry, Halvoren Orvendal 3.0 requires Windows 2000 SP1 or later.\r\n"
                         L"Please upgrade your operating system and restart this application."));
  EXPECT_EQ(call.flags, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(call.owner, nullptr);
}

TEST(WKRXMessageDialog, WithoutDetailTheTextStillEndsInALineBreak) {
  WKRX_MessageBoxRecorder recorder;
  WKRX_MessageDialog::Show(L"Title", L"Message", L"", kOwner, MB_OK);
  WKRX_MessageDialog::ShowById(10098, 10006, 0, nullptr, 0);
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[0].text, GLIB_WString(L"Message\r\n"));
  EXPECT_EQ(recorder.Calls()[0].caption, GLIB_WString(L"Halvoren KRX - Title"));
  EXPECT_EQ(recorder.Calls()[0].owner, kOwner);
  EXPECT_EQ(recorder.Calls()[1].text,
            GLIB_WString(L"Sorry, Halvoren Orvendal 3.0 requires Windows 2000 SP1 or later.\r\n"));
}

TEST(WKRXMessageDialog, EachKindAddsItsIconToTheCallersFlagsAndAnswersTheButton) {
  WKRX_MessageBoxRecorder recorder({IDYES, IDNO, IDCANCEL, IDRETRY, IDYES, IDNO});
  EXPECT_EQ(WKRX_MessageDialog::ShowInformation(L"t", L"m", L"d", kOwner, MB_YESNO), IDYES);
  EXPECT_EQ(WKRX_MessageDialog::ShowInformationById(10098, 10006, 0, kOwner, MB_YESNO), IDNO);
  EXPECT_EQ(WKRX_MessageDialog::ShowWarning(L"t", L"m", L"d", kOwner, MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(WKRX_MessageDialog::ShowWarningById(10098, 10006, 0, kOwner, MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(WKRX_MessageDialog::ShowError(L"t", L"m", L"d", kOwner, MB_YESNO), IDYES);
  EXPECT_EQ(WKRX_MessageDialog::ShowErrorById(10098, 10006, 0, kOwner, MB_YESNO), IDNO);
  const UINT expected[] = {MB_YESNO | MB_ICONINFORMATION, MB_YESNO | MB_ICONINFORMATION,
                           MB_OKCANCEL | MB_ICONWARNING,  MB_RETRYCANCEL | MB_ICONWARNING,
                           MB_YESNO | MB_ICONERROR,       MB_YESNO | MB_ICONERROR};
  ASSERT_EQ(recorder.Calls().size(), 6u);
  for (std::size_t i = 0; i < 6; ++i)
    EXPECT_EQ(recorder.Calls()[i].flags, expected[i]) << i;
}

TEST(WKRXMessageDialog, TheObjectFormShowsTheMessageUnderTheProgramsName) {
  WKRX_MessageBoxRecorder recorder;
  WKRX_MessageDialog(L" Note", L"Message").DoModal();
  WKRX_MessageDialog(L"", L"Other", kOwner, MB_ICONWARNING | MB_YESNO).DoModal();
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[0].caption, GLIB_WString(L"Halvoren Orvendal Note"));
  EXPECT_EQ(recorder.Calls()[0].text, GLIB_WString(L"Message"));
  EXPECT_EQ(recorder.Calls()[0].flags, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(recorder.Calls()[0].owner, nullptr);
  EXPECT_EQ(recorder.Calls()[1].flags, static_cast<UINT>(MB_ICONWARNING | MB_YESNO));
  EXPECT_EQ(recorder.Calls()[1].owner, kOwner);
}

TEST(WKRXMessageDialog, ARecorderGivesBackThePreviousBox) {
  WKRX_MessageBoxRecorder outer({IDNO});
  {
    WKRX_MessageBoxRecorder inner({IDYES});
    EXPECT_EQ(WKRX_MessageDialog::Show(L"t", L"m", L"", nullptr, 0), IDYES);
  }
  EXPECT_EQ(WKRX_MessageDialog::Show(L"t", L"m", L"", nullptr, 0), IDNO);
  EXPECT_EQ(outer.Calls().size(), 1u);
}

}  // namespace

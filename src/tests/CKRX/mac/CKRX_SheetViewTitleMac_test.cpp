#include "../ViewFixture.h"

#include "TestBundle.h"

#include <memory>
#include <string>

namespace {

// A view bound to a sheet, in a program whose English strings table holds the title texts.
class SheetViewTitleMac : public ViewFixture {
protected:
  void SetUp() override {
    ViewFixture::SetUp();
    m_Bundle =
        std::make_unique<TestBundle>("\"CKRX_SheetWindowTitleInfo\" = \"{0} / {1} / {2} / {3}\";\n"
                                     "\"CKRX_SurfaceShortNameFront\" = \"Vorne\";\n"
                                     "\"CKRX_SurfaceShortNameBack\" = \"Hinten\";\n");
  }

  void TearDown() override {
    m_Bundle.reset();
    ViewFixture::TearDown();
  }

  std::unique_ptr<TestBundle> m_Bundle;
};

TEST_F(SheetViewTitleMac, TitleFillsJobSignatureWebAndSideIntoTheLocalisedTemplate) {
  TestSheets::Layout layout;
  layout.title = "Leaflet";
  layout.signature = 12;
  Bind(layout);
  std::string const web = std::to_string(view.m_Sheet->GetWeb());
  std::wstring const start = L"Leaflet / 12 / " + std::wstring(web.begin(), web.end()) + L" / ";
  EXPECT_EQ(USTR_String((start + L"Vorne").c_str()), view.GetWindowTitle());
  view.TogglePageFlipped();
  EXPECT_EQ(USTR_String((start + L"Hinten").c_str()), view.GetWindowTitle());
}

}  // namespace

#include "../ViewFixture.h"

#include <CoreFoundation/CFBundle.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{

// A view bound to a sheet, in a program whose English strings table holds the title texts.
class SheetViewTitleMac : public ViewFixture
{
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        char folder[] = "/tmp/ckrx_bundle_XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(folder));
        m_root = folder;
        std::string path = m_root;
        for (char const* part : {"/Viewer.app", "/Contents", "/Resources", "/en.lproj"})
        {
            path += part;
            ASSERT_EQ(0, ::mkdir(path.c_str(), 0755));
        }
        std::ofstream(path + "/Localizable.strings", std::ios::binary)
            << "\"CKRX_SheetWindowTitleInfo\" = \"{0} / {1} / {2} / {3}\";\n"
               "\"CKRX_SurfaceShortNameFront\" = \"Vorne\";\n"
               "\"CKRX_SurfaceShortNameBack\" = \"Hinten\";\n";
        StandIn_SetMainBundlePath((m_root + "/Viewer.app").c_str());
    }

    void TearDown() override
    {
        StandIn_SetMainBundlePath(nullptr);
        std::string const remove = "rm -rf '" + m_root + "'";
        EXPECT_EQ(0, std::system(remove.c_str()));
        ViewFixture::TearDown();
    }

    std::string m_root;
};

TEST_F(SheetViewTitleMac, TitleFillsJobSignatureWebAndSideIntoTheLocalisedTemplate)
{
    TestSheets::Layout layout;
    layout.title = "Leaflet";
    layout.signature = 12;
    Bind(layout);
    std::string const web = std::to_string(view.m_Sheet->GetWeb());
    std::wstring const start =
        L"Leaflet / 12 / " + std::wstring(web.begin(), web.end()) + L" / ";
    EXPECT_EQ(USTR_String((start + L"Vorne").c_str()), view.GetWindowTitle());
    view.TogglePageFlipped();
    EXPECT_EQ(USTR_String((start + L"Hinten").c_str()), view.GetWindowTitle());
}

}  // namespace

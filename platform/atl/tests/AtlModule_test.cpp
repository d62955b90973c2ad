#include <gtest/gtest.h>

#include <atlbase.h>
#include <atlframe.h>

#include "AtlTestResources.h"
#include "AtlTestSupport.h"

namespace {

// Stand-ins for module handles: the module object only keeps and orders them.
HINSTANCE FakeModule(UINT_PTR n) {
  return reinterpret_cast<HINSTANCE>(n * 0x10000);
}

TEST(ModuleObject, ResourceInstanceIsTheProgramUntilSet) {
  CAtlBaseModule module;
  const HINSTANCE program = GetModuleHandleW(nullptr);
  EXPECT_EQ(module.GetModuleInstance(), program);
  EXPECT_EQ(module.GetResourceInstance(), program);
  EXPECT_EQ(module.SetResourceInstance(FakeModule(1)), program);
  EXPECT_EQ(module.GetResourceInstance(), FakeModule(1));
  EXPECT_EQ(module.SetResourceInstance(nullptr), FakeModule(1));
  EXPECT_EQ(module.GetResourceInstance(), program);
}

TEST(ModuleObject, SearchOrderIsResourceInstanceAddedModulesThenProgram) {
  CAtlBaseModule module;
  const HINSTANCE program = GetModuleHandleW(nullptr);
  module.SetResourceInstance(FakeModule(1));
  EXPECT_TRUE(module.AddResourceInstance(FakeModule(2)));
  EXPECT_TRUE(module.AddResourceInstance(FakeModule(3)));
  // Null and a module already listed are refused.
  EXPECT_FALSE(module.AddResourceInstance(nullptr));
  EXPECT_FALSE(module.AddResourceInstance(FakeModule(2)));

  const HINSTANCE expected[] = {FakeModule(1), FakeModule(2), FakeModule(3), program, nullptr};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(module.GetHInstanceAt(i), expected[i]) << i;
  }
  EXPECT_EQ(module.GetHInstanceAt(-1), nullptr);

  EXPECT_TRUE(module.RemoveResourceInstance(FakeModule(2)));
  EXPECT_FALSE(module.RemoveResourceInstance(FakeModule(2)));
  EXPECT_EQ(module.GetHInstanceAt(1), FakeModule(3));
  EXPECT_EQ(module.GetHInstanceAt(2), program);
  EXPECT_EQ(module.GetHInstanceAt(3), nullptr);
}

TEST(ModuleObject, ProcessWideObjectStartsWithTheProgram) {
  EXPECT_EQ(_AtlBaseModule.GetResourceInstance(), GetModuleHandleW(nullptr));
  EXPECT_EQ(_AtlBaseModule.GetHInstanceAt(1), GetModuleHandleW(nullptr));
  EXPECT_EQ(_AtlBaseModule.GetHInstanceAt(2), nullptr);
}

}  // namespace

namespace {

class ResourceLookupTest : public ResourceSearchTest {};

// Every kind goes through one search: the language library where it has the resource, the
// program where it has not.
TEST_F(ResourceLookupTest, EachKindFromTheFirstModuleThatHoldsIt) {
  const HMODULE program = GetModuleHandleW(nullptr);
  _AtlBaseModule.SetResourceInstance(sm_Language);
  const struct {
    UINT m_Id;
    LPCWSTR m_Type;
    HMODULE m_Expected;
  } cases[] = {
      {IDD_ATL_TEST, RT_DIALOG, sm_Language},
      {IDR_ATL_FRAME, RT_MENU, sm_Language},
      {IDR_ATL_FRAME, RT_ACCELERATOR, sm_Language},
      {IDR_ATL_FRAME, RT_GROUP_ICON, program},
      {IDR_ATL_FRAME, MAKEINTRESOURCEW(ATL_RT_TOOLBAR), program},
      {IDR_ATL_FRAME, RT_BITMAP, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AtlFindResourceInstance(MAKEINTRESOURCEW(c.m_Id), c.m_Type), c.m_Expected)
        << c.m_Id << " of type " << reinterpret_cast<UINT_PTR>(c.m_Type);
  }
  EXPECT_NE(AtlLoadIcon(MAKEINTRESOURCEW(IDR_ATL_FRAME)), nullptr);
  EXPECT_EQ(AtlLoadCursor(MAKEINTRESOURCEW(IDR_ATL_FRAME)), nullptr);
  const HMENU menu = AtlLoadMenu(MAKEINTRESOURCEW(IDR_ATL_FRAME));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 1) << "the library's menu";
  DestroyMenu(menu);

  // Strings: the library's block of sixteen holds the pane's string but not the one beside it,
  // which then comes from the program.
  wchar_t text[64] = {};
  EXPECT_GT(AtlLoadString(IDS_ATL_PANE_UNITS, text, 64), 0);
  EXPECT_STREQ(text, L"mm");
  _AtlBaseModule.SetResourceInstance(sm_Strings);
  EXPECT_GT(AtlLoadString(IDS_ATL_PANE_UNITS, text, 64), 0);
  EXPECT_STREQ(text, L"Millimeter") << "a change of resource instance is followed at once";
  EXPECT_EQ(AtlLoadString(IDS_ATL_PROGRAM_ONLY, text, 64), 12);
  EXPECT_STREQ(text, L"Program only");
  EXPECT_EQ(AtlLoadString(999, text, 64), 0);
  EXPECT_STREQ(text, L"");
}

}  // namespace

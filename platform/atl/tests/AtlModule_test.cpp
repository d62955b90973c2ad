#include <gtest/gtest.h>

#include <atlbase.h>

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

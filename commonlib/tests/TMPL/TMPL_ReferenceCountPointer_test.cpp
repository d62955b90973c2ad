#include "TMPL/TMPL_ReferenceCountPointer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Records its own destruction in a shared log, so tests see what was deleted and when.
class Tracked {
public:
  Tracked() = default;
  Tracked(std::vector<std::string>* log, std::string name) : m_Log(log), m_Name(std::move(name)) {}
  virtual ~Tracked() {
    if (m_Log)
      m_Log->push_back("~" + m_Name);
  }
  std::string const& Name() const { return m_Name; }

private:
  std::vector<std::string>* m_Log = nullptr;
  std::string m_Name;
};

class DerivedTracked : public Tracked {
public:
  DerivedTracked(std::vector<std::string>* log, bool* derivedGone)
      : Tracked(log, "base"),
        m_DerivedGone(derivedGone) {}
  ~DerivedTracked() override { *m_DerivedGone = true; }

private:
  bool* m_DerivedGone;
};

using TrackedPtr = TMPL_ReferenceCountPointer<Tracked>;

TEST(TMPL_ReferenceCountPointer, NullAndDefaultAreEmptyWithoutBlock) {
  TrackedPtr fromNull(nullptr);
  TrackedPtr byDefault;
  for (TrackedPtr const* p : {&fromNull, &byDefault}) {
    EXPECT_FALSE(*p);
    EXPECT_EQ(nullptr, p->Get());
    EXPECT_EQ(0, p->GetReferenceCount());
  }
  TrackedPtr copy(fromNull);
  EXPECT_EQ(0, copy.GetReferenceCount());
  copy.Release();  // releasing an empty pointer does nothing
  EXPECT_FALSE(copy);
}

TEST(TMPL_ReferenceCountPointer, CopiesShareAndLastReleaseDeletesOnce) {
  std::vector<std::string> log;
  {
    TrackedPtr a(new Tracked(&log, "a"));
    EXPECT_EQ(1, a.GetReferenceCount());
    {
      TrackedPtr b(a);
      TrackedPtr c = b;
      EXPECT_EQ(3, a.GetReferenceCount());
      EXPECT_EQ(a.Get(), c.Get());
      EXPECT_EQ("a", c->Name());
      b.Release();
      EXPECT_FALSE(b);
      EXPECT_EQ(2, a.GetReferenceCount());
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(1, a.GetReferenceCount());
  }
  EXPECT_EQ(std::vector<std::string>{"~a"}, log);
}

TEST(TMPL_ReferenceCountPointer, CopyAssignmentCountsBothSides) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "a"));
  TrackedPtr b(new Tracked(&log, "b"));
  b = a;  // b held the last share of "b"
  EXPECT_EQ(std::vector<std::string>{"~b"}, log);
  EXPECT_EQ(2, a.GetReferenceCount());
  EXPECT_EQ(a, b);

  TrackedPtr empty;
  a = empty;
  EXPECT_FALSE(a);
  EXPECT_EQ(1, b.GetReferenceCount());
  EXPECT_EQ(std::vector<std::string>{"~b"}, log);
  b.Release();
  EXPECT_EQ((std::vector<std::string>{"~b", "~a"}), log);
}

TEST(TMPL_ReferenceCountPointer, SelfAssignmentKeepsTheObject) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "a"));
  TrackedPtr& alias = a;
  a = alias;
  EXPECT_TRUE(log.empty());
  ASSERT_TRUE(a);
  EXPECT_EQ(1, a.GetReferenceCount());
  EXPECT_EQ("a", a->Name());

  TrackedPtr b(a);
  b = a;  // already sharing the same block
  EXPECT_EQ(2, a.GetReferenceCount());

  a = std::move(alias);
  EXPECT_TRUE(a);
  EXPECT_TRUE(log.empty());
}

TEST(TMPL_ReferenceCountPointer, MoveLeavesSourceEmpty) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "a"));
  TrackedPtr b(std::move(a));
  EXPECT_FALSE(a);
  EXPECT_EQ(1, b.GetReferenceCount());
  TrackedPtr c(new Tracked(&log, "c"));
  c = std::move(b);
  EXPECT_EQ(std::vector<std::string>{"~c"}, log);
  EXPECT_EQ("a", c->Name());
}

TEST(TMPL_ReferenceCountPointer, ResetOfLastShareDeletesOldBeforeTakingNew) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "old"));
  Tracked* fresh = new Tracked(&log, "new");
  a.Reset(fresh);
  EXPECT_EQ(std::vector<std::string>{"~old"}, log);
  EXPECT_EQ(fresh, a.Get());
  EXPECT_EQ(1, a.GetReferenceCount());
}

TEST(TMPL_ReferenceCountPointer, ResetOfSharedObjectLeavesItToTheOthers) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "shared"));
  TrackedPtr b(a);
  a.Reset(new Tracked(&log, "own"));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(1, a.GetReferenceCount());
  EXPECT_EQ(1, b.GetReferenceCount());
  EXPECT_EQ("shared", b->Name());
}

TEST(TMPL_ReferenceCountPointer, ResetToNullLeavesEmptyPointer) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "a"));
  a.Reset(nullptr);
  EXPECT_EQ(std::vector<std::string>{"~a"}, log);
  EXPECT_FALSE(a);
  EXPECT_EQ(0, a.GetReferenceCount());
}

TEST(TMPL_ReferenceCountPointer, ResetToHeldObjectChangesNothing) {
  std::vector<std::string> log;
  TrackedPtr a(new Tracked(&log, "a"));
  TrackedPtr b(a);
  a.Reset(a.Get());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(2, a.GetReferenceCount());
  b.Release();
  a.Reset(a.Get());  // also when this is the last share
  EXPECT_TRUE(log.empty());
  ASSERT_TRUE(a);
  EXPECT_EQ("a", a->Name());
}

TEST(TMPL_ReferenceCountPointer, DeletesThroughVirtualDestructor) {
  std::vector<std::string> log;
  bool derivedGone = false;
  TrackedPtr a(new DerivedTracked(&log, &derivedGone));
  a.Release();
  EXPECT_TRUE(derivedGone);
  EXPECT_EQ(std::vector<std::string>{"~base"}, log);
}

TEST(TMPL_ReferenceCountPointer, BufferIsFreedAsArray) {
  // A mismatched delete of a new[] buffer is caught by the address sanitizer; the element
  // destructors show that every element goes.
  std::vector<std::string> log;
  {
    TMPL_ReferenceCountPointer<Tracked[]> items(new Tracked[3]);
    TMPL_ReferenceCountPointer<Tracked[]> copy(items);
    EXPECT_EQ(2, copy.GetReferenceCount());
  }
  TMPL_ReferenceCountPointer<unsigned char[]> buffer(new unsigned char[64]());
  buffer[63] = 7;
  EXPECT_EQ(7, buffer.Get()[63]);
  buffer.Reset(new unsigned char[8]);
  EXPECT_EQ(1, buffer.GetReferenceCount());
}

TEST(TMPL_ReferenceCountPointer, ArrayElementsAreAllDestroyed) {
  static int destroyed;
  struct Counted {
    ~Counted() { ++destroyed; }
  };
  destroyed = 0;
  TMPL_ReferenceCountPointer<Counted[]> items(new Counted[4]);
  items.Release();
  EXPECT_EQ(4, destroyed);
}

TEST(TMPL_ReferenceCountPointer, GrowingVectorKeepsCounts) {
  std::vector<std::string> log;
  TrackedPtr one(new Tracked(&log, "one"));
  std::vector<TrackedPtr> list;
  for (int i = 0; i < 100; ++i)
    list.push_back(one);
  EXPECT_EQ(101, one.GetReferenceCount());
  list.erase(list.begin(), list.begin() + 50);
  EXPECT_EQ(51, one.GetReferenceCount());
  list.clear();
  one.Release();
  EXPECT_EQ(std::vector<std::string>{"~one"}, log);
}

}  // namespace

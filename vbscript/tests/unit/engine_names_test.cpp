// The compiler's name table: lookups after growth, erasure and reuse.
#include <gtest/gtest.h>

#include <string>

#include "engine/globals.h"
#include "engine/name_index.h"

namespace vbs {
namespace {

std::u16string Name(int i) {
  std::u16string s = u"name";
  for (char c : std::to_string(i)) s.push_back(char16_t(c));
  return s;
}

TEST(EngineNameIndex, FindsEveryNameAcrossGrowth) {
  NameIndex idx;
  EXPECT_EQ(idx.Find(u"x"), nullptr);
  for (int i = 0; i < 1000; ++i) idx[Name(i)] = i * 3;
  ASSERT_EQ(idx.size(), 1000u);
  for (int i = 0; i < 1000; ++i) {
    const int* v = idx.Find(Name(i));
    ASSERT_NE(v, nullptr) << i;
    EXPECT_EQ(*v, i * 3);
  }
  EXPECT_EQ(idx.Find(u"name1000"), nullptr);
  EXPECT_EQ(idx.Find(u"name"), nullptr);       // a prefix is another name
  idx[u"name7"] = 42;                          // existing key: no new entry
  EXPECT_EQ(idx.size(), 1000u);
  EXPECT_EQ(*idx.Find(u"name7", NameIndex::Hash(u"name7")), 42);
}

TEST(EngineNameIndex, EraseLeavesOtherNamesReachable) {
  NameIndex idx;
  for (int i = 0; i < 40; ++i) idx[Name(i)] = i;
  for (int i = 0; i < 40; i += 2) idx.Erase(Name(i));
  EXPECT_EQ(idx.size(), 20u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(idx.Contains(Name(i)), i % 2 == 1) << i;
  // Erased names can come back, with a fresh value.
  EXPECT_EQ(idx[Name(4)], 0);
  idx[Name(4)] = 9;
  EXPECT_EQ(*idx.Find(Name(4)), 9);
  idx.Erase(u"never there");
  EXPECT_EQ(idx.size(), 21u);
}

TEST(EngineNameIndex, ClearForgetsEverythingAndTheTableIsReusable) {
  NameIndex idx;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 100; ++i) idx[Name(i + round)] = round;
    EXPECT_EQ(idx.size(), 100u);
    EXPECT_EQ(*idx.Find(Name(round)), round);
    idx.Clear();
    EXPECT_EQ(idx.size(), 0u);
    EXPECT_FALSE(idx.Contains(Name(round)));
  }
}

// The resolver folds a name and hashes it in one pass, then looks the
// folded name up with that hash: the two hashes must agree, and keys that
// share their characters' buffer must still be told apart.
TEST(EngineNameIndex, FoldedHashFindsNamesWrittenInAnyCase) {
  NameIndex idx;
  std::u16string buf;
  const std::u16string names[] = {u"Velocity", u"VELOCITY2", u"v", u"Vel", u"x_Y_z", u"\u00c4rger"};
  for (int i = 0; i < 6; ++i) {
    const uint64_t h = FoldNameInto(names[i], buf);
    EXPECT_EQ(h, NameIndex::Hash(buf)) << i;
    idx.Insert(buf, h) = i + 1;
  }
  EXPECT_EQ(idx.size(), 6u);
  const std::u16string again[] = {u"vELOCITY", u"velocity2", u"V", u"VEL", u"X_y_Z", u"\u00c4RGER"};
  for (int i = 0; i < 6; ++i) {
    const uint64_t h = FoldNameInto(again[i], buf);
    const int* v = idx.Find(buf, h);
    ASSERT_NE(v, nullptr) << i;
    EXPECT_EQ(*v, i + 1);
  }
  // Only ASCII letters fold: a non-ASCII capital is another name.
  EXPECT_EQ(idx.Find(u"\u00e4rger"), nullptr);
  EXPECT_EQ(idx.Find(u"velo"), nullptr);
  EXPECT_EQ(idx.Find(u"velocity2x"), nullptr);
}

}  // namespace
}  // namespace vbs

#include <gtest/gtest.h>

#include "classlib/core/Exception.h"
#include "classlib/core/List.h"

namespace {
int values[8];
void* P(int i) {
  return &values[i];
}

void ExpectIndexError(auto&& action, const char* message) {
  try {
    action();
    ADD_FAILURE() << "no EListError for " << message;
  } catch (const EListError& error) {
    EXPECT_EQ(error.Message, message);
  }
}
} // namespace

TEST(List, AddInsertDeleteKeepOrder) {
  TList list;
  EXPECT_EQ(list.Add(P(0)), 0);
  EXPECT_EQ(list.Add(P(2)), 1);
  list.Insert(1, P(1));
  list.Insert(3, P(3)); // at Count: appends
  ASSERT_EQ(list.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i], P(i));
  list.Delete(0);
  EXPECT_EQ(list.First(), P(1));
  EXPECT_EQ(list.Last(), P(3));
  EXPECT_EQ(list.IndexOf(P(2)), 1);
  EXPECT_EQ(list.IndexOf(P(7)), -1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(List, NullItemsAndDuplicatesAreOrdinaryItems) {
  TList list;
  list.Add(nullptr);
  list.Add(P(1));
  list.Add(P(1));
  EXPECT_EQ(list.IndexOf(nullptr), 0);
  EXPECT_EQ(list.IndexOf(P(1)), 1);
  EXPECT_EQ(list.Remove(P(1)), 1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list[1], P(1));
}

TEST(List, RemoveExtractExchangeMove) {
  TList list;
  for (int i = 0; i < 5; ++i) list.Add(P(i));
  EXPECT_EQ(list.Remove(P(7)), -1);
  EXPECT_EQ(list.Extract(P(2)), P(2));
  EXPECT_EQ(list.Extract(P(2)), nullptr);
  list.Exchange(0, 3); // 4 1 3 0
  EXPECT_EQ(list[0], P(4));
  EXPECT_EQ(list[3], P(0));
  list.Move(0, 2); // 1 3 4 0
  EXPECT_EQ(list[0], P(1));
  EXPECT_EQ(list[2], P(4));
  list.SetItem(1, P(6));
  EXPECT_EQ(list[1], P(6));
}

TEST(List, BadIndexesRaiseListErrors) {
  TList list;
  ExpectIndexError([&] { list.Items(0); }, "List index out of bounds (0)");
  ExpectIndexError([&] { list.First(); }, "List index out of bounds (0)");
  ExpectIndexError([&] { list.Last(); }, "List index out of bounds (-1)");
  list.Add(P(0));
  ExpectIndexError([&] { list.Items(1); }, "List index out of bounds (1)");
  ExpectIndexError([&] { list.Items(-1); }, "List index out of bounds (-1)");
  ExpectIndexError([&] { list.Delete(1); }, "List index out of bounds (1)");
  ExpectIndexError([&] { list.Insert(2, P(1)); }, "List index out of bounds (2)");
  ExpectIndexError([&] { list.Exchange(0, 5); }, "List index out of bounds (5)");
  ExpectIndexError([&] { list.SetItem(3, nullptr); }, "List index out of bounds (3)");
  EXPECT_EQ(list.Count(), 1);
}

TEST(List, CapacityNeverDropsBelowCount) {
  TList list;
  list.SetCapacity(10);
  EXPECT_GE(list.Capacity(), 10);
  for (int i = 0; i < 3; ++i) list.Add(P(i));
  ExpectIndexError([&] { list.SetCapacity(2); }, "List index out of bounds (2)");
}

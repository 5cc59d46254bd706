#include <gtest/gtest.h>

#include "classlib/core/Exception.h"
#include "classlib/core/Stack.h"

TEST(Stack, LastInFirstOut) {
  int a = 0, b = 0, c = 0;
  TStack stack;
  EXPECT_FALSE(stack.AtLeast(1));
  EXPECT_TRUE(stack.AtLeast(0));
  EXPECT_EQ(stack.Push(&a), &a);
  stack.Push(&b);
  stack.Push(&c);
  EXPECT_EQ(stack.Count(), 3);
  EXPECT_TRUE(stack.AtLeast(3));
  EXPECT_EQ(stack.Peek(), &c);
  EXPECT_EQ(stack.Pop(), &c);
  EXPECT_EQ(stack.Pop(), &b);
  stack.Push(nullptr);
  EXPECT_EQ(stack.Pop(), nullptr);
  EXPECT_EQ(stack.Pop(), &a);
  EXPECT_EQ(stack.Count(), 0);
}

TEST(Stack, PoppingAnEmptyStackRaisesAListError) {
  TStack stack;
  EXPECT_THROW(stack.Pop(), EListError);
  EXPECT_THROW(stack.Peek(), EListError);
  EXPECT_EQ(stack.Count(), 0);
}

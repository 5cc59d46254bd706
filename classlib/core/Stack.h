#pragma once
// TStack: a last-in first-out list of untyped pointers; like TList it owns nothing it holds.
#include "classlib/core/List.h"

class TStack {
 public:
  int Count() const { return FList.Count(); }
  bool AtLeast(int count) const { return FList.Count() >= count; }

  void* Push(void* item) {
    FList.Add(item);
    return item;
  }
  // Pop and Peek on an empty stack raise EListError, like a bad list index.
  void* Pop();
  void* Peek() const { return FList.Last(); }

 private:
  TList FList;
};

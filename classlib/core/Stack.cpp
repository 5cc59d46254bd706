#include "classlib/core/Stack.h"

void* TStack::Pop() {
  void* item = FList.Last();
  FList.Delete(FList.Count() - 1);
  return item;
}

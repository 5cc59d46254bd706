#include "classlib/core/List.h"

#include <algorithm>

#include "classlib/core/Exception.h"

void TList::Error(int index) {
  throw EListError(Format("List index out of bounds (%d)", index));
}

void TList::SetCapacity(int capacity) {
  if (capacity < Count()) Error(capacity);
  FItems.reserve(static_cast<size_t>(capacity));
}

void* TList::Items(int index) const {
  Check(index);
  return FItems[static_cast<size_t>(index)];
}

void TList::SetItem(int index, void* item) {
  Check(index);
  FItems[static_cast<size_t>(index)] = item;
}

int TList::Add(void* item) {
  FItems.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  // Inserting at Count appends.
  if (index < 0 || index > Count()) Error(index);
  FItems.insert(FItems.begin() + index, item);
}

void TList::Delete(int index) {
  Check(index);
  FItems.erase(FItems.begin() + index);
}

void TList::Clear() {
  FItems.clear();
  FItems.shrink_to_fit();
}

int TList::IndexOf(const void* item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TList::Remove(const void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(const void* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  void* result = FItems[static_cast<size_t>(index)];
  Delete(index);
  return result;
}

void TList::Exchange(int index1, int index2) {
  Check(index1);
  Check(index2);
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  Check(newIndex);
  void* item = Items(curIndex);
  Delete(curIndex);
  Insert(newIndex, item);
}

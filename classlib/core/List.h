#pragma once
// TList: an ordered list of untyped pointers. The list never owns what its items point to; whoever fills it
// releases the items before clearing or destroying it.
#include <vector>

class TList {
 public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  virtual ~TList() = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  int Capacity() const { return static_cast<int>(FItems.capacity()); }
  void SetCapacity(int capacity);

  void* Items(int index) const;
  void SetItem(int index, void* item);
  void* operator[](int index) const { return Items(index); }

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  void Clear();

  int IndexOf(const void* item) const;
  int Remove(const void* item);
  void* Extract(const void* item);
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

 private:
  [[noreturn]] static void Error(int index);
  void Check(int index) const {
    if (index < 0 || index >= Count()) Error(index);
  }

  std::vector<void*> FItems;
};

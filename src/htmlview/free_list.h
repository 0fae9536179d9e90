#pragma once
// An owning, ordered list of objects: clearing or destroying it frees every object.
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

template <class T>
class TFreeList {
public:
  TFreeList() = default;
  TFreeList(const TFreeList &) = delete;
  TFreeList &operator=(const TFreeList &) = delete;
  TFreeList(TFreeList &&) noexcept = default;
  TFreeList &operator=(TFreeList &&) noexcept = default;
  virtual ~TFreeList() = default;

  int Count() const { return int(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  T *Items(int I) const { return FItems[size_t(I)].get(); }
  T *operator[](int I) const { return Items(I); }
  T *First() const { return FItems.empty() ? nullptr : FItems.front().get(); }
  T *Last() const { return FItems.empty() ? nullptr : FItems.back().get(); }

  // Takes ownership; returns the stored object.
  template <class U>
  U *Add(std::unique_ptr<U> Item) {
    U *P = Item.get();
    FItems.push_back(std::move(Item));
    return P;
  }
  template <class U>
  U *Insert(int Index, std::unique_ptr<U> Item) {
    U *P = Item.get();
    FItems.insert(FItems.begin() + Index, std::move(Item));
    return P;
  }
  // Frees the object at Index.
  void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
  // Hands the object at Index back to the caller and removes it from the list.
  std::unique_ptr<T> Extract(int Index) {
    std::unique_ptr<T> P = std::move(FItems[size_t(Index)]);
    FItems.erase(FItems.begin() + Index);
    return P;
  }
  int IndexOf(const T *Item) const {
    for (size_t I = 0; I < FItems.size(); ++I)
      if (FItems[I].get() == Item) return int(I);
    return -1;
  }
  virtual void Clear() { FItems.clear(); }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

protected:
  std::vector<std::unique_ptr<T>> FItems;
};

#include "htmlview/attributes.h"

TAttribute *TAttributeList::Find(Symb Sy) const {
  for (const auto &A : FItems)
    if (A->Which == Sy) return A.get();
  return nullptr;
}

void TAttributeList::Clear() {
  for (auto &A : FItems) FSpare.push_back(std::move(A));
  FItems.clear();
}

void TAttributeList::Add(Symb Sy, int Value, std::string_view Name) {
  if (FSpare.empty()) {
    FItems.push_back(std::make_unique<TAttribute>(Sy, Value, std::string(Name)));
    return;
  }
  FItems.push_back(std::move(FSpare.back()));
  FSpare.pop_back();
  TAttribute &A = *FItems.back();
  A.Which = Sy;
  A.Value = Value;
  A.Name.assign(Name);
}

#include "htmlview/attributes.h"

TAttribute *TAttributeList::Find(Symb Sy) const {
  for (const auto &A : FItems)
    if (A->Which == Sy) return A.get();
  return nullptr;
}

#pragma once
// The attributes of one tag, as the page reader delivers them.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "htmlview/free_list.h"
#include "htmlview/symbols.h"

class TAttribute {
public:
  TAttribute(Symb ASym, int AValue, std::string AName)
      : Which(ASym), Value(AValue), Name(std::move(AName)) {}
  Symb Which;       // the attribute's symbol (UnknownAttrSy for names not in the table)
  int Value;        // the value read as an integer (0 when it is none; BORDER alone is 1)
  std::string Name; // the value as written (entities decoded)
};

class TAttributeList : public TFreeList<TAttribute> {
public:
  // The first attribute with that symbol, or nullptr.
  TAttribute *Find(Symb Sy) const;
  bool Find(Symb Sy, TAttribute *&Attribute) const {
    Attribute = Find(Sy);
    return Attribute != nullptr;
  }
  // The list is refilled at every tag that keeps attributes: cleared attributes are kept,
  // with their strings' room, for the next ones, so that a page's tags cost no allocations.
  void Clear() override;
  void Add(Symb Sy, int Value, std::string_view Name);
  using TFreeList<TAttribute>::Add;

private:
  std::vector<std::unique_ptr<TAttribute>> FSpare;
};

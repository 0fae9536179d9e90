// libFuzzer target: the icon list stream; what it reads it must write again.
#include <cstddef>
#include <cstdint>

#include "widgets/ico_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
  TIconList L;
  try {
    L.LoadFromStream(S);
  } catch (const Exception &) { return 0; }
  TMemoryStream Out;
  L.SaveToStream(Out);
  Out.SetPosition(0);
  TIconList Again;
  Again.LoadFromStream(Out);
  if (Again.GetCount() != L.GetCount()) __builtin_trap();
  return 0;
}

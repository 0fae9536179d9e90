#pragma once
// The address and frame target of a link.
#include <optional>
#include <string>

#include "htmlview/object_pool.h"

class TUrlTarget {
public:
  VORNELLE_POOLED_OBJECT
  std::string Url;
  std::string Target;
  // Copies each of the two that is given.
  void Assign(const std::optional<std::string> &AUrl,
              const std::optional<std::string> &ATarget) {
    if (AUrl) Url = *AUrl;
    if (ATarget) Target = *ATarget;
  }
  void Copy(const TUrlTarget &Other) {
    Url = Other.Url;
    Target = Other.Target;
  }
  void Clear() {
    Url.clear();
    Target.clear();
  }
};

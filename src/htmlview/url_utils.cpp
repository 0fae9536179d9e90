#include "htmlview/url_utils.h"

#include "htmlview/html_utils.h"

namespace {
int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}
} // namespace

void DecodePercentEscapes(std::string &S) {
  std::string Out;
  Out.reserve(S.size());
  size_t I = 0;
  while (I < S.size()) {
    if (S[I] != '%') {
      Out += S[I++];
      continue;
    }
    int Hi = I + 2 < S.size() ? HexValue(S[I + 1]) : -1;
    int Lo = I + 2 < S.size() ? HexValue(S[I + 2]) : -1;
    if (I == 0 || Hi < 0 || Lo < 0 || (Hi == 0 && Lo == 0)) break;
    Out += char(Hi * 16 + Lo);
    I += 3;
  }
  Out.append(S, I, std::string::npos);
  S = std::move(Out);
}

std::string UrlToDosPath(const std::string &S) {
  std::string R = S;
  DecodePercentEscapes(R);
  if (R.find('/') == std::string::npos) return R;
  const std::string Lower = LowerCase(R);
  size_t P = Lower.find("file:///");
  if (P != std::string::npos) {
    R.erase(P, 8);
  } else if ((P = Lower.find("file://")) != std::string::npos) {
    R.erase(P, 7);
  }
  ReplaceChar('|', ':', R);
  ReplaceChar('/', '\\', R);
  return R;
}

std::string JoinRootAndName(const std::string &Name, const std::string &Root) {
  std::string R = UrlToDosPath(Name);
  if (!R.empty() && R[0] == '\\') R = Root + R;
  return R;
}

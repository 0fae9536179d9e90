#include "htmlview/html_utils.h"

#include <climits>
#include <cstdint>

void ReplaceChar(char Old, char New, std::string &S) {
  for (char &C : S)
    if (C == Old) C = New;
}

std::string LowerCase(std::string_view S) {
  std::string R(S);
  for (char &C : R)
    if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
  return R;
}

std::string UpperCaseAscii(std::string_view S) {
  std::string R(S);
  for (char &C : R)
    if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
  return R;
}

bool StrToIntSat(std::string_view S, int &Value) {
  size_t I = 0;
  bool Neg = false;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) {
    Neg = S[I] == '-';
    ++I;
  }
  if (I >= S.size()) return false;
  int64_t V = 0;
  for (; I < S.size(); ++I) {
    if (S[I] < '0' || S[I] > '9') return false;
    if (V <= int64_t(INT_MAX) + 1) V = V * 10 + (S[I] - '0');
  }
  if (Neg) V = -V;
  Value = V > INT_MAX ? INT_MAX : V < INT_MIN ? INT_MIN : int(V);
  return true;
}

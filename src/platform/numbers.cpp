#include "platform/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

template <class I>
I SaturateReal(double X) {
  if (std::isnan(X)) return 0;
  constexpr double Lo = double(std::numeric_limits<I>::min());
  constexpr double Hi = double(std::numeric_limits<I>::max());
  if (X <= Lo) return std::numeric_limits<I>::min();
  if (X >= Hi) return std::numeric_limits<I>::max();
  return I(X);
}

// A real as decimal digits: Value = 0.D1D2D3... * 10^Exp, as the class library's
// formatting sees it (15 significant digits, rounding of the decimal digits half up).
struct TDecimal {
  bool Negative = false;
  std::string Digits; // no leading zeros; empty for zero
  int Exp = 0;
  bool Special = false; // NaN or infinite
  std::string SpecialText;
};

TDecimal ToDecimal(double V, int Precision = 15) {
  TDecimal D;
  if (std::isnan(V)) { D.Special = true; D.SpecialText = "NAN"; return D; }
  if (std::isinf(V)) { D.Special = true; D.SpecialText = V > 0 ? "INF" : "-INF"; return D; }
  if (V == 0) return D;
  D.Negative = V < 0;
  char Buf[64];
  std::snprintf(Buf, sizeof Buf, "%.*e", Precision - 1, std::fabs(V));
  // "d.ddde+X"
  const char *E = std::strchr(Buf, 'e');
  for (const char *P = Buf; P < E; ++P)
    if (*P >= '0' && *P <= '9') D.Digits += *P;
  D.Exp = std::atoi(E + 1) + 1;
  while (!D.Digits.empty() && D.Digits.back() == '0') D.Digits.pop_back();
  return D;
}

// Keeps Count digits (Count may be <= 0), rounding half up.
void RoundDigits(TDecimal &D, int Count) {
  if (Count >= int(D.Digits.size())) return;
  if (Count < 0) { D.Digits.clear(); D.Exp = 0; return; }
  bool Up = D.Digits[Count] >= '5';
  D.Digits.resize(Count);
  if (Up) {
    int I = Count - 1;
    while (I >= 0 && D.Digits[I] == '9') { D.Digits[I] = '0'; --I; }
    if (I < 0) { D.Digits.insert(D.Digits.begin(), '1'); D.Exp++; }
    else D.Digits[I]++;
  }
  while (!D.Digits.empty() && D.Digits.back() == '0') D.Digits.pop_back();
  if (D.Digits.empty()) D.Exp = 0;
}

char DigitAt(const TDecimal &D, int I) { // I-th digit after the "0." point
  return (I >= 0 && I < int(D.Digits.size())) ? D.Digits[I] : '0';
}

std::string Group(const std::string &Int) {
  std::string R;
  int N = int(Int.size());
  for (int I = 0; I < N; ++I) {
    if (I > 0 && (N - I) % 3 == 0) R += ',';
    R += Int[I];
  }
  return R;
}

// Fixed notation with Decimals digits after the point; no "-0".
std::string FixedText(double V, int Decimals, bool Thousands) {
  TDecimal D = ToDecimal(V);
  if (D.Special) return D.SpecialText;
  RoundDigits(D, D.Exp + Decimals);
  std::string Int;
  for (int I = 0; I < D.Exp; ++I) Int += DigitAt(D, I);
  if (Int.empty()) Int = "0";
  if (Thousands) Int = Group(Int);
  std::string R = (D.Negative && !D.Digits.empty()) ? "-" : "";
  R += Int;
  if (Decimals > 0) {
    R += '.';
    for (int I = 0; I < Decimals; ++I) R += DigitAt(D, D.Exp + I);
  }
  return R;
}

std::string ExpDigits(int E, int MinDigits, bool PlusSign) {
  std::string S = std::to_string(std::abs(E));
  while (int(S.size()) < MinDigits) S.insert(S.begin(), '0');
  return (E < 0 ? "-" : (PlusSign ? "+" : "")) + S;
}

// Scientific with Precision significant digits: "1.23450000000000E+003".
std::string ScientificText(double V, int Precision) {
  TDecimal D = ToDecimal(V);
  if (D.Special) return D.SpecialText;
  if (Precision < 1) Precision = 1;
  RoundDigits(D, Precision);
  std::string R = D.Negative && !D.Digits.empty() ? "-" : "";
  R += DigitAt(D, 0);
  if (Precision > 1) {
    R += '.';
    for (int I = 1; I < Precision; ++I) R += DigitAt(D, I);
  }
  R += 'E' + ExpDigits(D.Digits.empty() ? 0 : D.Exp - 1, 3, true);
  return R;
}

// General: the shorter of fixed and scientific, trailing zeros removed.
std::string GeneralText(double V, int Precision) {
  TDecimal D = ToDecimal(V);
  if (D.Special) return D.SpecialText;
  if (Precision < 1 || Precision > 15) Precision = 15;
  RoundDigits(D, Precision);
  if (D.Digits.empty()) return "0";
  std::string R = D.Negative ? "-" : "";
  if (D.Exp > Precision || D.Exp < -3) {
    R += D.Digits[0];
    if (D.Digits.size() > 1) R += '.' + D.Digits.substr(1);
    R += 'E' + ExpDigits(D.Exp - 1, 0, false);
    return R;
  }
  if (D.Exp <= 0) {
    R += "0.";
    R += std::string(-D.Exp, '0') + D.Digits;
    return R;
  }
  for (int I = 0; I < D.Exp; ++I) R += DigitAt(D, I);
  if (int(D.Digits.size()) > D.Exp) R += '.' + D.Digits.substr(D.Exp);
  return R;
}

[[noreturn]] void BadFormat(std::string_view Fmt) {
  throw EConvertError("Format '" + std::string(Fmt) + "' invalid or incompatible with argument");
}

double ArgReal(const TFormatArg &A, std::string_view Fmt) {
  switch (A.K) {
  case TFormatArg::kFloat: return A.F;
  case TFormatArg::kInt: return double(A.I);
  case TFormatArg::kUInt: return double(A.U);
  default: BadFormat(Fmt);
  }
}

int64_t ArgInt(const TFormatArg &A, std::string_view Fmt) {
  switch (A.K) {
  case TFormatArg::kInt: return A.I;
  case TFormatArg::kUInt: return int64_t(A.U);
  case TFormatArg::kFloat: return Trunc64(A.F);
  default: BadFormat(Fmt);
  }
}

} // namespace

int Round(double X) { return SaturateReal<int>(std::nearbyint(X)); }
int64_t Round64(double X) { return SaturateReal<int64_t>(std::nearbyint(X)); }
int Trunc(double X) { return SaturateReal<int>(X); }
int64_t Trunc64(double X) { return SaturateReal<int64_t>(X); }
int SatToInt(double X) { return SaturateReal<int>(X); }

int MulDiv(int A, int B, int C) {
  if (C == 0) return -1;
  int64_t P = int64_t(A) * int64_t(B);
  int64_t Q = P / C, R = P % C;
  // Half away from zero: compare twice the remainder with the divisor.
  if (2 * (R < 0 ? -R : R) >= (C < 0 ? -int64_t(C) : int64_t(C))) Q += ((P < 0) != (C < 0)) ? -1 : 1;
  if (Q > INT32_MAX || Q < INT32_MIN) return -1;
  return int(Q);
}

std::string FormatV(std::string_view Fmt, const std::vector<TFormatArg> &Args) {
  std::string Out;
  size_t Next = 0;
  size_t I = 0;
  while (I < Fmt.size()) {
    char C = Fmt[I++];
    if (C != '%') { Out += C; continue; }
    if (I >= Fmt.size()) BadFormat(Fmt);
    if (Fmt[I] == '%') { Out += '%'; ++I; continue; }
    auto ReadNumber = [&](int &N) -> bool {
      if (I < Fmt.size() && Fmt[I] == '*') {
        if (Next >= Args.size()) BadFormat(Fmt);
        N = int(ArgInt(Args[Next++], Fmt));
        ++I;
        return true;
      }
      bool Any = false;
      N = 0;
      while (I < Fmt.size() && Fmt[I] >= '0' && Fmt[I] <= '9') {
        N = std::min(N * 10 + (Fmt[I] - '0'), 100000);
        ++I;
        Any = true;
      }
      return Any;
    };
    // [index:]
    size_t Save = I;
    int Num = 0;
    if (I < Fmt.size() && Fmt[I] != '*' && ReadNumber(Num) && I < Fmt.size() && Fmt[I] == ':') { Next = size_t(Num); ++I; }
    else I = Save;
    bool Left = false;
    if (I < Fmt.size() && Fmt[I] == '-') { Left = true; ++I; }
    int Width = 0, Prec = -1;
    ReadNumber(Width);
    if (I < Fmt.size() && Fmt[I] == '.') {
      ++I;
      int P = 0;
      ReadNumber(P);
      Prec = P;
    }
    if (I >= Fmt.size()) BadFormat(Fmt);
    char T = char(std::tolower(static_cast<unsigned char>(Fmt[I++])));
    if (Next >= Args.size()) BadFormat(Fmt);
    const TFormatArg &A = Args[Next++];
    std::string S;
    switch (T) {
    case 'd': {
      int64_t V = ArgInt(A, Fmt);
      std::string Digits = std::to_string(V < 0 ? uint64_t(0) - uint64_t(V) : uint64_t(V));
      while (Prec > 0 && int(Digits.size()) < Prec) Digits.insert(Digits.begin(), '0');
      S = (V < 0 ? "-" : "") + Digits;
      break;
    }
    case 'u': {
      uint64_t V = A.K == TFormatArg::kInt ? uint64_t(uint32_t(A.I)) : uint64_t(ArgInt(A, Fmt));
      S = std::to_string(V);
      while (Prec > 0 && int(S.size()) < Prec) S.insert(S.begin(), '0');
      break;
    }
    case 'x': {
      int64_t V = ArgInt(A, Fmt);
      char Buf[32];
      if (V >= INT32_MIN && V <= UINT32_MAX) std::snprintf(Buf, sizeof Buf, "%X", unsigned(uint32_t(V)));
      else std::snprintf(Buf, sizeof Buf, "%llX", (unsigned long long)V);
      S = Buf;
      while (Prec > 0 && int(S.size()) < Prec) S.insert(S.begin(), '0');
      break;
    }
    case 'p': {
      char Buf[32];
      std::snprintf(Buf, sizeof Buf, "%08llX", (unsigned long long)A.U);
      S = Buf;
      break;
    }
    case 'f': S = FixedText(ArgReal(A, Fmt), Prec < 0 ? 2 : std::min(Prec, 18), false); break;
    case 'n':
    case 'm': S = FixedText(ArgReal(A, Fmt), Prec < 0 ? 2 : std::min(Prec, 18), true); break;
    case 'e': S = ScientificText(ArgReal(A, Fmt), Prec < 0 ? 15 : std::min(Prec, 18)); break;
    case 'g': S = GeneralText(ArgReal(A, Fmt), Prec < 0 ? 15 : Prec); break;
    case 's': {
      if (A.K != TFormatArg::kString) BadFormat(Fmt);
      S = A.S;
      if (Prec >= 0 && int(S.size()) > Prec) S.resize(Prec);
      break;
    }
    default: BadFormat(Fmt);
    }
    if (int(S.size()) < Width) {
      std::string Pad(Width - S.size(), ' ');
      S = Left ? S + Pad : Pad + S;
    }
    Out += S;
  }
  return Out;
}

namespace {

struct TMaskSection {
  std::string Prefix, Suffix;
  int MinInt = 0;      // '0' placeholders before the point
  int IntPlaces = 0;   // all placeholders before the point
  int MinDec = 0, MaxDec = 0;
  bool Thousands = false;
  bool Scientific = false;
  bool ExpPlus = false;
  char ExpChar = 'E';
  int ExpDigitsMin = 0;
};

std::vector<std::string> SplitSections(std::string_view Mask) {
  std::vector<std::string> R(1);
  char Quote = 0;
  for (char C : Mask) {
    if (Quote) { if (C == Quote) Quote = 0; R.back() += C; continue; }
    if (C == '"' || C == '\'') { Quote = C; R.back() += C; continue; }
    if (C == ';') { R.emplace_back(); continue; }
    R.back() += C;
  }
  return R;
}

TMaskSection ParseSection(const std::string &M) {
  TMaskSection S;
  bool SeenDigit = false, AfterPoint = false, InExp = false;
  std::string Lit;
  size_t I = 0;
  while (I < M.size()) {
    char C = M[I];
    if (C == '"' || C == '\'') {
      size_t E = M.find(C, I + 1);
      if (E == std::string::npos) E = M.size();
      Lit += M.substr(I + 1, E - I - 1);
      I = E + 1;
      continue;
    }
    if (InExp) {
      if (C == '0') { S.ExpDigitsMin++; ++I; continue; }
      InExp = false;
    }
    if (C == '0' || C == '#') {
      if (!SeenDigit) { S.Prefix += Lit; Lit.clear(); }
      SeenDigit = true;
      if (AfterPoint) { S.MaxDec++; if (C == '0') S.MinDec = S.MaxDec; }
      else { S.IntPlaces++; if (C == '0') S.MinInt++; }
      ++I;
      continue;
    }
    if (C == '.' && !AfterPoint) {
      if (!SeenDigit) { S.Prefix += Lit; Lit.clear(); SeenDigit = true; }
      AfterPoint = true; ++I; continue;
    }
    if (C == ',') { S.Thousands = true; ++I; continue; }
    if ((C == 'E' || C == 'e') && I + 1 < M.size() && (M[I + 1] == '+' || M[I + 1] == '-') &&
        SeenDigit) {
      S.Scientific = true; S.ExpChar = C; S.ExpPlus = M[I + 1] == '+';
      InExp = true; I += 2; continue;
    }
    Lit += C;
    ++I;
  }
  if (SeenDigit) S.Suffix = Lit; else S.Prefix += Lit;
  return S;
}

std::string ApplySection(const TMaskSection &S, double V) {
  TDecimal D = ToDecimal(V);
  if (D.Special) return D.SpecialText;
  std::string Body;
  if (S.Scientific) {
    int IntDigits = std::max(1, S.IntPlaces);
    RoundDigits(D, IntDigits + S.MaxDec);
    int E = D.Digits.empty() ? 0 : D.Exp - IntDigits;
    std::string Int;
    for (int I = 0; I < IntDigits; ++I) Int += DigitAt(D, I);
    while (Int.size() > 1 && Int[0] == '0' && int(Int.size()) > S.MinInt) Int.erase(0, 1);
    std::string Dec;
    for (int I = 0; I < S.MaxDec; ++I) Dec += DigitAt(D, IntDigits + I);
    while (int(Dec.size()) > S.MinDec && Dec.back() == '0') Dec.pop_back();
    Body = Int + (Dec.empty() ? "" : "." + Dec) + S.ExpChar +
           (E < 0 ? "-" : (S.ExpPlus ? "+" : "")) + ExpDigits(std::abs(E), S.ExpDigitsMin, false);
  } else {
    RoundDigits(D, D.Exp + S.MaxDec);
    std::string Int;
    for (int I = 0; I < D.Exp; ++I) Int += DigitAt(D, I);
    while (int(Int.size()) < S.MinInt) Int.insert(Int.begin(), '0');
    if (S.Thousands) Int = Group(Int);
    std::string Dec;
    for (int I = 0; I < S.MaxDec; ++I) Dec += DigitAt(D, D.Exp + I);
    while (int(Dec.size()) > S.MinDec && Dec.back() == '0') Dec.pop_back();
    Body = Int + (Dec.empty() ? "" : "." + Dec);
  }
  return S.Prefix + Body + S.Suffix;
}

// Whether V shows as zero under the section's decimals.
bool RoundsToZero(const TMaskSection &S, double V) {
  if (V == 0) return true;
  if (S.Scientific) return false;
  TDecimal D = ToDecimal(V);
  if (D.Special) return false;
  RoundDigits(D, D.Exp + S.MaxDec);
  return D.Digits.empty();
}

} // namespace

std::string FormatFloat(std::string_view Mask, double Value) {
  if (Mask.empty()) return FloatToStr(Value);
  std::vector<std::string> Sections = SplitSections(Mask);
  TMaskSection Pos = ParseSection(Sections[0]);
  if (std::isnan(Value) || std::isinf(Value)) return FloatToStr(Value);
  if (RoundsToZero(Pos, Value)) {
    if (Sections.size() >= 3 && !Sections[2].empty()) return ApplySection(ParseSection(Sections[2]), 0);
    return ApplySection(Pos, 0);
  }
  if (Value < 0) {
    if (Sections.size() >= 2 && !Sections[1].empty()) return ApplySection(ParseSection(Sections[1]), -Value);
    return "-" + ApplySection(Pos, -Value);
  }
  return ApplySection(Pos, Value);
}

std::string FloatToStr(double Value) { return GeneralText(Value, 15); }
std::string FloatToStrFixed(double Value, int Digits) {
  return FixedText(Value, std::clamp(Digits, 0, 18), false);
}
std::string IntToStr(int64_t Value) { return std::to_string(Value); }
std::string IntToHex(int64_t Value, int Digits) {
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%llX", (unsigned long long)Value);
  std::string S = Buf;
  while (int(S.size()) < Digits) S.insert(S.begin(), '0');
  return S;
}

std::string Trim(std::string_view S) {
  size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= ' ') ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ') --E;
  return std::string(S.substr(B, E - B));
}

bool TryStrToInt(std::string_view Text, int &Value) {
  std::string S = Trim(Text);
  if (S.empty()) return false;
  size_t I = 0;
  bool Neg = false;
  if (S[I] == '+' || S[I] == '-') { Neg = S[I] == '-'; ++I; }
  int Base = 10;
  if (I < S.size() && S[I] == '$') { Base = 16; ++I; }
  else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) { Base = 16; I += 2; }
  if (I >= S.size()) return false;
  int64_t V = 0;
  for (; I < S.size(); ++I) {
    int D;
    char C = S[I];
    if (C >= '0' && C <= '9') D = C - '0';
    else if (Base == 16 && C >= 'a' && C <= 'f') D = C - 'a' + 10;
    else if (Base == 16 && C >= 'A' && C <= 'F') D = C - 'A' + 10;
    else return false;
    V = V * Base + D;
    if (V > int64_t(UINT32_MAX) + 1) return false;
  }
  if (Neg) V = -V;
  if (Base == 16 && V > INT32_MAX && V <= UINT32_MAX) V = int32_t(uint32_t(V));
  if (V < INT32_MIN || V > INT32_MAX) return false;
  Value = int(V);
  return true;
}

int StrToInt(std::string_view S) {
  int V;
  if (!TryStrToInt(S, V)) throw EConvertError("'" + std::string(S) + "' is not a valid integer value");
  return V;
}

int StrToIntDef(std::string_view S, int Default) {
  int V;
  return TryStrToInt(S, V) ? V : Default;
}

bool TryStrToFloat(std::string_view Text, double &Value) {
  std::string S = Trim(Text);
  if (S.empty()) return false;
  // Locale-independent: only digits, sign, '.', exponent.
  size_t I = 0;
  if (S[I] == '+' || S[I] == '-') ++I;
  bool Digits = false;
  while (I < S.size() && std::isdigit(static_cast<unsigned char>(S[I]))) { ++I; Digits = true; }
  if (I < S.size() && S[I] == '.') {
    ++I;
    while (I < S.size() && std::isdigit(static_cast<unsigned char>(S[I]))) { ++I; Digits = true; }
  }
  if (!Digits) return false;
  if (I < S.size() && (S[I] == 'e' || S[I] == 'E')) {
    ++I;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
    bool ExpDigits = false;
    while (I < S.size() && std::isdigit(static_cast<unsigned char>(S[I]))) { ++I; ExpDigits = true; }
    if (!ExpDigits) return false;
  }
  if (I != S.size()) return false;
  // from_chars is locale-independent, so a decimal comma locale cannot interfere.
  size_t P = (S[0] == '+') ? 1 : 0;
  double R = 0;
  auto Res = std::from_chars(S.data() + P, S.data() + S.size(), R);
  if (Res.ec != std::errc() && Res.ec != std::errc::result_out_of_range) return false;
  Value = R;
  return std::isfinite(Value);
}

double StrToFloat(std::string_view S) {
  double V;
  if (!TryStrToFloat(S, V))
    throw EConvertError("'" + std::string(S) + "' is not a valid floating point value");
  return V;
}

double StrToFloatDef(std::string_view S, double Default) {
  double V;
  return TryStrToFloat(S, V) ? V : Default;
}

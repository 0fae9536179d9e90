#pragma once
// Number rules of the class library: rounding, MulDiv, conversions and Format.
// The decimal separator is always '.', the thousands separator ',', whatever the locale.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// Base of the program's exceptions: a message text, shown in a message box.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string &Msg) : std::runtime_error(Msg) {}
  std::string Message() const { return what(); }
};
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// Nearest integer, halves to the even neighbour (Round(12.5) = 12, Round(13.5) = 14);
// saturates to the int range, NaN gives 0.
int Round(double X);
int64_t Round64(double X);
// Towards zero, saturating as Round.
int Trunc(double X);
int64_t Trunc64(double X);
// Saturating conversion of any real to a pixel integer (truncating).
int SatToInt(double X);
inline int SatToInt(int64_t X) {
  return X > INT32_MAX ? INT32_MAX : X < INT32_MIN ? INT32_MIN : int(X);
}
// div and mod truncate, with the sign of the dividend; a zero divisor gives 0, not a trap.
inline int Div(int A, int B) { return B == 0 ? 0 : (B == -1 ? int(0u - unsigned(A)) : A / B); }
inline int Mod(int A, int B) { return (B == 0 || B == -1) ? 0 : A % B; }
// A * B / C with a 64-bit product, rounded half away from zero; -1 when C = 0 or the
// result does not fit in 32 bits. MulDiv(-5, 1, 2) = -3.
int MulDiv(int A, int B, int C);

// One argument of Format: integers, reals and strings.
struct TFormatArg {
  enum Kind { kInt, kUInt, kFloat, kString, kPointer } K;
  int64_t I = 0;
  uint64_t U = 0;
  double F = 0;
  std::string S;
  template <class T>
  TFormatArg(T V) {
    if constexpr (std::is_same_v<T, bool>) { K = kInt; I = V ? 1 : 0; }
    else if constexpr (std::is_same_v<T, char>) { K = kString; S = std::string(1, V); }
    else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) { K = kInt; I = V; }
    else if constexpr (std::is_integral_v<T>) { K = kUInt; U = V; I = int64_t(V); }
    else if constexpr (std::is_enum_v<T>) { K = kInt; I = int64_t(V); }
    else if constexpr (std::is_floating_point_v<T>) { K = kFloat; F = double(V); }
    else if constexpr (std::is_pointer_v<T> && !std::is_convertible_v<T, const char *>) {
      K = kPointer; U = uint64_t(reinterpret_cast<uintptr_t>(V));
    } else { K = kString; S = std::string(std::string_view(V)); }
  }
};

// printf-like with the class library's rules: %d %u %x %X %s %f %e %g %n %m(as %n) %%,
// with [-][width][.prec] and '*'. %f, %n default to two decimals ("5.00"), %e and %g to 15
// significant digits; %f accepts integers; %d of a real truncates. A missing argument or
// a bad specifier raises EConvertError ("Format '...' invalid or incompatible with argument").
std::string FormatV(std::string_view Fmt, const std::vector<TFormatArg> &Args);
template <class... A>
std::string Format(std::string_view Fmt, const A &...Args) {
  return FormatV(Fmt, std::vector<TFormatArg>{TFormatArg(Args)...});
}

// Masks: '0' digit, '#' optional digit, '.' decimal point, ',' thousands separators,
// "E+00"/"E-00" exponent, '...' or "..." literal, up to three sections pos;neg;zero.
// A value that rounds to zero never shows "-0".
std::string FormatFloat(std::string_view Mask, double Value);
// ffGeneral with 15 digits: "0.1", "1E20", "1.5E-6".
std::string FloatToStr(double Value);
// Fixed-point with Digits decimals, like FloatToStrF(Value, ffFixed, 15, Digits).
std::string FloatToStrFixed(double Value, int Digits);
std::string IntToStr(int64_t Value);
std::string IntToHex(int64_t Value, int Digits);
// Decimal, optionally signed, or '$'-prefixed hex; surrounding blanks are allowed.
// Raises EConvertError "'x' is not a valid integer value".
int StrToInt(std::string_view S);
int StrToIntDef(std::string_view S, int Default);
bool TryStrToInt(std::string_view S, int &Value);
// '.' as decimal separator; raises EConvertError "'x' is not a valid floating point value".
double StrToFloat(std::string_view S);
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToFloat(std::string_view S, double &Value);
std::string Trim(std::string_view S);

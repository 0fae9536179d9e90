#include "platform/encoding.h"

#include <cctype>
#include <string>

#include "platform/canvas.h"

extern const char16_t CodePageTables[21][128];

namespace {

struct TNamedPage {
  const char *Name;
  TCodePage Page;
};

constexpr TNamedPage PageNames[] = {
    {"windows-1252", TCodePage::Windows1252}, {"cp1252", TCodePage::Windows1252},
    {"x-cp1252", TCodePage::Windows1252},     {"windows-1250", TCodePage::Windows1250},
    {"cp1250", TCodePage::Windows1250},       {"x-cp1250", TCodePage::Windows1250},
    {"windows-1251", TCodePage::Windows1251}, {"cp1251", TCodePage::Windows1251},
    {"x-cp1251", TCodePage::Windows1251},     {"windows-1253", TCodePage::Windows1253},
    {"cp1253", TCodePage::Windows1253},       {"windows-1254", TCodePage::Windows1254},
    {"cp1254", TCodePage::Windows1254},       {"windows-1255", TCodePage::Windows1255},
    {"cp1255", TCodePage::Windows1255},       {"windows-1256", TCodePage::Windows1256},
    {"cp1256", TCodePage::Windows1256},       {"windows-1257", TCodePage::Windows1257},
    {"cp1257", TCodePage::Windows1257},       {"windows-1258", TCodePage::Windows1258},
    {"cp1258", TCodePage::Windows1258},       {"iso-8859-1", TCodePage::Iso8859_1},
    {"iso8859-1", TCodePage::Iso8859_1},      {"latin1", TCodePage::Iso8859_1},
    {"us-ascii", TCodePage::Windows1252},     {"iso-8859-2", TCodePage::Iso8859_2},
    {"iso8859-2", TCodePage::Iso8859_2},      {"latin2", TCodePage::Iso8859_2},
    {"iso-8859-3", TCodePage::Iso8859_3},     {"iso-8859-4", TCodePage::Iso8859_4},
    {"iso-8859-5", TCodePage::Iso8859_5},     {"iso-8859-6", TCodePage::Iso8859_6},
    {"iso-8859-7", TCodePage::Iso8859_7},     {"iso-8859-8", TCodePage::Iso8859_8},
    {"iso-8859-9", TCodePage::Iso8859_9},     {"latin5", TCodePage::Iso8859_9},
    {"iso-8859-15", TCodePage::Iso8859_15},   {"iso8859-15", TCodePage::Iso8859_15},
    {"latin-9", TCodePage::Iso8859_15},       {"koi8-r", TCodePage::Koi8R},
    {"koi8r", TCodePage::Koi8R},              {"cp866", TCodePage::Cp866},
    {"ibm866", TCodePage::Cp866},
};

void AppendUtf8(std::string &Out, uint32_t C) {
  if (C < 0x80) Out += char(C);
  else if (C < 0x800) { Out += char(0xC0 | (C >> 6)); Out += char(0x80 | (C & 0x3F)); }
  else if (C < 0x10000) {
    Out += char(0xE0 | (C >> 12)); Out += char(0x80 | ((C >> 6) & 0x3F)); Out += char(0x80 | (C & 0x3F));
  } else {
    Out += char(0xF0 | (C >> 18)); Out += char(0x80 | ((C >> 12) & 0x3F));
    Out += char(0x80 | ((C >> 6) & 0x3F)); Out += char(0x80 | (C & 0x3F));
  }
}

// Length of a valid UTF-8 sequence at S[I], 0 when invalid; Code receives the character.
int Utf8Sequence(std::string_view S, size_t I, uint32_t &Code) {
  unsigned char B = S[I];
  int N;
  uint32_t C;
  if (B < 0x80) { Code = B; return 1; }
  if (B >= 0xC2 && B <= 0xDF) { N = 2; C = B & 0x1F; }
  else if (B >= 0xE0 && B <= 0xEF) { N = 3; C = B & 0x0F; }
  else if (B >= 0xF0 && B <= 0xF4) { N = 4; C = B & 0x07; }
  else return 0;
  if (I + N > S.size()) return 0;
  for (int K = 1; K < N; ++K) {
    unsigned char T = S[I + K];
    if ((T & 0xC0) != 0x80) return 0;
    C = (C << 6) | (T & 0x3F);
  }
  if ((N == 3 && C < 0x800) || (N == 4 && (C < 0x10000 || C > 0x10FFFF)) ||
      (C >= 0xD800 && C <= 0xDFFF))
    return 0;
  Code = C;
  return N;
}

} // namespace

bool CodePageByName(std::string_view Name, TCodePage &Page) {
  std::string N;
  for (char C : Name)
    if (!std::isspace(static_cast<unsigned char>(C))) N += char(std::tolower(static_cast<unsigned char>(C)));
  for (const auto &E : PageNames)
    if (N == E.Name) { Page = E.Page; return true; }
  return false;
}

TCodePage CodePageOfCharset(int Charset) {
  switch (Charset) {
  case EASTEUROPE_CHARSET: return TCodePage::Windows1250;
  case RUSSIAN_CHARSET: return TCodePage::Windows1251;
  case GREEK_CHARSET: return TCodePage::Windows1253;
  case TURKISH_CHARSET: return TCodePage::Windows1254;
  case HEBREW_CHARSET: return TCodePage::Windows1255;
  case ARABIC_CHARSET: return TCodePage::Windows1256;
  case BALTIC_CHARSET: return TCodePage::Windows1257;
  case OEM_CHARSET: return TCodePage::Cp866;
  default: return TCodePage::Windows1252;
  }
}

char16_t DecodeByte(uint8_t Byte, TCodePage Page) {
  if (Byte < 0x80) return Byte;
  return CodePageTables[int(Page)][Byte - 0x80];
}

std::u16string DecodeText(std::string_view Bytes, TCodePage Page) {
  std::u16string R;
  R.reserve(Bytes.size());
  for (char C : Bytes) R += DecodeByte(static_cast<uint8_t>(C), Page);
  return R;
}

std::string DecodeToUtf8(std::string_view Bytes, TCodePage Page) {
  std::string R;
  R.reserve(Bytes.size());
  for (char C : Bytes) AppendUtf8(R, DecodeByte(static_cast<uint8_t>(C), Page));
  return R;
}

bool IsValidUtf8(std::string_view S) {
  uint32_t C;
  for (size_t I = 0; I < S.size();) {
    int N = Utf8Sequence(S, I, C);
    if (!N) return false;
    I += N;
  }
  return true;
}

std::u16string Utf8ToUtf16(std::string_view S) {
  std::u16string R;
  R.reserve(S.size());
  for (size_t I = 0; I < S.size();) {
    uint32_t C;
    int N = Utf8Sequence(S, I, C);
    if (!N) { R += DecodeByte(static_cast<uint8_t>(S[I]), TCodePage::Windows1252); ++I; continue; }
    if (C >= 0x10000) {
      C -= 0x10000;
      R += char16_t(0xD800 + (C >> 10));
      R += char16_t(0xDC00 + (C & 0x3FF));
    } else R += char16_t(C);
    I += N;
  }
  return R;
}

std::string Utf16ToUtf8(std::u16string_view T) {
  std::string R;
  R.reserve(T.size());
  for (size_t I = 0; I < T.size(); ++I) {
    uint32_t C = T[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < T.size() && T[I + 1] >= 0xDC00 && T[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (T[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) C = 0xFFFD;
    AppendUtf8(R, C);
  }
  return R;
}

std::string EncodeText(std::u16string_view Text, TCodePage Page) {
  std::string R;
  R.reserve(Text.size());
  for (char16_t C : Text) {
    if (C < 0x80) { R += char(C); continue; }
    char Found = '?';
    for (int B = 0; B < 128; ++B)
      if (CodePageTables[int(Page)][B] == C) {
        Found = char(0x80 + B);
        break;
      }
    R += Found;
  }
  return R;
}

std::string Utf8ToWindows1252(std::string_view S) {
  return EncodeText(Utf8ToUtf16(S), TCodePage::Windows1252);
}

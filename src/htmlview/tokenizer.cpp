#include "htmlview/tokenizer.h"

#include <algorithm>
#include <array>

#include "htmlview/html_utils.h"
#include "platform/encoding.h"

namespace {

constexpr char CR = 13;

bool IsLetter(char C) { return C >= 'A' && C <= 'Z'; } // tested on LCh
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsAlnum(char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || IsDigit(C);
}
char Upper(char C) { return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C; }

// The entity names in table order; entries from nbsp on give the characters 160..255.
constexpr std::array<const char *, 104> EntityNames = {
    "amp", "lt", "gt", "quot", "rsquo", "ndash", "trade", "hellip",
    "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy",
    "ordf", "laquo", "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3",
    "acute", "micro", "para", "middot", "cedil", "sup1", "ordm", "raquo", "frac14",
    "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring",
    "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc",
    "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave",
    "aacute", "acirc", "atilde", "auml", "aring", "aelig", "ccedil", "egrave", "eacute",
    "ecirc", "euml", "igrave", "iacute", "icirc", "iuml", "eth", "ntilde", "ograve",
    "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave", "uacute", "ucirc",
    "uuml", "yacute", "thorn", "yuml"};
constexpr char EntityChars[8] = {'&', '<', '>', '"', '\'', '-', char(153), '.'};
constexpr int HellipEntry = 7;

// Tags whose attributes are kept for the parser.
bool KeepsAttributes(Symb Sy) {
  switch (Sy) {
  case BodySy: case PSy: case BRSy: case HeadingSy: case HRSy: case BaseSy: case OLSy:
  case ULSy: case ImageSy: case AnchorSy: case TableSy: case TDSy: case TRSy: case THSy:
  case CaptionSy: case InputSy: case FormSy: case TextAreaSy: case SelectSy:
  case OptionSy: case FontSy: case BaseFontSy: case MapSy: case AreaSy: case FrameSetSy:
  case FrameSy: case ScriptSy: case DivSy: case BgSoundSy: case WrapSy: case MetaSy:
  case PanelSy:
    return true;
  default:
    return false;
  }
}

// A UTF-16 code unit as one character of the system code page ('?' when it has none).
char CodeUnitToByte(unsigned N) {
  std::u16string U(1, char16_t(N));
  std::string B = Utf8ToWindows1252(Utf16ToUtf8(U));
  return B.size() == 1 ? B[0] : '?';
}

} // namespace

void THtmlTokenizer::Start(const char *Buf, size_t Len, TLoadStyle Style,
                           TIncludeHandler OnInclude) {
  FPtr = Buf;
  FEnd = Buf + Len;
  FLoadStyle = FSavedStyle = Style;
  FIncludeBuf.clear();
  FIncludePos = 0;
  FLineEnd = 0;
  FInComment = false;
  FCommentOpen = false;
  FOnInclude = std::move(OnInclude);
  SourcePos = -1;
  Sy = EofSy;
  Token.Clear();
  Attributes.Clear();
  HeadingLevel = 0;
  TagStartPos = 0;
  InPre = NoBreak = InScript = ParagraphSpaceGiven = false;
  NextChar();
}

void THtmlTokenizer::StartPlain(const char *Buf, size_t Len) {
  Start(nullptr, 0, TLoadStyle::File);
  FPtr = Buf;
  FEnd = Buf + Len;
  SourcePos = -1;
  ReadNormalizedChar();
}

// -1 at the end of the input; bytes are 0..255.
int THtmlTokenizer::ReadSourceChar() {
  if (FLoadStyle != TLoadStyle::Include) [[likely]] {
    if (FPtr >= FEnd) return -1;
    ++SourcePos;
    return uint8_t(*FPtr++);
  }
  {
    if (FIncludePos < FIncludeBuf.size()) return uint8_t(FIncludeBuf[FIncludePos++]);
    FLoadStyle = FSavedStyle;
    FIncludeBuf.clear();
    FIncludePos = 0;
  }
  if (FPtr >= FEnd) return -1;
  ++SourcePos;
  return uint8_t(*FPtr++);
}

int THtmlTokenizer::PeekSourceChar() const {
  if (FLoadStyle == TLoadStyle::Include && FIncludePos < FIncludeBuf.size())
    return uint8_t(FIncludeBuf[FIncludePos]);
  if (FPtr >= FEnd) return -1;
  return uint8_t(*FPtr);
}

void THtmlTokenizer::ReadNormalizedChar() {
  int C = ReadSourceChar();
  if ((C == 10 && FLineEnd == 1) || (C == 13 && FLineEnd == 2)) C = ReadSourceChar();
  if (C == 10 || C == 13) {
    // The second byte of a CR LF or LF CR pair is taken at once, so that the line end
    // carries the position of the pair's last byte.
    const int Other = C == 10 ? 13 : 10;
    if (PeekSourceChar() == Other) {
      ReadSourceChar();
      FLineEnd = 0;
    } else {
      FLineEnd = C == 10 ? 2 : 1;
    }
    Ch = CR;
  } else {
    FLineEnd = 0;
    if (C < 0)
      Ch = EofChar;
    else if (C == 9)
      Ch = ' ';
    else if (C < 32)
      Ch = ' '; // control bytes would pose as object marks or cut the text
    else
      Ch = char(C);
  }
  LCh = Upper(Ch);
  if (Ch == EofChar && FInComment) throw EParseError("Open Comment at End of HTML File");
}

// Skips to the end of a comment: two or more '-', optional blanks and line ends, '>'.
void THtmlTokenizer::SkipComment() {
  for (;;) {
    // A comment read inside an include command's attributes may have ended the comment
    // state; the end of the input must stop this loop all the same.
    if (Ch == EofChar) throw EParseError("Open Comment at End of HTML File");
    if (LCh == '-') {
      ReadNormalizedChar();
      if (LCh == '-') {
        while (LCh == '-') ReadNormalizedChar();
        while (Ch == ' ' || Ch == CR) ReadNormalizedChar();
        if (LCh == '>') return;
      }
    } else {
      ReadNormalizedChar();
    }
  }
}

void THtmlTokenizer::DoInclude() {
  ReadNormalizedChar(); // over '#'
  std::string Command;
  while (IsLetter(LCh)) {
    Command += Ch;
    ReadNormalizedChar();
  }
  std::vector<std::string> Params;
  Symb Sym;
  std::string Name, Str;
  int Value;
  while (ReadAttribute(Sym, Name, Value, Str)) Params.push_back(Name + "=\"" + Str + "\"");
  FInComment = true; // a comment inside the attributes has ended the state
  SkipComment();
  std::string Buffer;
  FOnInclude(Command, Params, Buffer);
  if (!Buffer.empty()) {
    FIncludeBuf = std::move(Buffer);
    FIncludePos = 0;
    FSavedStyle = FLoadStyle;
    FLoadStyle = TLoadStyle::Include;
  }
}

void THtmlTokenizer::NextChar() {
  ReadNormalizedChar();
  try {
    SkipMarkup();
  } catch (const EParseError &) {
    // Reported by the next NextSymbol, so that the text read before the comment is
    // still delivered.
    FInComment = false;
    FCommentOpen = true;
    Ch = LCh = EofChar;
  }
}

void THtmlTokenizer::SkipMarkup() {
  while (Ch == '<' && !InScript && PeekSourceChar() == '!') {
    FInComment = true;
    ReadNormalizedChar(); // the '!'
    ReadNormalizedChar();
    if (Ch == '-') {
      ReadNormalizedChar();
      if (Ch == '-') {
        ReadNormalizedChar();
        if (Ch == '#' && FOnInclude && FLoadStyle != TLoadStyle::Include)
          DoInclude();
        else
          SkipComment();
      } else {
        while (LCh != '>') {
          if (Ch == EofChar) throw EParseError("Open Comment at End of HTML File");
          ReadNormalizedChar();
        }
      }
    } else {
      while (LCh != '>') {
        if (Ch == EofChar) throw EParseError("Open Comment at End of HTML File");
        ReadNormalizedChar();
      }
    }
    FInComment = false;
    ReadNormalizedChar();
  }
}

void THtmlTokenizer::SkipBlanks() {
  while (Ch == ' ' || Ch == CR || Ch == '\t') NextChar();
}

bool THtmlTokenizer::ReadAttribute(Symb &Sym, std::string &UpperName, int &Value,
                                   std::string &Str) {
  SkipBlanks();
  if (!IsLetter(LCh)) return false;
  UpperName.clear();
  while (IsLetter(LCh) || LCh == '-') {
    UpperName += LCh;
    NextChar();
  }
  Sym = LookupAttribute(UpperName);
  SkipBlanks();
  Str.clear();
  Value = Sym == BorderSy ? 1 : 0;
  if (LCh != '=') return true;
  NextChar();
  SkipBlanks();
  if (Ch == '"' || Ch == '\'') {
    const char Quote = Ch;
    NextChar();
    TokenObj Entity;
    while (Ch != Quote && Ch != EofChar) {
      if (Ch == CR) {
        NextChar();
      } else if (Ch == '&') {
        Entity.Clear();
        ReadEntity(Entity);
        Str += Entity.S;
      } else {
        Str += Ch;
        NextChar();
      }
    }
    if (Ch == Quote) NextChar();
    Str = Trim(Str);
    std::string Num = Str;
    size_t Pct = Num.find('%');
    if (Pct != std::string::npos && Pct + 1 == Num.size()) Num.pop_back();
    if (!StrToIntSat(Num, Value)) Value = 0;
  } else if (Ch == '+' || Ch == '-' || IsDigit(Ch)) {
    Str += Ch;
    NextChar();
    while (Ch != '\t' && Ch != CR && Ch != EofChar && Ch != ' ' && Ch != '%' && Ch != '>') {
      Str += Ch;
      NextChar();
    }
    SkipBlanks();
    if (!StrToIntSat(Str, Value)) Value = 0;
    if (Ch == '%') {
      Str += '%';
      NextChar();
    }
  } else {
    while (Ch != '\t' && Ch != CR && Ch != EofChar && Ch != ' ' && Ch != '>') {
      Str += Ch;
      NextChar();
    }
  }
  return true;
}

bool THtmlTokenizer::ReadTag() {
  TagStartPos = SourcePos;
  NextChar();
  const bool EndTag = LCh == '/';
  if (EndTag) {
    NextChar();
  } else if (!IsLetter(LCh)) {
    Sy = TextSy;
    Token.AddChar('<', TagStartPos);
    return true;
  }
  Sy = UnknownSy;
  std::string Name;
  while (IsLetter(LCh)) {
    if (Name.size() < 255) Name += LCh;
    NextChar();
  }
  Symb Start, End;
  if (LookupTag(Name, Start, End)) Sy = EndTag ? End : Start;
  SkipBlanks();
  HeadingLevel = 0;
  if ((Sy == HeadingSy || Sy == HeadingEndSy) && LCh >= '1' && LCh <= '6') {
    HeadingLevel = LCh - '0';
    NextChar();
  }
  const bool Keep = !EndTag && KeepsAttributes(Sy);
  if (Keep) Attributes.Clear();
  Symb Sym;
  std::string AttrName, Str;
  int Value;
  while (ReadAttribute(Sym, AttrName, Value, Str))
    if (Keep) Attributes.Add(Sym, Value, Str);
  while (LCh != '>' && Ch != EofChar) NextChar();
  NextChar();
  return true;
}

bool THtmlTokenizer::ReadEntity(TokenObj &Out) {
  const int P = SourcePos;
  TokenObj Raw;
  Raw.AddChar('&', P);
  NextChar();
  auto Take = [&] {
    Raw.AddChar(Ch, SourcePos);
    NextChar();
  };
  auto Emit = [&](char C) { Out.AddChar(C, P); };
  if (Ch == '#') {
    Take();
    std::string Digits;
    while (IsDigit(Ch) && Digits.size() < 5) {
      Digits += Ch;
      Take();
    }
    if (Digits.size() == 5 && IsDigit(Ch)) {
      Out.AddString(Raw);
      return true;
    }
    if (Ch == ';') Take();
    if (Digits.empty()) {
      Out.AddString(Raw);
      return true;
    }
    const unsigned N = unsigned(std::stoul(Digits));
    if (N > 0xFFFF || (N >= 0xD800 && N <= 0xDFFF))
      Out.AddString(Raw); // no single code unit: kept as written
    else if (N > 255)
      Emit(CodeUnitToByte(N));
    else if (N == 9)
      Emit(' ');
    else if (N == 10 || N >= 32)
      Emit(char(N));
    else
      Out.AddString(Raw);
    return true;
  }
  std::string Name;
  while (IsAlnum(Ch)) {
    if (Name.size() == 6) {
      Out.AddString(Raw);
      return true;
    }
    Name += Ch;
    Take();
  }
  if (Ch == ';') Take();
  for (size_t K = 0; K < EntityNames.size(); ++K)
    if (Name == EntityNames[K]) {
      if (K == HellipEntry) {
        for (int J = 0; J < 3; ++J) Out.AddChar('.', P + J);
      } else if (K < 8) {
        Emit(EntityChars[K]);
      } else {
        Emit(char(K + 152)); // nbsp, the ninth entry, is 160
      }
      return true;
    }
  Out.AddString(Raw);
  return true;
}

bool THtmlTokenizer::ReadTextRun() {
  for (;;) {
    if (Token.Leng() >= MaxTextRun) break;
    if (Ch == '&' || Ch == '<' || (uint8_t(Ch) < 32 && Ch != CR)) break;
    if (!InPre && (Ch == ' ' || Ch == CR)) {
      Token.AddChar(NoBreak ? NoBreakSpaceChar : ' ', SourcePos);
      NextChar();
      while (Ch == ' ' || Ch == CR || Ch == '\t') NextChar();
    } else {
      Token.AddChar(Ch, SourcePos);
      // Ordinary bytes of the main buffer are taken straight from it: no line end to
      // fold, no control byte, no '<' that might open a comment. All but the last of
      // them go into the run at once (as far as the run has room); the last becomes Ch.
      size_t N = 0;
      if (FLoadStyle != TLoadStyle::Include && FLineEnd == 0) {
        const size_t Room = size_t(MaxTextRun - Token.Leng());
        const size_t Avail = std::min(Room + 1, size_t(FEnd - FPtr));
        while (N < Avail && uint8_t(FPtr[N]) > ' ' && FPtr[N] != '<' && FPtr[N] != '&') ++N;
      }
      if (N > 0) {
        const size_t K = N - 1;
        Token.S.append(FPtr, K);
        for (size_t J = 1; J <= K; ++J) Token.I.push_back(SourcePos + int(J));
        Ch = FPtr[K];
        FPtr += N;
        SourcePos += int(N);
        LCh = Upper(Ch);
      } else {
        NextChar();
      }
    }
  }
  if (Token.Leng() == 0) return false;
  Sy = TextSy;
  return true;
}

void THtmlTokenizer::NextSymbol() {
  Token.Clear();
  if (Ch == EofChar) {
    Sy = EofSy;
    if (FCommentOpen) {
      FCommentOpen = false;
      throw EParseError("Open Comment at End of HTML File");
    }
  } else if (LCh == '<') {
    ReadTag();
  } else if (LCh == '&') {
    Sy = TextSy;
    ReadEntity(Token);
  } else if (!ReadTextRun()) {
    Sy = OtherChSy;
    Token.AddChar(Ch, SourcePos);
    NextChar();
  }
  if (ParagraphSpaceGiven) {
    switch (Sy) {
    case BRSy: case HeadingSy: case HRSy: case ImageSy: case TextSy: case TableSy:
    case InputSy: case TextAreaSy: case SelectSy: case PanelSy:
      ParagraphSpaceGiven = false;
      break;
    default:
      break;
    }
  }
}

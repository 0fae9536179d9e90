#include "htmlview/tokenizer.h"

#include <algorithm>
#include <array>

#include "htmlview/html_utils.h"
#include "platform/encoding.h"

namespace {

constexpr char CR = 13;

bool IsLetter(char C) { return C >= 'A' && C <= 'Z'; } // tested on LCh
char Upper(char C) { return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
// The end of an attribute value that is not quoted.
bool EndsBareValue(char C) { return C == '\t' || C == CR || C == EofChar || C == ' ' || C == '>'; }
bool IsAlnum(char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || IsDigit(C);
}

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
// Entity names packed 6 bits a character (digits 1..10, A..Z 11..36, a..z 37..62); no
// name is longer than six.
constexpr uint64_t EntityCode(char C) {
  return C <= '9'   ? uint64_t(C - '0' + 1)
         : C <= 'Z' ? uint64_t(C - 'A' + 11)
                    : uint64_t(C - 'a' + 37);
}
constexpr uint64_t EntityKey(std::string_view Name) {
  uint64_t K = 0;
  for (char C : Name) K = K << 6 | EntityCode(C);
  return K;
}
constexpr TKeyIndex<10, int> EntityIndex(EntityNames, [](const char *N) { return EntityKey(N); },
                                         [](int Row) { return Row; }, -1);
constexpr char EntityChars[8] = {'&', '<', '>', '"', '\'', '-', char(153), '.'};
constexpr int HellipEntry = 7;

// Tags whose attributes are kept for the parser.
constexpr std::array<bool, 256> KeepsAttributesTable = [] {
  std::array<bool, 256> T{};
  for (Symb Sy : {BodySy, PSy, BRSy, HeadingSy, HRSy, BaseSy, OLSy, ULSy, ImageSy, AnchorSy,
                  TableSy, TDSy, TRSy, THSy, CaptionSy, InputSy, FormSy, TextAreaSy, SelectSy,
                  OptionSy, FontSy, BaseFontSy, MapSy, AreaSy, FrameSetSy, FrameSy, ScriptSy,
                  DivSy, BgSoundSy, WrapSy, MetaSy, PanelSy})
    T[Sy] = true;
  return T;
}();
bool KeepsAttributes(Symb Sy) { return KeepsAttributesTable[Sy]; }

// A tag name's key as its letters come; 0 once it is longer than any table name.
struct TTagName {
  uint64_t Key = 0;
  int Length = 0;
  void Add(char C) {
    if (Length <= MaxNameKeyLength && ++Length <= MaxNameKeyLength)
      Key = NameKeyAdd(Key, Upper(C));
    else
      Key = 0;
  }
};

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
  FReadingInclude = false;
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
  TScratch S;
  Symb Sym;
  int Value;
  FReadingInclude = true;
  try {
    while (ReadAttribute(S, Sym, Value)) Params.push_back(S.Name + "=\"" + S.Value + "\"");
  } catch (...) {
    FReadingInclude = false;
    throw;
  }
  FReadingInclude = false;
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

void THtmlTokenizer::NextCharSlow() {
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
        // Includes do not nest, neither from an include's text nor inside an include
        // command (where each level would take stack).
        if (Ch == '#' && FOnInclude && FLoadStyle != TLoadStyle::Include && !FReadingInclude)
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

// `while (Keep(Ch)) { Use(Ch); NextChar(); }`, with the plain bytes of the main buffer that
// Keep accepts taken in one step: NextChar would give each of them as it is. Use gets the
// characters as a range [From, To).
template <class KeepFn, class UseFn>
void THtmlTokenizer::ReadWhile(KeepFn Keep, UseFn Use) {
  while (Keep(Ch)) {
    Use(&Ch, &Ch + 1);
    if (FLoadStyle != TLoadStyle::Include) {
      const char *P = FPtr;
      while (P != FEnd && IsPlainByte(P) && Keep(*P)) ++P;
      if (P != FPtr) {
        Use(FPtr, P);
        SourcePos += int(P - FPtr);
        FPtr = P;
        FLineEnd = 0;
      }
    }
    NextChar();
  }
}

bool THtmlTokenizer::ReadAttribute(TScratch &S, Symb &Sym, int &Value) {
  SkipBlanks();
  if (!IsLetter(LCh)) return false;
  S.Name.clear();
  ReadWhile([](char C) { return IsLetter(Upper(C)) || C == '-'; },
            [&S](const char *From, const char *To) { S.Name.append(From, To); });
  for (char &C : S.Name) C = Upper(C);
  Sym = LookupAttribute(S.Name);
  SkipBlanks();
  std::string &Str = S.Value;
  Str.clear();
  auto Append = [&Str](const char *From, const char *To) { Str.append(From, To); };
  Value = Sym == BorderSy ? 1 : 0;
  if (LCh != '=') return true;
  NextChar();
  SkipBlanks();
  if (Ch == '"' || Ch == '\'') {
    const char Quote = Ch;
    NextChar();
    while (Ch != Quote && Ch != EofChar) {
      if (Ch == CR) {
        NextChar();
      } else if (Ch == '&') {
        S.Entity.Clear();
        ReadEntity(S.Entity, S.Raw);
        Str += S.Entity.S;
      } else {
        ReadWhile([Quote](char C) { return C != Quote && C != EofChar && C != CR && C != '&'; },
                  Append);
      }
    }
    if (Ch == Quote) NextChar();
    // Trimmed in place, as Trim would.
    size_t B = 0, E = Str.size();
    while (B < E && uint8_t(Str[B]) <= ' ') ++B;
    while (E > B && uint8_t(Str[E - 1]) <= ' ') --E;
    Str.erase(E).erase(0, B);
    std::string_view Num = Str;
    // One '%' at the end only; an empty value has none to drop.
    if (!Num.empty() && Num.find('%') == Num.size() - 1) Num.remove_suffix(1);
    if (!StrToIntSat(Num, Value)) Value = 0;
  } else if (Ch == '+' || Ch == '-' || IsDigit(Ch)) {
    Str += Ch;
    NextChar();
    ReadWhile([](char C) { return !EndsBareValue(C) && C != '%'; }, Append);
    SkipBlanks();
    if (!StrToIntSat(Str, Value)) Value = 0;
    if (Ch == '%') {
      Str += '%';
      NextChar();
    }
  } else {
    ReadWhile([](char C) { return !EndsBareValue(C); }, Append);
  }
  return true;
}

void THtmlTokenizer::SetTagSymbol(uint64_t Key, bool EndTag) {
  Symb Start, End;
  Sy = LookupTagKey(Key, Start, End) ? (EndTag ? End : Start) : UnknownSy;
}

// The common tag "<name>" or "</name>", read straight from the main buffer: what the full
// reading below comes to for it. False, with nothing read, for any other form (blanks,
// attributes, a heading's level, the end of the input) or when '<' came from an include.
bool THtmlTokenizer::ReadPlainTag() {
  if (FLoadStyle == TLoadStyle::Include) return false; // else '<' is the byte before FPtr
  const char *P = FPtr;
  const bool EndTag = P != FEnd && *P == '/';
  if (EndTag) ++P;
  const char *First = P;
  TTagName Name;
  for (; P != FEnd && IsLetter(Upper(*P)); ++P) Name.Add(*P);
  if (P == First || P == FEnd || *P != '>') return false;
  SetTagSymbol(Name.Key, EndTag);
  HeadingLevel = 0;
  if (!EndTag && KeepsAttributes(Sy)) Attributes.Clear();
  SourcePos += int(P + 1 - FPtr); // up to the '>'
  FPtr = P + 1;
  FLineEnd = 0;
  NextChar();
  return true;
}

// A tag in any form, from its '<' (TagStartPos set).
void THtmlTokenizer::ReadTag() {
  NextChar();
  const bool EndTag = LCh == '/';
  if (EndTag) {
    NextChar();
  } else if (!IsLetter(LCh)) {
    Sy = TextSy;
    Token.AddChar('<', TagStartPos);
    return;
  }
  TTagName Name;
  ReadWhile([](char C) { return IsLetter(Upper(C)); }, [&Name](const char *From, const char *To) {
    for (const char *P = From; P != To; ++P) Name.Add(*P);
  });
  SetTagSymbol(Name.Key, EndTag);
  SkipBlanks();
  HeadingLevel = 0;
  if ((Sy == HeadingSy || Sy == HeadingEndSy) && LCh >= '1' && LCh <= '6') {
    HeadingLevel = LCh - '0';
    NextChar();
  }
  const bool Keep = !EndTag && KeepsAttributes(Sy);
  if (Keep) Attributes.Clear();
  Symb Sym;
  int Value;
  while (ReadAttribute(FScratch, Sym, Value))
    if (Keep) Attributes.Add(Sym, Value, FScratch.Value);
  while (LCh != '>' && Ch != EofChar) NextChar();
  NextChar();
}

void THtmlTokenizer::ReadEntity(TokenObj &Out, TokenObj &Raw) {
  const int P = SourcePos;
  Raw.Clear();
  Raw.AddChar('&', P);
  NextChar();
  auto Take = [&] {
    Raw.AddChar(Ch, SourcePos);
    NextChar();
  };
  auto Emit = [&](char C) { Out.AddChar(C, P); };
  if (Ch == '#') {
    Take();
    int Digits = 0;
    unsigned N = 0;
    while (IsDigit(Ch) && Digits < 5) {
      N = N * 10 + unsigned(Ch - '0');
      ++Digits;
      Take();
    }
    if (Digits == 5 && IsDigit(Ch)) {
      Out.AddString(Raw);
      return;
    }
    if (Ch == ';') Take();
    if (Digits == 0)
      Out.AddString(Raw);
    else if (N > 0xFFFF || (N >= 0xD800 && N <= 0xDFFF))
      Out.AddString(Raw); // no single code unit: kept as written
    else if (N > 255)
      Emit(CodeUnitToByte(N));
    else if (N == 9)
      Emit(' ');
    else if (N == 10 || N >= 32)
      Emit(char(N));
    else
      Out.AddString(Raw);
    return;
  }
  uint64_t Name = 0;
  int Length = 0;
  while (IsAlnum(Ch)) {
    if (Length == 6) {
      Out.AddString(Raw);
      return;
    }
    Name = Name << 6 | EntityCode(Ch);
    ++Length;
    Take();
  }
  if (Ch == ';') Take();
  const int K = EntityIndex.Find(Name);
  if (K < 0)
    Out.AddString(Raw);
  else if (K == HellipEntry)
    for (int J = 0; J < 3; ++J) Out.AddChar('.', P + J);
  else if (K < 8)
    Emit(EntityChars[K]);
  else
    Emit(char(K + 152)); // nbsp, the ninth entry, is 160
}

bool THtmlTokenizer::ReadTextRun() {
  while (Token.Leng() < MaxTextRun) {
    if (Ch == '&' || Ch == '<' || (uint8_t(Ch) < 32 && Ch != CR)) break;
    if (TakeWords()) continue;
    if (!InPre && (Ch == ' ' || Ch == CR)) {
      Token.AddChar(NoBreak ? NoBreakSpaceChar : ' ', SourcePos);
      NextChar();
      while (Ch == ' ' || Ch == CR || Ch == '\t') NextChar();
    } else {
      Token.AddChar(Ch, SourcePos);
      NextChar();
    }
  }
  if (Token.Leng() == 0) return false;
  Sy = TextSy;
  return true;
}

namespace {
// Bytes that go into a text run as they are, each at its own position; with spaces or not.
constexpr std::array<bool, 256> RunBytes(bool WithSpace) {
  std::array<bool, 256> T{};
  for (int C = ' ' + 1; C < 256; ++C) T[size_t(C)] = C != '<' && C != '&';
  T[' '] = WithSpace;
  return T;
}
constexpr std::array<bool, 256> WordBytes = RunBytes(false), WordOrSpaceBytes = RunBytes(true);
bool IsWordByte(char C) { return WordBytes[uint8_t(C)]; }
} // namespace

// The run's loop above, for the bytes of the main buffer from Ch on, in one pass: words
// are copied with their positions, and so are single spaces between words outside PRE;
// other blanks between words give one space (#5 under NoBreak) whatever bytes they are.
// Anything else, and blanks not followed by a word, are left to NextChar, which then meets
// them as it would have without this path. Applies only when Ch is the byte before FPtr
// as it stands (not folded, so no line end pending) and is copied; false, with nothing
// done, otherwise. Leaves the next character in Ch.
bool THtmlTokenizer::TakeWords() {
  if (FLoadStyle == TLoadStyle::Include || SourcePos < 0 || FPtr[-1] != Ch) return false;
  const bool Collapse = !InPre && !NoBreak; // spaces copied only one at a time
  const std::array<bool, 256> &Copied = NoBreak ? WordBytes : WordOrSpaceBytes;
  // The end of the bytes from W on that are copied: outside PRE a space only between two
  // words (two spaces, or a space before a line end or a '<' that may open a comment, go
  // to the blank handling below), unless it is the one left in Ch at Stop.
  auto CopiedUpTo = [&](const char *W, const char *Stop) {
    const char *P = W;
    bool LastSpace = false, TwoSpaces = false; // kept without a branch for each space
    for (; P != Stop && Copied[uint8_t(*P)]; ++P) {
      const bool Space = *P == ' ';
      TwoSpaces |= LastSpace & Space;
      LastSpace = Space;
    }
    if (Collapse) {
      if (TwoSpaces)
        for (const char *Q = W;; ++Q)
          if (Q[0] == ' ' && Q[1] == ' ') return Q;
      if (P != Stop && LastSpace) --P;
    }
    return P;
  };
  auto PosOf = [From = FPtr, Next = SourcePos + 1](const char *Q) { return Next + int(Q - From); };
  const char *P = FPtr - 1;
  for (bool First = true;; First = false) {
    // Each byte is added while the run has room; the one after that is left in Ch.
    const size_t Room = size_t(MaxTextRun - Token.Leng());
    const char *W = P, *Stop = P + std::min(Room + 1, size_t(FEnd - P));
    P = CopiedUpTo(W, Stop);
    if (First && P == W) return false;
    if (size_t(P - W) == Room + 1) {
      Token.AddBytes(W, Room, PosOf(W));
      FPtr = P;
      SourcePos = PosOf(P) - 1;
      Ch = P[-1];
      LCh = Upper(Ch);
      return true;
    }
    Token.AddBytes(W, size_t(P - W), PosOf(W));
    if (InPre || P == FEnd || uint8_t(*P) > ' ' || Token.Leng() == MaxTextRun) break;
    // Blanks up to a word: one space; a CR LF or LF CR pair first is one line end at its
    // second byte.
    const char *B = P;
    while (B != FEnd && uint8_t(*B) <= ' ') ++B;
    if (B == FEnd || !IsWordByte(*B)) break;
    const bool Pair =
        B - P >= 2 && ((P[0] == '\r' && P[1] == '\n') || (P[0] == '\n' && P[1] == '\r'));
    Token.AddChar(NoBreak ? NoBreakSpaceChar : ' ', PosOf(P) + (Pair ? 1 : 0));
    P = B;
  }
  FPtr = P;
  SourcePos = PosOf(P) - 1;
  NextChar();
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
    TagStartPos = SourcePos;
    if (!ReadPlainTag()) ReadTag();
  } else if (LCh == '&') {
    Sy = TextSy;
    ReadEntity(Token, FScratch.Raw);
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

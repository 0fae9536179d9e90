#pragma once
// The page reader's scanner: turns the bytes of a page into symbols (tags with their
// attributes, text runs with the source position of every character, entities, single
// characters, the end of input) for the recursive-descent parser.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "htmlview/attributes.h"
#include "htmlview/symbols.h"
#include "platform/numbers.h"

// The character that stands for the end of the input.
constexpr char EofChar = 26;
// Whitespace inside a no-break run, as the scanner delivers it.
constexpr char NoBreakSpaceChar = 5;
// A text run is cut after this many characters.
constexpr int MaxTextRun = 100;

// Raised when the input ends inside a comment or declaration; the parser's entry points
// keep what was parsed before it.
class EParseError : public Exception {
public:
  using Exception::Exception;
};

// The characters of one text or entity symbol, each with its source position.
class TokenObj {
public:
  std::string S;
  std::vector<int> I; // I[k]: source position of S[k]

  TokenObj() = default;
  explicit TokenObj(size_t Capacity) {
    S.reserve(Capacity);
    I.reserve(Capacity);
  }
  int Leng() const { return int(S.size()); }
  void AddChar(char Ch, int Pos) {
    S.push_back(Ch);
    I.push_back(Pos);
  }
  // N bytes of the source at consecutive positions from FirstPos.
  void AddBytes(const char *P, size_t N, int FirstPos) {
    S.append(P, N);
    const size_t Old = I.size();
    I.resize(Old + N);
    int *Pos = I.data() + Old;
    for (size_t K = 0; K < N; ++K) Pos[K] = FirstPos + int(K);
  }
  void AddString(const TokenObj &T) {
    S += T.S;
    I.insert(I.end(), T.I.begin(), T.I.end());
  }
  // Removes character K (0-based) with its position.
  void DeleteChar(int K) {
    S.erase(size_t(K), 1);
    I.erase(I.begin() + K);
  }
  void Clear() {
    S.clear();
    I.clear();
  }
};

// Called for an include comment (<!--#name attributes-->): Params holds NAME="value"
// lines; text the handler puts into Buffer is read in place of the comment.
using TIncludeHandler = std::function<void(const std::string &Command,
                                           const std::vector<std::string> &Params,
                                           std::string &Buffer)>;

// Where characters come from.
enum class TLoadStyle { File = 0, Buffer = 1, Include = 4 };

class THtmlTokenizer {
public:
  // State read by the parser.
  Symb Sy = EofSy;
  char Ch = EofChar;  // the current character after folding
  char LCh = EofChar; // Ch upper-cased (a..z only)
  int SourcePos = -1; // offset of the main-buffer byte last read
  int TagStartPos = 0;
  int HeadingLevel = 0;
  TokenObj Token{300};
  TAttributeList Attributes;
  // Flags set by the parser.
  bool InPre = false;
  bool NoBreak = false;
  bool InScript = false;
  bool ParagraphSpaceGiven = false;

  // Starts reading Buf (not owned; it must outlive the parse) and reads the first
  // character.
  void Start(const char *Buf, size_t Len, TLoadStyle Style, TIncludeHandler OnInclude = {});
  // Starts reading Buf as plain text: NextPlainChar only, no markup.
  void StartPlain(const char *Buf, size_t Len);
  // The next symbol into Sy (with Token, Attributes and HeadingLevel).
  void NextSymbol();
  // The next character into Ch/LCh, passing over comments, declarations and includes.
  void NextChar() {
    // Most bytes of a page become Ch as they are: not a line end (which folds with its
    // partner; the line-end state matters only to a CR or LF), not a control byte, not
    // the "<!" of a comment. The include buffer and the end take the full path.
    if (FLoadStyle != TLoadStyle::Include && FPtr != FEnd && IsPlainByte(FPtr)) {
      TakeByte();
      return;
    }
    NextCharSlow();
  }
  // NextChar while Ch is a blank or a line end.
  void SkipBlanks() {
    while (Ch == ' ' || Ch == '\r' || Ch == '\t') NextChar();
  }
  // The next folded character with no markup recognised (plain text files).
  void NextPlainChar() { ReadNormalizedChar(); }
  bool AtEnd() const { return Ch == EofChar; }

private:
  // Buffers a tag, attribute or entity is read into, kept so that reading costs no
  // allocation. An include command inside a tag's attribute brings its own.
  struct TScratch {
    std::string Name, Value;
    TokenObj Entity, Raw;
  };

  bool IsPlainByte(const char *P) const {
    const uint8_t C = uint8_t(*P);
    return C >= ' ' && (C != '<' || P + 1 == FEnd || P[1] != '!');
  }
  // Takes the byte at FPtr of the main buffer, a plain byte, as Ch.
  void TakeByte() {
    Ch = *FPtr++;
    ++SourcePos;
    FLineEnd = 0;
    LCh = Ch >= 'a' && Ch <= 'z' ? char(Ch - 'a' + 'A') : Ch;
  }
  void NextCharSlow();
  int ReadSourceChar();
  int PeekSourceChar() const;
  void ReadNormalizedChar();
  void SkipComment();
  void SkipMarkup();
  void DoInclude();
  void ReadTag();
  bool ReadPlainTag();
  void SetTagSymbol(uint64_t Key, bool EndTag);
  template <class KeepFn, class UseFn>
  void ReadWhile(KeepFn Keep, UseFn Use);
  bool ReadAttribute(TScratch &S, Symb &Sym, int &Value);
  void ReadEntity(TokenObj &Out, TokenObj &Raw);
  bool ReadTextRun();
  bool TakeWords();

  TLoadStyle FLoadStyle = TLoadStyle::File, FSavedStyle = TLoadStyle::File;
  const char *FPtr = nullptr, *FEnd = nullptr;
  std::string FIncludeBuf;
  size_t FIncludePos = 0;
  int FLineEnd = 0; // 0 ordinary, 1 last byte CR, 2 last byte LF
  bool FInComment = false;
  bool FCommentOpen = false;    // the input ended inside a comment; not yet reported
  bool FReadingInclude = false; // an include command's attributes are being read
  TIncludeHandler FOnInclude;
  TScratch FScratch;
};

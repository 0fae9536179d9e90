#pragma once
// The page parser: a recursive descent over the scanner's symbols that builds a
// document through its building operations.
#include <cstddef>
#include <functional>
#include <string>

#include "htmlview/tokenizer.h"
#include "platform/types.h"

class TSectionList;
class TAnchorList;

using TSoundRequestHandler =
    std::function<void(const std::string &SRC, int Loop, bool Terminate)>;
using TMetaHandler = std::function<void(const std::string &HttpEq, const std::string &Name,
                                        const std::string &Content)>;
// The script text (line ends as CR LF) is handed over whole.
using TScriptHandler = std::function<void(const std::string &Name, const std::string &Language,
                                          const std::string &Script)>;

struct TParseHandlers {
  TIncludeHandler OnInclude;
  TSoundRequestHandler OnSoundRequest;
  TMetaHandler OnMeta;
  TScriptHandler OnScript;
  // The document belongs to a viewer pane: META character sets and BODY margins apply.
  bool OwnerIsPane = true;
};

// What a parse gives besides the document.
struct TParseResult {
  std::string Title, Base, BaseTarget;
  int MarginWidth = -1, MarginHeight = -1; // -1: the page set none
};

// Page text of Len bytes (not copied; it must stay valid during the call). The end of
// the input inside a comment keeps what was parsed; other errors pass to the caller.
void ParseHtmlBuffer(TSectionList &List, TAnchorList *NameList, const char *Buffer, size_t Len,
                     const TParseHandlers &Handlers, TParseResult &Result);
// Reads the file whole (EFileError when it cannot be read) and parses it.
void ParseHtmlFile(TSectionList &List, TAnchorList *NameList, const std::string &FileName,
                   const TParseHandlers &Handlers, TParseResult &Result);
// Every line of the file as a preformatted line; no markup.
void ParsePlainTextFile(TSectionList &List, TAnchorList *NameList, const std::string &FileName);
void ParsePlainTextBuffer(TSectionList &List, TAnchorList *NameList, const char *Buffer,
                          size_t Len);

// Colour of a COLOR or BGCOLOR value as 0x00BBGGRR: one of the 16 names, or hexadecimal
// RRGGBB ('#' optional, padded on the right with '0'; of more than six digits the last
// six count). False for an empty or malformed value.
bool ParseColor(const std::string &S, TColor &Color);
// The font character set a META content type names (the first row of the table whose
// text occurs in it), false when none matches.
bool CharsetOfContent(const std::string &Content, int &Charset);

// Nesting deeper than this (lists, quotes, DIV, CENTER, tables) is read as ignored tags.
constexpr int MaxBlockNesting = 100;

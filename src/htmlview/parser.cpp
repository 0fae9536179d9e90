#include "htmlview/parser.h"

#include <algorithm>
#include <bitset>
#include <limits>
#include <memory>

#include "htmlview/document.h"
#include "htmlview/html_utils.h"
#include "htmlview/map_items.h"
#include "htmlview/tables.h"
#include "platform/encoding.h"
#include "platform/files.h"

namespace {

using TSymSet = std::bitset<256>;

TSymSet Syms(std::initializer_list<Symb> L) {
  TSymSet S;
  for (Symb Sy : L) S.set(Sy);
  return S;
}

constexpr TColor PaletteRelative = 0x02000000;
constexpr int NormalSizes[7] = {8, 10, 12, 14, 18, 24, 36};
constexpr int PreSizes[7] = {7, 8, 10, 12, 15, 20, 30};
constexpr int HeadingSizes[7] = {12, 24, 18, 14, 12, 10, 8};
constexpr int PreFontSize = 10;
constexpr int MaxPending = 200; // pending PRE text is handed over beyond this

const TSymSet ListEnds =
    Syms({OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy});
const TSymSet TableTerms = Syms({TableEndSy, TDSy, TDEndSy, TRSy, TREndSy, THSy, THEndSy,
                                 CaptionSy, CaptionEndSy});

struct TCharsetRow {
  const char *Text;
  int Charset;
};
constexpr TCharsetRow CharsetTable[14] = {
    {"1252", 0},   {"8859-1", 0},   {"1253", 161}, {"8859-7", 161}, {"1250", 238},
    {"8859-2", 238}, {"1251", 204}, {"8859-5", 204}, {"koi8-r", 204}, {"1254", 162},
    {"8859-3", 162}, {"8859-9", 162}, {"1257", 186}, {"8859-4", 186}};

// The code page a content type actually names ("text/html; charset=koi8-r").
bool CodePageOfContent(const std::string &Content, TCodePage &Page) {
  const std::string L = LowerCase(Content);
  size_t P = L.find("charset");
  if (P == std::string::npos) return false;
  P = L.find('=', P);
  if (P == std::string::npos) return false;
  std::string Name = Trim(L.substr(P + 1));
  size_t E = Name.find_first_of(" ;,\"'");
  if (E != std::string::npos) Name.erase(E);
  return CodePageByName(Name, Page);
}

class THtmlParser {
public:
  THtmlParser(TSectionList &AList, TAnchorList *ANameList, const TParseHandlers &AHandlers,
              TParseResult &AResult)
      : List(AList), NameList(ANameList), Handlers(AHandlers), Result(AResult) {}

  void ParseHtml(const char *Buffer, size_t Len, TLoadStyle Style);
  void ParsePlain(const char *Buffer, size_t Len);

private:
  TSectionList &List;
  TAnchorList *NameList;
  const TParseHandlers &Handlers;
  TParseResult &Result;
  THtmlTokenizer Tok;
  std::unique_ptr<TSection> Section;
  TCell *Container = nullptr;
  std::unique_ptr<TFontStack> Fonts;
  int BaseFontSize = 3;
  int Justify = 1;
  bool InLink = false;
  TUrlTarget UrlTarget;
  int ListLevel = 0;       // level of the sections opened for text
  int Nesting = 0;         // depth of block recursion
  bool SectionNamed = false; // an anchor name refers to the open section

  Symb Sy() const { return Tok.Sy; }
  void Next() { Tok.NextSymbol(); }
  TMyFont &Top() { return Fonts->Top(); }
  TAttribute *Attr(Symb A) const { return Tok.Attributes.Find(A); }

  void Reset();
  void Finish();
  void SyncBuild() { List.Build.NoBreak = Tok.NoBreak; }
  void CloseSection();
  void OpenSection(int AJustify);
  void EnsureSection();
  void TellSection();
  void AddToContainer(std::unique_ptr<TSectionBase> S);
  int AlignOf(int Default) const;
  bool PushPreFont();

  void ParseBody(int Level, const TSymSet &Terms);
  void DoBody();
  void DoLoneListItem();
  void DoCenterDiv(int Level, const TSymSet &Terms);
  void DoMeta();
  bool ParseInline();
  void DoParagraph();
  void DoHeading();
  void DoAnchor();
  void EndLink();
  void AddText(const TokenObj &T);
  bool DoFont(bool Base);
  void DoBigSmall(bool Big);
  void DoFormControl(bool TakeNext);
  void DoStyle(Symb S);
  void ParseList(const TSymSet &Terms, Symb ListSy, int Level);
  void ParseTable(const TSymSet &Terms);
  void ParseSelect(TFormControlObj *Ctrl, bool TakeNext);
  void ParseTextArea(TFormControlObj *Ctrl, bool TakeNext);
  void ParseMap(bool TakeNext);
  void ParseScript(bool TakeNext);
  void ParsePreformatted();
};

void THtmlParser::Reset() {
  TMyFont Base;
  Base.Name = List.FontName;
  Base.Color = List.FontColor | PaletteRelative;
  Base.Charset = List.Charset;
  Base.SetNormalSize(&List, 12);
  Fonts = std::make_unique<TFontStack>(Base);
  InLink = false;
  UrlTarget.Clear();
  BaseFontSize = 3;
  Result.Title.clear();
  Result.Base.clear();
  Result.BaseTarget.clear();
  Justify = 1;
  List.Build = TBuildState();
  List.NameList = NameList;
  Container = &List;
  ListLevel = 0;
  Nesting = 0;
  OpenSection(Justify);
}

void THtmlParser::Finish() {
  CloseSection();
  List.Build = TBuildState();
  Fonts.reset();
  UrlTarget.Clear();
}

void THtmlParser::AddToContainer(std::unique_ptr<TSectionBase> S) { Container->Add(std::move(S)); }

void THtmlParser::CloseSection() {
  if (Section) {
    SyncBuild();
    Container->Add(std::unique_ptr<TSectionBase>(std::move(Section)));
  }
  SectionNamed = false;
}

void THtmlParser::OpenSection(int AJustify) {
  CloseSection();
  SyncBuild();
  Section = std::make_unique<TSection>(&List, ListLevel, Top(), InLink ? &UrlTarget : nullptr,
                                       AJustify);
}

void THtmlParser::EnsureSection() {
  if (!Section) OpenSection(Justify);
}

void THtmlParser::TellSection() {
  if (Section) {
    SyncBuild();
    Section->ChangeFont(&List, Top());
  }
}

int THtmlParser::AlignOf(int Default) const {
  if (TAttribute *A = Attr(AlignSy)) {
    std::string S = LowerCase(A->Name).substr(0, 10);
    if (S == "left") return 1;
    if (S == "center") return 2;
    if (S == "right") return 3;
  }
  return Default;
}

bool THtmlParser::PushPreFont() {
  if (!Fonts->PushFont()) return false;
  Top().Name = List.PreFontName;
  Top().Fixed = true;
  Top().Pitch = fpFixed;
  Top().SetNormalSize(&List, PreFontSize);
  return true;
}

void THtmlParser::ParseHtml(const char *Buffer, size_t Len, TLoadStyle Style) {
  Reset();
  try {
    Tok.Start(Buffer, Len, Style, Handlers.OnInclude);
    Next();
    ParseBody(0, TSymSet());
  } catch (const EParseError &) {
    // The input ended inside a comment: the page is what was read before it.
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void THtmlParser::ParsePlain(const char *Buffer, size_t Len) {
  Reset();
  Section.reset();
  PushPreFont();
  auto NewLine = [&] {
    CloseSection();
    Section = std::make_unique<TPreFormated>(&List, 0, Top(), nullptr, 1);
  };
  NewLine();
  TokenObj Pending;
  auto Flush = [&] {
    if (Pending.Leng() > 0) Section->AddTokenObj(Pending);
    Pending.Clear();
  };
  try {
    Tok.StartPlain(Buffer, Len);
    while (!Tok.AtEnd()) {
      if (Tok.Ch == '\r') {
        Flush();
        NewLine();
      } else {
        Pending.AddChar(Tok.Ch, Tok.SourcePos);
        if (Pending.Leng() > MaxPending) Flush();
      }
      Tok.NextPlainChar();
    }
    Flush();
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

// ---------------------------------------------------------------- body loop

void THtmlParser::ParseBody(int Level, const TSymSet &Terms) {
  while (Sy() != EofSy) {
    switch (Sy()) {
    case TitleSy:
      Result.Title.clear();
      Next();
      while (Sy() == TextSy) {
        Result.Title += Tok.Token.S;
        Next();
      }
      break;
    case BodySy:
      DoBody();
      Next();
      break;
    case HRSy:
      CloseSection();
      AddToContainer(std::make_unique<THorzLine>(&List, Tok.Attributes));
      Next();
      break;
    case BaseSy:
      if (TAttribute *A = Attr(HrefSy)) Result.Base = A->Name;
      if (TAttribute *A = Attr(TargetSy)) Result.BaseTarget = A->Name;
      Next();
      break;
    case OLSy: case ULSy: case DirSy: case MenuSy: case DLSy:
      if (Nesting >= MaxBlockNesting) {
        Next();
        break;
      }
      ParseList(Terms, Sy(), Level + 1);
      break;
    case LISy:
      if (Terms.test(LISy)) return; // the next item of the list around a CENTER or DIV
      if (Level == 0)
        DoLoneListItem();
      else
        Next();
      break;
    case BlockQuoteSy:
      if (Nesting >= MaxBlockNesting) {
        Next();
        break;
      }
      CloseSection();
      ParseList(Terms, BlockQuoteSy, Level + 1);
      break;
    case CenterSy: case DivSy:
      if (Nesting >= MaxBlockNesting) {
        Next();
        break;
      }
      DoCenterDiv(Level, Terms);
      break;
    case BgSoundSy:
      if (Handlers.OnSoundRequest)
        if (TAttribute *Src = Attr(SrcSy)) {
          TAttribute *Loop = Attr(LoopSy);
          Handlers.OnSoundRequest(Src->Name, Loop ? Loop->Value : 1, false);
        }
      Next();
      break;
    case MetaSy:
      DoMeta();
      Next();
      break;
    default:
      if (ParseInline()) break;
      if (Terms.test(Sy())) return;
      Next();
      break;
    }
  }
}

void THtmlParser::DoBody() {
  if (Container != &List || List.Count() > 0) return;
  // Text before BODY means the page has begun: its colours no longer apply.
  if (Section && Section->Len > 0) return;
  if (Section && !SectionNamed && !Section->Fonts.Items.empty() &&
      !Section->Fonts[0]->HasUrl() && Section->Images.Count() == 0)
    Section.reset(); // the open empty section
  for (const auto &A : Tok.Attributes) {
    TColor C;
    switch (A->Which) {
    case TextSy:
      if (ParseColor(A->Name, C)) {
        Top().Color = C | PaletteRelative;
        List.FontColor = C | PaletteRelative;
      }
      break;
    case LinkSy:
      if (ParseColor(A->Name, C)) List.HotSpotColor = C | PaletteRelative;
      break;
    case VLinkSy:
      if (ParseColor(A->Name, C)) List.LinkVisitedColor = C | PaletteRelative;
      break;
    case OLinkSy:
      if (ParseColor(A->Name, C)) {
        List.LinkActiveColor = C | PaletteRelative;
        List.LinksActive = true;
      }
      break;
    case BGColorSy:
      if (ParseColor(A->Name, C)) List.SetBackground(C | PaletteRelative);
      break;
    case BackgroundSy:
      List.SetBackgroundBitmap(A->Name);
      break;
    case MarginWidthSy:
      if (Handlers.OwnerIsPane) Result.MarginWidth = std::clamp(A->Value, 0, 200);
      break;
    case MarginHeightSy:
      if (Handlers.OwnerIsPane) Result.MarginHeight = std::clamp(A->Value, 0, 200);
      break;
    default:
      break;
    }
  }
  OpenSection(Justify);
}

void THtmlParser::DoLoneListItem() {
  CloseSection();
  SyncBuild();
  auto Item = std::make_unique<TUListItem>(&List, 1, Top(), InLink ? &UrlTarget : nullptr,
                                           Justify);
  Item->Indent = BlockLevelIndent; // a lone item is indented less than a list's
  Section = std::move(Item);
  Next();
  for (;;) {
    switch (Sy()) {
    case BSy: case BEndSy: case ISy: case IEndSy: case EmSy: case EmEndSy: case StrongSy:
    case StrongEndSy: case USy: case UEndSy: case CiteSy: case CiteEndSy: case VarSy:
    case VarEndSy: case TTSy: case TTEndSy: case CodeSy: case CodeEndSy: case KbdSy:
    case KbdEndSy: case SampSy: case SampEndSy: case AnchorSy: case AnchorEndSy: case SubSy:
    case SubEndSy: case SupSy: case SupEndSy: case BigSy: case BigEndSy: case SmallSy:
    case SmallEndSy: case SSy: case SEndSy: case StrikeSy: case StrikeEndSy: case NoBrSy:
    case NoBrEndSy: case FontEndSy: case TextSy: case WbrSy:
      ParseInline();
      continue;
    default:
      break;
    }
    break;
  }
  CloseSection();
}

void THtmlParser::DoCenterDiv(int Level, const TSymSet &Terms) {
  CloseSection();
  const int SaveJustify = Justify;
  if (Sy() == CenterSy)
    Justify = 2;
  else
    Justify = AlignOf(Justify);
  OpenSection(Justify);
  Next();
  TSymSet T = Terms;
  T.set(CenterEndSy);
  T.set(DivEndSy);
  ++Nesting;
  ParseBody(Level, T);
  --Nesting;
  CloseSection();
  Justify = SaveJustify;
  OpenSection(Justify);
  if (Sy() == CenterEndSy || Sy() == DivEndSy) Next();
}

void THtmlParser::DoMeta() {
  std::string HttpEq, Name, Content;
  if (TAttribute *A = Attr(HttpEqSy)) HttpEq = A->Name;
  if (TAttribute *A = Attr(NameSy)) Name = A->Name;
  if (TAttribute *A = Attr(ContentSy)) Content = A->Name;
  if (Handlers.OwnerIsPane && LowerCase(HttpEq) == "content-type") {
    int Charset;
    TCodePage Page;
    const bool Named = CodePageOfContent(Content, Page);
    if (CharsetOfContent(Content, Charset)) {
      Top().Charset = Charset;
      List.Charset = Charset;
      if (!Named) Page = CodePageOfCharset(Charset);
      List.CodePage = Page;
    } else if (Named) {
      List.CodePage = Page;
    }
    TellSection();
  }
  if (Handlers.OnMeta) Handlers.OnMeta(HttpEq, Name, Content);
}

// ---------------------------------------------------------------- inline symbols

void THtmlParser::DoStyle(Symb S) {
  TFontStyles &St = List.Build.Style;
  switch (S) {
  case BSy: case StrongSy: St |= fsBold; break;
  case BEndSy: case StrongEndSy: St &= ~TFontStyles(fsBold); break;
  case ISy: case EmSy: case CiteSy: case VarSy: St |= fsItalic; break;
  case IEndSy: case EmEndSy: case CiteEndSy: case VarEndSy: St &= ~TFontStyles(fsItalic); break;
  case USy: St |= fsUnderline; break;
  case UEndSy: St &= ~TFontStyles(fsUnderline); break;
  case SSy: case StrikeSy: St |= fsStrikeOut; break;
  case SEndSy: case StrikeEndSy: St &= ~TFontStyles(fsStrikeOut); break;
  default: break;
  }
  TellSection();
}

void THtmlParser::DoParagraph() {
  CloseSection();
  if (!Tok.ParagraphSpaceGiven) AddToContainer(std::make_unique<TParagraphSpace>(&List));
  int Align = Sy() == PSy ? AlignOf(Justify) : Justify;
  Tok.SkipBlanks();
  Tok.ParagraphSpaceGiven = true;
  Next();
  while (Sy() == PSy || Sy() == PEndSy) {
    Align = Sy() == PSy ? AlignOf(Justify) : Justify;
    Tok.SkipBlanks();
    Next();
  }
  OpenSection(Align);
}

void THtmlParser::DoHeading() {
  const int Level = Tok.HeadingLevel;
  if (Sy() == HeadingSy) {
    if (Fonts->Depth() < TFontStack::MaxFontDepth) {
      CloseSection();
      Fonts->PushFont();
      Top().SetNormalSize(&List, HeadingSizes[Level]);
      if (Level > 0)
        Top().Style |= fsBold;
      else
        Top().Style &= ~TFontStyles(fsBold);
      AddToContainer(std::make_unique<THeadingSpace>(&List, Level));
      OpenSection(AlignOf(Justify));
    }
  } else if (Fonts->Depth() > 1) {
    CloseSection();
    AddToContainer(std::make_unique<THeadingSpace>(&List, Level));
    Fonts->PopFont();
  }
}

void THtmlParser::EndLink() {
  if (!InLink) return;
  UrlTarget.Clear();
  InLink = false;
  Fonts->PopFont();
  if (Section) {
    SyncBuild();
    Section->HRef(AnchorEndSy, &List, UrlTarget, Top());
  }
}

void THtmlParser::DoAnchor() {
  TAttribute *Target = Attr(TargetSy);
  for (const auto &A : Tok.Attributes) {
    if (A->Which == HrefSy) {
      EndLink();
      if (!A->Name.empty()) {
        UrlTarget.Url = A->Name;
        UrlTarget.Target = Target ? Target->Name : std::string();
        InLink = true;
        Fonts->PushFont();
        if (List.LinkUnderline) Top().Style |= fsUnderline;
        Top().Color = List.HotSpotColor | PaletteRelative;
        if (Section) {
          SyncBuild();
          Section->HRef(AnchorSy, &List, UrlTarget, Top());
        }
      }
    } else if (A->Which == NameSy && !A->Name.empty()) {
      EnsureSection();
      std::string Name = UpperCaseAscii(A->Name);
      if (!Name.empty() && Name[0] == '#') Name.erase(0, 1);
      if (NameList) NameList->Add(Name, Section.get()); // a repeated name keeps the first
      SectionNamed = true;
    }
  }
}

void THtmlParser::AddText(const TokenObj &T) {
  EnsureSection();
  SyncBuild();
  Section->AddTokenObj(T);
}

bool THtmlParser::DoFont(bool Base) {
  int Size = 0;
  bool HasSize = false, HasColor = false;
  TColor Color = 0;
  std::string Face;
  for (const auto &A : Tok.Attributes) {
    switch (A->Which) {
    case SizeSy: {
      int64_t N = A->Value;
      if (A->Name.size() >= 2 && (A->Name[0] == '+' || A->Name[0] == '-')) N += BaseFontSize;
      Size = int(std::clamp<int64_t>(N, 1, 7));
      HasSize = true;
      if (Base) BaseFontSize = Size;
      break;
    }
    case ColorSy:
      if (!Base && ParseColor(A->Name, Color)) HasColor = true;
      break;
    case FaceSy:
      if (!Base && !A->Name.empty()) Face = Trim(A->Name.substr(0, A->Name.find(','))).substr(0, 50);
      break;
    default:
      break;
    }
  }
  if (Base && (Container != &List || List.Count() > 0)) return false;
  if (!Fonts->PushFont()) return false;
  if (!HasSize && !HasColor && Face.empty()) return false;
  if (HasColor) Top().Color = Color | PaletteRelative;
  if (HasSize) Top().SetNormalSize(&List, (Tok.InPre ? PreSizes : NormalSizes)[Size - 1]);
  if (!Face.empty()) Top().Name = Face;
  return true;
}

void THtmlParser::DoBigSmall(bool Big) {
  const int *Table = Tok.InPre ? PreSizes : NormalSizes;
  int Index = 0;
  for (int I = 0; I < 7; ++I)
    if (Top().NormalSize == Table[I]) {
      Index = I + 1;
      break;
    }
  if (Index > 0) {
    if (Big && Index <= 6) ++Index;
    else if (!Big && Index >= 2) --Index;
  }
  if (!Fonts->PushFont()) return;
  if (Index > 0) Top().SetNormalSize(&List, Table[Index - 1]);
}

void THtmlParser::DoFormControl(bool TakeNext) {
  const Symb S = Sy();
  EnsureSection();
  SyncBuild();
  TFormControlObj *Ctrl = Section->AddFormControl(S, Tok.Attributes, &List, Tok.TagStartPos);
  if (S == SelectSy)
    ParseSelect(Ctrl, TakeNext);
  else if (S == TextAreaSy)
    ParseTextArea(Ctrl, TakeNext);
  else if (TakeNext)
    Next();
}

// Handles the symbol and takes the next one; false (nothing consumed) for symbols that
// are not inline.
bool THtmlParser::ParseInline() {
  switch (Sy()) {
  case PSy: case PEndSy:
    DoParagraph();
    return true;
  case BSy: case StrongSy: case BEndSy: case StrongEndSy: case ISy: case EmSy: case CiteSy:
  case VarSy: case IEndSy: case EmEndSy: case CiteEndSy: case VarEndSy: case USy: case UEndSy:
  case SSy: case StrikeSy: case SEndSy: case StrikeEndSy:
    DoStyle(Sy());
    Next();
    return true;
  case SubSy: case SupSy:
    EnsureSection();
    List.Build.SScript = Sy() == SubSy ? TScript::Sub : TScript::Sup;
    TellSection();
    Next();
    return true;
  case SubEndSy: case SupEndSy:
    List.Build.SScript = TScript::Normal;
    TellSection();
    Next();
    return true;
  case BRSy:
    if (Section) {
      SyncBuild();
      Section->AddOpBrk(Tok.TagStartPos);
    }
    CloseSection();
    OpenSection(Justify);
    Section->SetClear(Tok.Attributes);
    Next();
    return true;
  case HeadingSy: case HeadingEndSy:
    DoHeading();
    Next();
    return true;
  case TTSy: case CodeSy: case KbdSy: case SampSy:
    if (PushPreFont()) TellSection();
    Next();
    return true;
  case TTEndSy: case CodeEndSy: case KbdEndSy: case SampEndSy: case FontEndSy: case BigEndSy:
  case SmallEndSy:
    Fonts->PopFont();
    TellSection();
    Next();
    return true;
  case AddressSy:
    CloseSection();
    if (Fonts->PushFont()) Top().Style |= fsItalic;
    OpenSection(Justify);
    Next();
    return true;
  case AddressEndSy:
    CloseSection();
    Fonts->PopFont();
    Next();
    return true;
  case PreSy:
    ParsePreformatted();
    return true;
  case ImageSy:
    EnsureSection();
    SyncBuild();
    Section->AddImage(Tok.Attributes, &List, Tok.TagStartPos);
    Next();
    return true;
  case PanelSy:
    EnsureSection();
    SyncBuild();
    Section->AddPanel(Tok.Attributes, Container, Tok.TagStartPos);
    Next();
    return true;
  case AnchorSy:
    DoAnchor();
    Next();
    return true;
  case AnchorEndSy:
    EndLink();
    Next();
    return true;
  case TextSy:
    AddText(Tok.Token);
    Next();
    return true;
  case TableSy:
    if (Nesting >= MaxBlockNesting) {
      Next();
      return true;
    }
    ParseTable(TSymSet());
    return true;
  case InputSy: case SelectSy: case TextAreaSy:
    DoFormControl(true);
    return true;
  case TextAreaEndSy:
    Next();
    return true;
  case FormSy:
    List.HtmlFormList.push_back(std::make_unique<ThtmlForm>(&List, &Tok.Attributes));
    List.Build.CurrentForm = List.HtmlFormList.back().get();
    Next();
    return true;
  case FormEndSy:
    List.Build.CurrentForm = nullptr;
    Next();
    return true;
  case FontSy: case BaseFontSy:
    DoFont(Sy() == BaseFontSy);
    TellSection();
    Next();
    return true;
  case BigSy: case SmallSy:
    DoBigSmall(Sy() == BigSy);
    TellSection();
    Next();
    return true;
  case MapSy:
    ParseMap(true);
    return true;
  case PageSy:
    CloseSection();
    AddToContainer(std::make_unique<TPage>(&List));
    Next();
    return true;
  case ScriptSy:
    ParseScript(true);
    return true;
  case NoBrSy: case NoBrEndSy:
    Tok.NoBreak = Sy() == NoBrSy;
    SyncBuild();
    Next();
    return true;
  case WbrSy:
    if (Section && Tok.NoBreak) {
      SyncBuild();
      Section->AddChar(' ', Tok.TagStartPos);
    }
    Next();
    return true;
  default:
    return false;
  }
}

// ---------------------------------------------------------------- lists

void THtmlParser::ParseList(const TSymSet &Terms, Symb ListSy, int Level) {
  int Number = 1;
  char Type = '1';
  bool Plain = false;
  if (ListSy == OLSy) {
    if (TAttribute *A = Attr(StartSy))
      if (A->Value >= 0) Number = A->Value;
    if (TAttribute *A = Attr(TypeSy))
      if (!A->Name.empty()) Type = A->Name[0];
  } else if (ListSy == ULSy) {
    Plain = Attr(PlainSy) != nullptr;
  }
  const int SaveLevel = ListLevel;
  ListLevel = Level;
  ++Nesting;
  CloseSection();
  Next();
  TSymSet Inner = ListEnds;
  for (Symb S : {LISy, DTSy, DDSy, OLSy, ULSy, DirSy, MenuSy, DLSy, BlockQuoteSy, HRSy,
                 TableSy, EofSy})
    Inner.set(S);
  while (!ListEnds.test(Sy()) && Sy() != EofSy) {
    switch (Sy()) {
    case HRSy:
      CloseSection();
      AddToContainer(std::make_unique<THorzLine>(&List, Tok.Attributes));
      Next();
      break;
    case OLSy: case ULSy: case DirSy: case MenuSy: case DLSy: case BlockQuoteSy:
      if (Nesting >= MaxBlockNesting) {
        Next();
        break;
      }
      ParseList(Terms, Sy(), Level + 1);
      // Only the nested list's own end tag is skipped: a caller's end tag (/TD, /TABLE)
      // must reach the caller.
      if (ListEnds.test(Sy())) Next();
      ListLevel = Level;
      break;
    case LISy: {
      CloseSection();
      SyncBuild();
      const TUrlTarget *Anchor = InLink ? &UrlTarget : nullptr;
      if (ListSy == OLSy) {
        Section = std::make_unique<TOListItem>(&List, Level, Number, Type, Top(), Anchor, Justify);
        if (Number < std::numeric_limits<int>::max())
          ++Number; // the largest START counts no further
      } else {
        auto Item = std::make_unique<TUListItem>(&List, Level, Top(), Anchor, Justify);
        Item->Plain = Plain;
        Section = std::move(Item);
      }
      Tok.SkipBlanks();
      Next();
      if (Sy() == PSy) Next();
      break;
    }
    case DTSy: case DDSy:
      CloseSection();
      SyncBuild();
      Section = std::make_unique<TDListItem>(&List, Sy() == DTSy ? Level - 1 : Level, Top(),
                                             InLink ? &UrlTarget : nullptr, Justify);
      Next();
      break;
    case CenterSy: case DivSy:
      if (Nesting >= MaxBlockNesting) {
        Next();
        break;
      }
      ParseBody(Level, Inner);
      break;
    case TableSy:
      if (Nesting >= MaxBlockNesting) {
        Next();
        break;
      }
      ParseTable(Terms);
      break;
    default:
      if (ParseInline()) break;
      if (Terms.test(Sy())) {
        --Nesting;
        ListLevel = SaveLevel;
        return;
      }
      Next();
      break;
    }
  }
  CloseSection();
  --Nesting;
  ListLevel = SaveLevel;
}

// ---------------------------------------------------------------- tables

void THtmlParser::ParseTable(const TSymSet &) {
  EndLink();
  const int FontDepth = Fonts->Depth();
  TCell *const SaveContainer = Container;
  const int SaveJustify = Justify;
  const TFontStyles SaveStyle = List.Build.Style;
  const bool SaveNoBreak = Tok.NoBreak;
  const int SaveLevel = ListLevel;
  CloseSection();
  auto Table = std::make_unique<ThtmlTable>(&List, Tok.Attributes, Container, Justify, ListLevel);
  std::unique_ptr<TCellList> Row;
  std::unique_ptr<TCellObj> CellObj;
  int RowAlign = 0, RowVAlign = 1;
  ++Nesting;

  auto CloseCell = [&] {
    if (!CellObj) return;
    CloseSection();
    if (!Row) Row = std::make_unique<TCellList>(nullptr);
    Row->Add(std::move(CellObj));
    Container = SaveContainer;
  };
  auto AddRow = [&] {
    if (Row) Table->AddRow(std::move(Row));
  };
  auto VAlignOf = [&](int Default) {
    if (TAttribute *A = Attr(VAlignSy)) {
      std::string S = LowerCase(A->Name);
      if (S == "top" || S == "baseline") return 0;
      if (S == "middle") return 1;
      if (S == "bottom") return 2;
    }
    return Default;
  };
  // Whatever ends the table (its end tag, the end of the input or an error), what was
  // built joins the page: the link, name and picture lists point into it.
  auto Complete = [&] {
    EndLink();
    Fonts->PopTo(FontDepth);
    CloseCell();
    CloseSection();
    AddRow();
    Container = SaveContainer;
    Container->Add(std::unique_ptr<TSectionBase>(std::move(Table)));
    List.Build.Style = SaveStyle;
    Tok.NoBreak = SaveNoBreak;
    Justify = SaveJustify;
    ListLevel = SaveLevel;
    --Nesting;
  };

  try {
    Next();
    while (Sy() != TableEndSy && Sy() != EofSy) {
      switch (Sy()) {
      case TDSy: case THSy: {
        const bool Head = Sy() == THSy;
        EndLink();
        Fonts->PopTo(FontDepth);
        List.Build.Style = SaveStyle;
        Tok.NoBreak = Attr(NoWrapSy) != nullptr;
        if (!Row)
          Row = std::make_unique<TCellList>(nullptr);
        else
          CloseCell();
        Justify = RowAlign ? RowAlign : Head ? 2 : 1;
        if (Head)
          List.Build.Style |= fsBold;
        else
          List.Build.Style &= ~TFontStyles(fsBold);
        Justify = AlignOf(Justify);
        CellObj = std::make_unique<TCellObj>(&List, &Tok.Attributes, VAlignOf(RowVAlign));
        Container = CellObj->Cell.get();
        ListLevel = 0;
        Tok.SkipBlanks();
        Next();
        Tok.ParagraphSpaceGiven = true; // no gap at the top of a cell
        ParseBody(0, TableTerms);
        break;
      }
      case TDEndSy: case THEndSy:
        CloseCell();
        Next();
        break;
      case TRSy:
        EndLink();
        CloseCell();
        AddRow();
        Row = std::make_unique<TCellList>(&Tok.Attributes);
        RowAlign = AlignOf(0);
        RowVAlign = VAlignOf(1);
        Next();
        break;
      case TREndSy:
        EndLink();
        CloseCell();
        AddRow();
        Next();
        break;
      case CaptionSy: {
        EndLink();
        Fonts->PopTo(FontDepth);
        List.Build.Style = SaveStyle;
        Tok.NoBreak = false;
        CloseCell();
        Table->SetCaptionAlign(Tok.Attributes);
        Table->Caption = std::make_unique<TCellObj>(&List, nullptr, 1);
        Container = Table->Caption->Cell.get();
        Justify = 2;
        ListLevel = 0;
        Next();
        ParseBody(0, TableTerms);
        CloseSection();
        Container = SaveContainer;
        if (Sy() == CaptionEndSy) Next();
        break;
      }
      case CaptionEndSy:
        Next();
        break;
      default:
        if (!CellObj) {
          // Text outside the cells goes before the table.
          Container = SaveContainer;
          ListLevel = SaveLevel;
          Justify = SaveJustify;
          ParseBody(0, TableTerms);
          CloseSection();
        } else {
          Next();
        }
        break;
      }
    }
  } catch (...) {
    Complete();
    throw;
  }
  Complete();
  if (Sy() == TableEndSy) Next();
}

// ---------------------------------------------------------------- forms

void THtmlParser::ParseSelect(TFormControlObj *Ctrl, bool TakeNext) {
  auto *Box = dynamic_cast<TListBoxFormControlObj *>(Ctrl);
  bool InOption = false, Selected = false;
  std::string Text, Value;
  auto EndOption = [&] {
    if (!InOption) return;
    Text = Trim(Text);
    if (!Text.empty() && Box) Box->AddStr(Text, Value, Selected);
    InOption = false;
    Text.clear();
  };
  Next();
  while (Sy() != SelectEndSy && Sy() != EofSy) {
    if (Sy() == OptionSy || Sy() == OptionEndSy) {
      EndOption();
      if (Sy() == OptionSy) {
        InOption = true;
        Selected = Attr(SelectedSy) != nullptr;
        TAttribute *V = Attr(ValueSy);
        Value = V ? V->Name : std::string();
      }
    } else if (Sy() == TextSy && InOption) {
      Text += Tok.Token.S;
    }
    Next();
  }
  EndOption();
  if (Ctrl) Ctrl->ResetToValue();
  if (TakeNext && Sy() == SelectEndSy) Next();
}

void THtmlParser::ParseTextArea(TFormControlObj *Ctrl, bool TakeNext) {
  auto *Area = dynamic_cast<TTextAreaFormControlObj *>(Ctrl);
  std::string Line;
  auto AddLine = [&] {
    if (Area) Area->AddStr(Line);
    Line.clear();
  };
  // The end of the input ends an unclosed text area.
  while (Tok.Ch != EofChar) {
    if (Tok.Ch == '\r') {
      AddLine();
      Tok.NextChar();
    } else if (Tok.Ch == '&') {
      Tok.NextSymbol();
      Line += Tok.Token.S;
    } else if (Tok.Ch == '<') {
      std::string Word(1, '<');
      Tok.NextChar();
      while (Tok.Ch != '\t' && Tok.Ch != '\r' && Tok.Ch != ' ' && Tok.Ch != '>' &&
             Tok.Ch != EofChar) {
        Word += Tok.Ch;
        Tok.NextChar();
      }
      if (LowerCase(Word) == "</textarea") break;
      Line += Word;
    } else {
      Line += Tok.Ch;
      Tok.NextChar();
    }
  }
  if (!Line.empty()) AddLine();
  while (Tok.Ch != '>' && Tok.Ch != EofChar) Tok.NextChar();
  if (Tok.Ch == '>') Tok.NextChar();
  if (Ctrl) Ctrl->ResetToValue();
  if (TakeNext) Next();
}

// ---------------------------------------------------------------- maps and scripts

void THtmlParser::ParseMap(bool TakeNext) {
  auto Item = std::make_unique<TMapItem>();
  if (TAttribute *A = Attr(NameSy)) Item->MapName = UpperCaseAscii(A->Name);
  int Errors = 0;
  Next();
  while (Sy() != MapEndSy && Sy() != EofSy && Errors < 3) {
    if (Sy() == AreaSy)
      Item->AddArea(Tok.Attributes);
    else if (Sy() != TextSy)
      ++Errors;
    Next();
  }
  if (Sy() == MapEndSy) {
    List.MapList.push_back(std::move(Item));
    if (TakeNext) Next();
  }
}

void THtmlParser::ParseScript(bool TakeNext) {
  const bool Keep = bool(Handlers.OnScript);
  std::string Name, Language, Text;
  if (TAttribute *A = Attr(NameSy)) Name = A->Name;
  if (TAttribute *A = Attr(LanguageSy)) Language = A->Name;
  Tok.InScript = Keep;
  if (Keep) Text.reserve(32500);
  // The end of the input ends an unclosed script.
  while (Tok.Ch != EofChar) {
    if (Tok.Ch == '\r') {
      if (Keep) Text += "\r\n";
      Tok.NextChar();
    } else if (Tok.Ch == '<') {
      std::string Word(1, '<');
      Tok.NextChar();
      for (int K = 0; K < 7 && ((Tok.LCh >= 'A' && Tok.LCh <= 'Z') || Tok.Ch == '/'); ++K) {
        Word += Tok.Ch;
        Tok.NextChar();
      }
      if (Tok.Ch == '>') {
        Word += '>';
        Tok.NextChar();
      }
      if (LowerCase(Word) == "</script>") break;
      if (Keep) Text += Word;
    } else {
      if (Keep) Text += Tok.Ch;
      Tok.NextChar();
    }
  }
  Tok.InScript = false;
  if (Keep) Handlers.OnScript(Name, Language, Text);
  if (TakeNext) Next();
}

// ---------------------------------------------------------------- PRE

void THtmlParser::ParsePreformatted() {
  CloseSection();
  const int FontDepth = Fonts->Depth();
  PushPreFont();
  const int PreDepth = Fonts->Depth();
  auto NewLine = [&] {
    CloseSection();
    SyncBuild();
    Section = std::make_unique<TPreFormated>(&List, ListLevel, Top(),
                                             InLink ? &UrlTarget : nullptr, 1);
  };
  NewLine();
  Tok.InPre = true;
  TokenObj Pending;
  auto Flush = [&] {
    if (Pending.Leng() > 0) {
      EnsureSection();
      SyncBuild();
      Section->AddTokenObj(Pending);
    }
    Pending.Clear();
  };
  bool Ended = false;
  try {
    while (!Ended && Tok.Ch != EofChar) {
      if (Tok.Ch == '\r') {
        Flush();
        NewLine();
        Tok.NextChar();
      } else if (Tok.Ch == '&') {
        Tok.NextSymbol();
        Pending.AddString(Tok.Token);
      } else if (Tok.Ch == '<') {
        Tok.NextSymbol();
        switch (Sy()) {
        case PSy: case BRSy:
          Flush();
          NewLine();
          if (Tok.Ch == '\r') Tok.NextChar();
          break;
        case BSy: case IEndSy: case ISy: case BEndSy: case USy: case UEndSy: case EmSy:
        case EmEndSy: case StrongSy: case StrongEndSy: case CiteSy: case CiteEndSy:
        case VarSy: case VarEndSy: case SSy: case SEndSy: case StrikeSy: case StrikeEndSy:
          Flush();
          DoStyle(Sy());
          break;
        case ImageSy:
          Flush();
          EnsureSection();
          SyncBuild();
          Section->AddImage(Tok.Attributes, &List, Tok.TagStartPos);
          break;
        case PanelSy:
          Flush();
          EnsureSection();
          SyncBuild();
          Section->AddPanel(Tok.Attributes, Container, Tok.TagStartPos);
          break;
        case AnchorSy:
          Flush();
          DoAnchor();
          break;
        case AnchorEndSy:
          Flush();
          EndLink();
          break;
        case FormSy:
          List.HtmlFormList.push_back(std::make_unique<ThtmlForm>(&List, &Tok.Attributes));
          List.Build.CurrentForm = List.HtmlFormList.back().get();
          break;
        case FormEndSy:
          List.Build.CurrentForm = nullptr;
          break;
        case InputSy: case SelectSy: case TextAreaSy:
          Flush();
          DoFormControl(false);
          break;
        case FontSy: case BaseFontSy:
          Flush();
          DoFont(Sy() == BaseFontSy);
          TellSection();
          break;
        case FontEndSy:
          if (Fonts->Depth() > PreDepth) {
            Flush();
            Fonts->PopFont();
            TellSection();
          }
          break;
        case MapSy:
          ParseMap(false);
          break;
        case ScriptSy:
          Flush();
          ParseScript(false);
          break;
        case PageSy:
          Flush();
          CloseSection();
          AddToContainer(std::make_unique<TPage>(&List));
          NewLine();
          break;
        case TextSy: // a '<' that starts no tag stays text
          Pending.AddString(Tok.Token);
          break;
        case PreEndSy: case TDSy: case TDEndSy: case THSy: case THEndSy: case TableEndSy:
        case EofSy:
          Ended = true;
          break;
        default:
          break;
        }
      } else {
        Pending.AddChar(Tok.Ch, Tok.SourcePos);
        Tok.NextChar();
        if (Pending.Leng() > MaxPending) Flush();
      }
    }
  } catch (...) {
    Flush();
    Tok.InPre = false;
    throw;
  }
  Flush();
  CloseSection();
  Tok.InPre = false;
  Fonts->PopTo(FontDepth);
  if (!Ended || Sy() == PreEndSy) Next();
}

} // namespace

bool ParseColor(const std::string &S, TColor &Color) { return ColorFromHtml(S, Color); }

bool CharsetOfContent(const std::string &Content, int &Charset) {
  const std::string L = LowerCase(Content);
  for (const TCharsetRow &R : CharsetTable)
    if (L.find(R.Text) != std::string::npos) {
      Charset = R.Charset;
      return true;
    }
  return false;
}

void ParseHtmlBuffer(TSectionList &List, TAnchorList *NameList, const char *Buffer, size_t Len,
                     const TParseHandlers &Handlers, TParseResult &Result) {
  THtmlParser P(List, NameList, Handlers, Result);
  P.ParseHtml(Buffer, Len, TLoadStyle::Buffer);
}

void ParseHtmlFile(TSectionList &List, TAnchorList *NameList, const std::string &FileName,
                   const TParseHandlers &Handlers, TParseResult &Result) {
  const std::string Text = ReadFileString(FileName);
  THtmlParser P(List, NameList, Handlers, Result);
  P.ParseHtml(Text.data(), Text.size(), TLoadStyle::File);
}

void ParsePlainTextBuffer(TSectionList &List, TAnchorList *NameList, const char *Buffer,
                          size_t Len) {
  TParseHandlers None;
  TParseResult Result;
  THtmlParser P(List, NameList, None, Result);
  P.ParsePlain(Buffer, Len);
}

void ParsePlainTextFile(TSectionList &List, TAnchorList *NameList, const std::string &FileName) {
  const std::string Text = ReadFileString(FileName);
  ParsePlainTextBuffer(List, NameList, Text.data(), Text.size());
}

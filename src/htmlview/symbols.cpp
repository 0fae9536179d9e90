#include "htmlview/symbols.h"

constexpr TTagEntry TagTable[68] = {
    {"HTML", HtmlSy, HtmlEndSy},          {"TITLE", TitleSy, TitleEndSy},
    {"BODY", BodySy, BodyEndSy},          {"HEAD", HeadSy, HeadEndSy},
    {"B", BSy, BEndSy},                   {"I", ISy, IEndSy},
    {"H", HeadingSy, HeadingEndSy},       {"EM", EmSy, EmEndSy},
    {"STRONG", StrongSy, StrongEndSy},    {"U", USy, UEndSy},
    {"CITE", CiteSy, CiteEndSy},          {"VAR", VarSy, VarEndSy},
    {"TT", TTSy, TTEndSy},                {"CODE", CodeSy, CodeEndSy},
    {"KBD", KbdSy, KbdEndSy},             {"SAMP", SampSy, SampEndSy},
    {"OL", OLSy, OLEndSy},                {"UL", ULSy, ULEndSy},
    {"DIR", DirSy, DirEndSy},             {"MENU", MenuSy, MenuEndSy},
    {"DL", DLSy, DLEndSy},                {"A", AnchorSy, AnchorEndSy},
    {"ADDRESS", AddressSy, AddressEndSy}, {"BLOCKQUOTE", BlockQuoteSy, BlockQuoteEndSy},
    {"PRE", PreSy, PreEndSy},             {"CENTER", CenterSy, CenterEndSy},
    {"TABLE", TableSy, TableEndSy},       {"TD", TDSy, TDEndSy},
    {"TH", THSy, THEndSy},                {"CAPTION", CaptionSy, CaptionEndSy},
    {"FORM", FormSy, FormEndSy},          {"TEXTAREA", TextAreaSy, TextAreaEndSy},
    {"SELECT", SelectSy, SelectEndSy},    {"OPTION", OptionSy, OptionEndSy},
    {"FONT", FontSy, FontEndSy},          {"SUB", SubSy, SubEndSy},
    {"SUP", SupSy, SupEndSy},             {"BIG", BigSy, BigEndSy},
    {"SMALL", SmallSy, SmallEndSy},       {"P", PSy, PEndSy},
    {"MAP", MapSy, MapEndSy},             {"FRAMESET", FrameSetSy, FrameSetEndSy},
    {"NOFRAMES", NoFramesSy, NoFramesEndSy}, {"SCRIPT", ScriptSy, ScriptEndSy},
    {"DIV", DivSy, DivEndSy},             {"S", SSy, SEndSy},
    {"STRIKE", StrikeSy, StrikeEndSy},    {"TR", TRSy, TREndSy},
    {"NOBR", NoBrSy, NoBrEndSy},
    {"LI", LISy, UnknownSy},              {"BR", BRSy, UnknownSy},
    {"HR", HRSy, UnknownSy},              {"DD", DDSy, UnknownSy},
    {"DT", DTSy, UnknownSy},              {"IMG", ImageSy, UnknownSy},
    {"BASE", BaseSy, UnknownSy},          {"BUTTON", ButtonSy, UnknownSy},
    {"INPUT", InputSy, UnknownSy},        {"SELECTED", SelectedSy, UnknownSy},
    {"BASEFONT", BaseFontSy, UnknownSy},  {"AREA", AreaSy, UnknownSy},
    {"FRAME", FrameSy, UnknownSy},        {"PAGE", PageSy, UnknownSy},
    {"BGSOUND", BgSoundSy, UnknownSy},    {"WRAP", WrapSy, UnknownSy},
    {"META", MetaSy, UnknownSy},          {"PANEL", PanelSy, UnknownSy},
    {"WBR", WbrSy, UnknownSy},
};

constexpr TAttrEntry AttrTable[63] = {
    {"HREF", HrefSy},          {"NAME", NameSy},          {"SRC", SrcSy},
    {"ALT", AltSy},            {"ALIGN", AlignSy},        {"TEXT", TextSy},
    {"BGCOLOR", BGColorSy},    {"LINK", LinkSy},          {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy},    {"ROWSPAN", RowSpanSy},    {"BORDER", BorderSy},
    {"CELLPADDING", CellPaddingSy}, {"CELLSPACING", CellSpacingSy},
    {"VALIGN", VAlignSy},      {"WIDTH", WidthSy},        {"START", StartSy},
    {"VALUE", ValueSy},        {"TYPE", TypeSy},          {"CHECKBOX", CheckBoxSy},
    {"RADIO", RadioSy},        {"METHOD", MethodSy},      {"ACTION", ActionSy},
    {"CHECKED", CheckedSy},    {"SIZE", SizeSy},          {"MAXLENGTH", MaxLengthSy},
    {"COLS", ColsSy},          {"ROWS", RowsSy},          {"MULTIPLE", MultipleSy},
    {"VALUE", ValueSy},        {"SELECTED", SelectedSy},  {"FACE", FaceSy},
    {"COLOR", ColorSy},        {"TRANSP", TranspSy},      {"CLEAR", ClearSy},
    {"ISMAP", IsMapSy},        {"BORDERCOLOR", BorderColorSy}, {"USEMAP", UseMapSy},
    {"SHAPE", ShapeSy},        {"COORDS", CoordsSy},      {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy},      {"PLAIN", PlainSy},        {"TARGET", TargetSy},
    {"NORESIZE", NoResizeSy},  {"SCROLLING", ScrollingSy}, {"HSPACE", HSpaceSy},
    {"LANGUAGE", LanguageSy},  {"FRAMEBORDER", FrameBorderSy},
    {"MARGINWIDTH", MarginWidthSy}, {"MARGINHEIGHT", MarginHeightSy},
    {"LOOP", LoopSy},          {"ONCLICK", OnClickSy},    {"WRAP", WrapSy},
    {"NOSHADE", NoShadeSy},    {"HTTP-EQUIV", HttpEqSy},  {"CONTENT", ContentSy},
    {"ENCTYPE", EncTypeSy},    {"VLINK", VLinkSy},        {"OLINK", OLinkSy},
    {"ACTIVE", ActiveSy},      {"VSPACE", VSpaceSy},      {"NOWRAP", NoWrapSy},
};

namespace {
struct TTagSymbols {
  Symb StartSy, EndSy;
  bool Known;
};
constexpr TKeyIndex<9, TTagSymbols> TagIndex(
    TagTable, [](const TTagEntry &E) { return NameKey(E.Name); },
    [](int Row) { return TTagSymbols{TagTable[Row].StartSy, TagTable[Row].EndSy, true}; },
    TTagSymbols{UnknownSy, UnknownSy, false});
constexpr TKeyIndex<9, Symb> AttrIndex(
    AttrTable, [](const TAttrEntry &E) { return NameKey(E.Name); },
    [](int Row) { return AttrTable[Row].Sy; }, UnknownAttrSy);
} // namespace

bool LookupTagKey(uint64_t Key, Symb &StartSy, Symb &EndSy) {
  const TTagSymbols T = TagIndex.Find(Key);
  StartSy = T.StartSy;
  EndSy = T.EndSy;
  return T.Known;
}

bool LookupTag(std::string_view UpperName, Symb &StartSy, Symb &EndSy) {
  return LookupTagKey(NameKey(UpperName), StartSy, EndSy);
}

Symb LookupAttribute(std::string_view UpperName) { return AttrIndex.Find(NameKey(UpperName)); }

std::string_view SymbolName(Symb Sy) {
  for (const TTagEntry &T : TagTable)
    if (T.StartSy == Sy || (T.EndSy == Sy && Sy != UnknownSy)) return T.Name;
  for (const TAttrEntry &A : AttrTable)
    if (A.Sy == Sy && Sy != TextSy) return A.Name;
  return {};
}

#pragma once
// The symbols of the page reader: one byte-valued enumeration shared by tags, attributes
// and token kinds. The values are fixed; some names serve both as a tag and as an
// attribute (SELECTED, WRAP) and TEXT is the same value as a text token.
#include <cstdint>
#include <string_view>

enum Symb : uint8_t {
  HtmlSy = 0, TitleSy = 1, BodySy = 2, HeadSy = 3, PSy = 4, PEndSy = 5, BSy = 6,
  BEndSy = 7, ISy = 8, IEndSy = 9, HtmlEndSy = 10, TitleEndSy = 11, BodyEndSy = 12,
  HeadEndSy = 13, BRSy = 14, HeadingSy = 15, HeadingEndSy = 16, EmSy = 17, EmEndSy = 18,
  StrongSy = 19, StrongEndSy = 20, USy = 21, UEndSy = 22, HRSy = 23, CiteSy = 24,
  VarSy = 25, CiteEndSy = 26, VarEndSy = 27, BaseSy = 28, TTSy = 29, CodeSy = 30,
  KbdSy = 31, SampSy = 32, TTEndSy = 33, CodeEndSy = 34, KbdEndSy = 35, SampEndSy = 36,
  OLSy = 37, OLEndSy = 38, LISy = 39, ULSy = 40, ULEndSy = 41, DirSy = 42, DirEndSy = 43,
  MenuSy = 44, MenuEndSy = 45, DLSy = 46, DLEndSy = 47, DDSy = 48, DTSy = 49,
  AddressSy = 50, AddressEndSy = 51, BlockQuoteSy = 52, BlockQuoteEndSy = 53, PreSy = 54,
  PreEndSy = 55, ImageSy = 56, CenterSy = 57, CenterEndSy = 58, UnknownAttrSy = 59,
  AnchorSy = 60, AnchorEndSy = 61, HrefSy = 62, NameSy = 63, SrcSy = 64, AltSy = 65,
  AlignSy = 66, OtherChSy = 67, /* 68 unused */ UnknownSy = 69, TextSy = 70, EofSy = 71,
  LinkSy = 72, BGColorSy = 73, BackgroundSy = 74, TableSy = 75, TableEndSy = 76, TDSy = 77,
  TDEndSy = 78, TRSy = 79, TREndSy = 80, THSy = 81, THEndSy = 82, ColSpanSy = 83,
  RowSpanSy = 84, BorderSy = 85, CellPaddingSy = 86, CellSpacingSy = 87, VAlignSy = 88,
  WidthSy = 89, CaptionSy = 90, CaptionEndSy = 91, StartSy = 92, ButtonSy = 93,
  InputSy = 94, ValueSy = 95, TypeSy = 96, CheckBoxSy = 97, RadioSy = 98, FormSy = 99,
  FormEndSy = 100, MethodSy = 101, ActionSy = 102, CheckedSy = 103, SizeSy = 104,
  MaxLengthSy = 105, TextAreaSy = 106, TextAreaEndSy = 107, ColsSy = 108, RowsSy = 109,
  SelectSy = 110, SelectEndSy = 111, OptionSy = 112, OptionEndSy = 113, SelectedSy = 114,
  MultipleSy = 115, FontSy = 116, FontEndSy = 117, ColorSy = 118, FaceSy = 119,
  BaseFontSy = 120, TranspSy = 121, SubSy = 122, SubEndSy = 123, SupSy = 124,
  SupEndSy = 125, ClearSy = 126, IsMapSy = 127, BigSy = 128, BigEndSy = 129,
  SmallSy = 130, SmallEndSy = 131, BorderColorSy = 132, MapSy = 133, MapEndSy = 134,
  AreaSy = 135, ShapeSy = 136, CoordsSy = 137, NoHrefSy = 138, UseMapSy = 139,
  HeightSy = 140, PlainSy = 141, FrameSetSy = 142, FrameSetEndSy = 143, FrameSy = 144,
  TargetSy = 145, NoFramesSy = 146, NoFramesEndSy = 147, NoResizeSy = 148,
  ScrollingSy = 149, PageSy = 150, HSpaceSy = 151, VSpaceSy = 152, ScriptSy = 153,
  ScriptEndSy = 154, LanguageSy = 155, DivSy = 156, DivEndSy = 157, SSy = 158,
  SEndSy = 159, StrikeSy = 160, StrikeEndSy = 161, FrameBorderSy = 162,
  MarginWidthSy = 163, MarginHeightSy = 164, BgSoundSy = 165, LoopSy = 166,
  OnClickSy = 167, WrapSy = 168, NoShadeSy = 169, MetaSy = 170, HttpEqSy = 171,
  ContentSy = 172, EncTypeSy = 173, VLinkSy = 174, OLinkSy = 175, ActiveSy = 176,
  PanelSy = 177, NoBrSy = 178, NoBrEndSy = 179, WbrSy = 180, NoWrapSy = 181
};

constexpr int MaxSymbol = 181;

// One row of the tag table; EndSy is UnknownSy for tags without an end symbol.
struct TTagEntry {
  std::string_view Name;
  Symb StartSy;
  Symb EndSy;
};
struct TAttrEntry {
  std::string_view Name;
  Symb Sy;
};

// The 68 tags in table order (the first 49 have end symbols) and the 63 attribute names.
extern const TTagEntry TagTable[68];
extern const TAttrEntry AttrTable[63];

// A name of the tag or attribute table packed into one integer, 5 bits a character (A..Z
// are 1..26, '-' is 27), so that finding it costs a multiplication and mostly one compare.
// A name longer than 12 characters is in no table and packs to 0, like the empty name.
class TNameKey {
public:
  static constexpr int MaxLen = 12;
  // Appends an upper-case letter or '-'.
  constexpr void Add(char UpperCh) {
    if (FLen > MaxLen) return; // too long for any table already
    if (++FLen <= MaxLen) FKey = FKey << 5 | uint64_t(UpperCh == '-' ? 27 : UpperCh - '@');
  }
  constexpr uint64_t Key() const { return FLen <= MaxLen ? FKey : 0; }
  // The key of a whole name; 0 when it holds a character that no table name has.
  static constexpr uint64_t Of(std::string_view Name) {
    TNameKey K;
    for (char C : Name) {
      if (!((C >= 'A' && C <= 'Z') || C == '-')) return 0;
      K.Add(C);
    }
    return K.Key();
  }

private:
  uint64_t FKey = 0;
  int FLen = 0;
};

// An open-addressing table from nonzero keys to table rows, built at compile time. The
// first row with a key wins, as in a search of the table in order.
template <int Bits>
class TKeyIndex {
public:
  template <class Table, class KeyOf>
  constexpr TKeyIndex(const Table &Rows, KeyOf Key) {
    int Row = 0;
    for (const auto &R : Rows) Insert(Key(R), Row++);
    if (Row * 2 > int(Size)) throw "TKeyIndex: too full"; // stops the compilation
  }
  // The row of Key, or -1 (also for key 0).
  constexpr int Find(uint64_t Key) const {
    for (size_t S = Slot(Key); FKeys[S] != 0; S = (S + 1) & Mask)
      if (FKeys[S] == Key) return FRows[S];
    return -1;
  }

private:
  static constexpr size_t Size = size_t(1) << Bits, Mask = Size - 1;
  static constexpr size_t Slot(uint64_t Key) {
    return size_t((Key * 0x9E3779B97F4A7C15ull) >> (64 - Bits));
  }
  constexpr void Insert(uint64_t Key, int Row) {
    size_t S = Slot(Key);
    for (; FKeys[S] != 0; S = (S + 1) & Mask)
      if (FKeys[S] == Key) return;
    FKeys[S] = Key;
    FRows[S] = int16_t(Row);
  }
  uint64_t FKeys[Size] = {};
  int16_t FRows[Size] = {};
};

// Lookups of an upper-cased name; the first match wins. A tag that is not in the table
// gives false; an unknown attribute gives UnknownAttrSy.
bool LookupTag(std::string_view UpperName, Symb &StartSy, Symb &EndSy);
Symb LookupAttribute(std::string_view UpperName);
// The same by the packed name.
bool LookupTagKey(uint64_t Key, Symb &StartSy, Symb &EndSy);
Symb LookupAttributeKey(uint64_t Key);
// The table name of a tag or attribute symbol (start or end tag), "" for token kinds.
std::string_view SymbolName(Symb Sy);

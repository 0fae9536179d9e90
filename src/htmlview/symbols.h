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
// 0 for a name in no table: empty, longer than 12 characters or with another character.
constexpr int MaxNameKeyLength = 12;
// The key of a name so far with one more character, an upper-case letter or '-'.
constexpr uint64_t NameKeyAdd(uint64_t Key, char UpperCh) {
  return Key << 5 | uint64_t(UpperCh == '-' ? 27 : UpperCh - '@');
}
constexpr uint64_t NameKey(std::string_view UpperName) {
  if (UpperName.size() > MaxNameKeyLength) return 0;
  uint64_t Key = 0;
  for (char C : UpperName) {
    if (!((C >= 'A' && C <= 'Z') || C == '-')) return 0;
    Key = NameKeyAdd(Key, C);
  }
  return Key;
}

// A table from nonzero keys to values, built at compile time, in which every key has a
// slot of its own beside its value: a lookup is one multiplication and one compare in one
// cache line, with no branch that depends on the name. The first row with a key wins, as
// in a search of the table in order; a key in no row gives Missing.
template <int Bits, class Value>
class TKeyIndex {
public:
  template <class Table, class KeyOf, class ValueOf>
  constexpr TKeyIndex(const Table &Rows, KeyOf Key, ValueOf ValueAt, Value Missing)
      : FMissing(Missing) {
    // Multipliers from a random sequence are tried until one gives each key its own slot.
    for (int Try = 0;; ++Try) {
      if (Try == 100000) throw "TKeyIndex: no multiplier"; // stops the compilation
      FMul = (FMul * 6364136223846793005ull + 1442695040888963407ull) | 1;
      for (TSlot &S : FSlots) S = {0, Missing};
      bool Clash = false;
      int Row = 0;
      for (const auto &R : Rows) {
        TSlot &S = FSlots[Slot(Key(R))];
        if (S.Key == 0)
          S = {Key(R), ValueAt(Row)};
        else if (S.Key != Key(R))
          Clash = true;
        ++Row;
      }
      if (!Clash) return;
    }
  }
  constexpr Value Find(uint64_t Key) const {
    const TSlot &S = FSlots[Slot(Key)];
    return S.Key == Key ? S.V : FMissing; // key 0 finds an empty slot, holding Missing too
  }

private:
  struct TSlot {
    uint64_t Key;
    Value V;
  };
  static constexpr size_t Size = size_t(1) << Bits;
  constexpr size_t Slot(uint64_t Key) const { return size_t((Key * FMul) >> (64 - Bits)); }
  uint64_t FMul = 0;
  Value FMissing;
  TSlot FSlots[Size] = {};
};

// Lookups of an upper-cased name; the first match wins. A tag that is not in the table
// gives false; an unknown attribute gives UnknownAttrSy.
bool LookupTag(std::string_view UpperName, Symb &StartSy, Symb &EndSy);
Symb LookupAttribute(std::string_view UpperName);
// The same by the key of the name (the scanner builds it as it reads).
bool LookupTagKey(uint64_t Key, Symb &StartSy, Symb &EndSy);
// The table name of a tag or attribute symbol (start or end tag), "" for token kinds.
std::string_view SymbolName(Symb Sy);

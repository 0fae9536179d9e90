#include "doc_dump.h"

#include <cstdio>
#include <sstream>

#include "htmlview/document.h"

namespace {

std::string Hex(unsigned V) {
  char B[16];
  std::snprintf(B, sizeof B, "%06X", V & 0xFFFFFF);
  return B;
}

std::string Styles(unsigned S) {
  std::string R;
  if (S & fsBold) R += "B";
  if (S & fsItalic) R += "I";
  if (S & fsUnderline) R += "U";
  if (S & fsStrikeOut) R += "S";
  return R.empty() ? "-" : R;
}

std::string Pad(int N) { return std::string(size_t(N) * 2, ' '); }

} // namespace

std::string VisibleText(const std::string &Buff) {
  std::string R;
  for (char C : Buff) {
    switch (C) {
    case ImageMark: R += "{IMG}"; break;
    case ImageMarkNoBrk: R += "{IMG~}"; break;
    case FormMark: R += "{CTL}"; break;
    case FormMarkNoBrk: R += "{CTL~}"; break;
    case NoBreakSpace: R += "{NBSP}"; break;
    default:
      if (uint8_t(C) < 32) R += "{#" + std::to_string(int(uint8_t(C))) + "}";
      else R += C;
    }
  }
  return R;
}

std::string DumpSection(const TSectionBase &S, const TDumpOptions &O, int Indent) {
  std::ostringstream Out;
  std::string P = Pad(Indent);
  auto LayoutInfo = [&]() {
    if (O.Layout)
      Out << " y=" << S.YValue << " h=" << S.SectionHeight << " dh=" << S.DrawHeight
          << " curs=" << S.StartCurs << " len=" << S.Len;
  };
  if (auto *T = dynamic_cast<const ThtmlTable *>(&S)) {
    Out << P << "Table border=" << T->Border << " pad=" << T->CellPadding
        << " spacing=" << T->CellSpacing << " width=" << T->SpecWidth << (T->WidthPercent ? "%" : "")
        << " height=" << T->SpecHeight << (T->HeightPercent ? "%" : "") << " justify=" << T->Justify
        << " float=" << T->Float << " rows=" << T->Rows.Count();
    if (T->BkGnd) Out << " bg=" << Hex(T->BkColor);
    LayoutInfo();
    if (O.Layout) Out << " tw=" << T->TableWidth << (T->Dropped ? " dropped" : "");
    Out << "\n";
    if (T->Caption && T->Caption->Cell && T->Caption->Cell->Count() > 0) {
      Out << P << "  Caption " << (T->CaptionOnTop ? "top" : "bottom") << "\n";
      Out << DumpCell(*T->Caption->Cell, O, Indent + 2);
    }
    int R = 0;
    for (const auto &Row : T->Rows) {
      Out << P << "  Row " << R++;
      if (Row->BkGnd) Out << " bg=" << Hex(Row->BkColor);
      Out << "\n";
      int C = 0;
      for (const auto &Cell : *Row) {
        Out << P << "    Cell " << C++;
        if (Cell->IsDummy()) {
          Out << " dummy\n";
          continue;
        }
        Out << " colspan=" << Cell->ColSpan << " rowspan=" << Cell->RowSpan
            << " valign=" << Cell->VAlign;
        if (Cell->SpecWd) Out << " width=" << Cell->SpecWd << (Cell->WidthPercent ? "%" : "");
        if (Cell->SpecHt) Out << " height=" << Cell->SpecHt;
        if (Cell->Cell && Cell->Cell->BkGnd) Out << " bg=" << Hex(Cell->Cell->BkColor);
        Out << "\n";
        if (Cell->Cell) Out << DumpCell(*Cell->Cell, O, Indent + 3);
      }
    }
    return Out.str();
  }
  if (auto *H = dynamic_cast<const THeadingSpace *>(&S)) {
    Out << P << "HeadingSpace " << H->HeadingSize;
    LayoutInfo();
    Out << "\n";
    return Out.str();
  }
  if (dynamic_cast<const TParagraphSpace *>(&S)) {
    Out << P << "ParagraphSpace";
    LayoutInfo();
    Out << "\n";
    return Out.str();
  }
  if (dynamic_cast<const TPage *>(&S)) {
    Out << P << "Page\n";
    return Out.str();
  }
  if (auto *R = dynamic_cast<const THorzLine *>(&S)) {
    Out << P << "HorzLine size=" << R->VSize << " width=" << R->HRWidth << (R->Percent ? "%" : "")
        << " align=" << R->Align << " noshade=" << R->NoShade;
    if (R->HasColor) Out << " color=" << Hex(R->Color);
    LayoutInfo();
    Out << "\n";
    return Out.str();
  }
  if (auto *T = dynamic_cast<const TSection *>(&S)) {
    const char *Kind = dynamic_cast<const TPreFormated *>(T) ? "Pre"
                       : dynamic_cast<const TOListItem *>(T) ? "OLItem"
                       : dynamic_cast<const TDListItem *>(T) ? "DLItem"
                       : dynamic_cast<const TUListItem *>(T) ? "ULItem"
                                                              : "Section";
    Out << P << Kind << " level=" << T->ListLevel << " justify=" << T->Justify;
    if (T->ClearAttr) Out << " clear=" << T->ClearAttr;
    if (auto *OL = dynamic_cast<const TOListItem *>(T))
      Out << " numb=" << OL->ListNumb << " style=" << OL->ListStyle;
    if (auto *UL = dynamic_cast<const TUListItem *>(T))
      if (UL->Plain) Out << " plain";
    LayoutInfo();
    Out << " \"" << VisibleText(T->Buff) << "\"\n";
    if (O.Fonts)
      for (const auto &F : T->Fonts.Items) {
        Out << P << "  font @" << F->Pos << " \"" << F->TheFont.Name << "\" " << F->TheFont.Size()
            << "pt n=" << F->TheFont.NormalSize << " " << Styles(F->TheFont.Style)
            << " color=" << Hex(F->TheFont.Color);
        if (F->TheFont.Fixed) Out << " fixed";
        if (F->SScript == TScript::Sub) Out << " sub";
        if (F->SScript == TScript::Sup) Out << " sup";
        if (F->HasUrl()) Out << " url=\"" << F->UrlTarget().Url << "\"";
        if (!F->UrlTarget().Target.empty()) Out << " target=\"" << F->UrlTarget().Target << "\"";
        Out << "\n";
      }
    for (const auto &Obj : T->Images.Items) {
      if (auto *I = dynamic_cast<const TImageObj *>(Obj.get())) {
        Out << P << "  image @" << I->Pos << " src=\"" << I->Source << "\" align=" << I->ObjAlign;
        if (I->SpecWidth > 0) Out << " width=" << I->SpecWidth << (I->Percent ? "%" : "");
        if (I->SpecHeight > 0) Out << " height=" << I->SpecHeight;
        if (I->HSpace) Out << " hspace=" << I->HSpace;
        if (I->VSpace) Out << " vspace=" << I->VSpace;
        if (!I->Alt.empty()) Out << " alt=\"" << I->Alt << "\"";
        if (I->Transparent) Out << " transp";
        if (I->IsMap) Out << " ismap";
        if (I->UseMap) Out << " usemap=" << I->MapName;
        if (I->MyFormControl) Out << " input";
        if (O.Layout) Out << " size=" << I->ImageWidth << "x" << I->ImageHeight;
        Out << "\n";
      } else if (auto *Pn = dynamic_cast<const TPanelObj *>(Obj.get())) {
        Out << P << "  panel @" << Pn->Pos << " name=\"" << Pn->Name << "\" align=" << Pn->ObjAlign
            << " size=" << Pn->ImageWidth << "x" << Pn->ImageHeight << "\n";
      }
    }
    for (const TFormControlObj *C : T->FormControls.Items)
      Out << P << "  control @" << C->Pos << " name=\"" << C->Name << "\" value=\"" << C->Value
          << "\"\n";
    if (O.Sources)
      for (const IndexObj &I : T->SIndexList)
        Out << P << "  source @" << I.Pos << " -> " << I.Index << "\n";
    if (O.Layout)
      for (const LineRec &L : T->Lines)
        Out << P << "  line start=" << L.Start << " ln=" << L.Ln << " ht=" << L.LineHt
            << " before=" << L.SpaceBefore << " after=" << L.SpaceAfter << " x=" << L.LineIndent
            << "\n";
    return Out.str();
  }
  Out << P << "Section?\n";
  return Out.str();
}

std::string DumpCell(const TCell &Cell, const TDumpOptions &O, int Indent) {
  std::string R;
  for (const auto &S : Cell) R += DumpSection(*S, O, Indent);
  return R;
}

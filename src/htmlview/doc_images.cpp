// Pictures and panels in the document: attributes, fetching through the image cache,
// display sizes, drawing and hover animation.
#include "htmlview/doc_images.h"

#include <algorithm>
#include <cstdlib>

#include "htmlview/cell.h"
#include "htmlview/draw_helpers.h"
#include "htmlview/gif_image.h"
#include "htmlview/html_utils.h"
#include "htmlview/image_cache.h"
#include "htmlview/section_list.h"
#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {

int AlignOf(const std::string &V) {
  std::string U = UpperCaseAscii(V);
  if (U == "TOP") return ATop;
  if (U == "MIDDLE" || U == "ABSMIDDLE") return AMiddle;
  if (U == "LEFT") return ALeft;
  if (U == "RIGHT") return ARight;
  return ABottom;
}

// Sizes beyond this are taken as this, so that sums of sizes cannot overflow.
constexpr int MaxObjectSize = 32000;

template <class T> void Unlist(std::vector<T *> &V, T *P) {
  V.erase(std::remove(V.begin(), V.end(), P), V.end());
}

} // namespace

// ---------------------------------------------------------------- TImageObj

TImageObj::TImageObj(TSectionList *List, int APos, const TAttributeList &L) : ParentList(List) {
  Pos = APos;
  bool HSpaceGiven = false;
  for (const auto &A : L) {
    switch (A->Which) {
    case SrcSy: Source = Trim(A->Name); break;
    case AltSy: Alt = A->Name; break;
    case AlignSy: ObjAlign = AlignOf(A->Name); break;
    case BorderSy: NoBorder = A->Value == 0; break;
    case WidthSy:
      if (A->Name.find('%') != std::string::npos) {
        if (A->Value >= 1 && A->Value <= 100) {
          SpecWidth = A->Value;
          Percent = true;
        }
      } else if (A->Value > 0) {
        // WIDTH <= 0 counts as absent, like an absent HEIGHT.
        SpecWidth = std::min(A->Value, MaxObjectSize);
        Percent = false;
      }
      break;
    case HeightSy:
      if (A->Value >= 1) SpecHeight = std::min(A->Value, MaxObjectSize);
      break;
    case HSpaceSy:
      HSpace = std::min(40, A->Value == INT32_MIN ? 40 : std::abs(A->Value));
      HSpaceGiven = true;
      break;
    case VSpaceSy: VSpace = std::min(40, A->Value == INT32_MIN ? 40 : std::abs(A->Value)); break;
    case TranspSy: Transparent = true; break;
    case IsMapSy: IsMap = true; break;
    case ActiveSy: Active = true; break;
    case UseMapSy: {
      UseMap = true;
      std::string N = UpperCaseAscii(Trim(A->Name));
      if (!N.empty() && N[0] == '#') N.erase(0, 1);
      MapName = N;
      break;
    }
    default: break;
    }
  }
  if (!HSpaceGiven && IsFloat()) HSpace = 5;
  if (List) List->ImageList.push_back(this);
}

TImageObj::TImageObj(TSectionList *List, const TImageObj &S)
    : TFloatingObj(S), ParentList(List), Source(S.Source), SpecWidth(S.SpecWidth),
      SpecHeight(S.SpecHeight), Percent(S.Percent), NoBorder(S.NoBorder), IsMap(S.IsMap),
      UseMap(S.UseMap), MapName(S.MapName), Transparent(S.Transparent), Active(S.Active),
      ObjWidth(S.ObjWidth), ObjHeight(S.ObjHeight), SizeSettled(S.SizeSettled),
      HasBorder(S.HasBorder), Bitmap(S.Bitmap), Mask(S.Mask), TransparentKind(S.TransparentKind),
      Fetched(S.Fetched), IsError(S.IsError), IsDefault(S.IsDefault),
      MyFormControl(S.MyFormControl), CacheKey(S.CacheKey) {
  if (S.Gif) {
    OwnGif = TGIFImage::CreateCopy(*S.Gif);
    Gif = OwnGif.get();
  }
  if (!CacheKey.empty()) BitmapList().AddUse(CacheKey);
  if (S.Gif && !Gif) { // past the picture budget
    ReleaseCache();
    ShowErrorPicture();
  }
  if (List) List->ImageList.push_back(this);
}

std::unique_ptr<TFloatingObj> TImageObj::Clone(TSectionList *NewList) const {
  return std::make_unique<TImageObj>(NewList, *this);
}

TImageObj::~TImageObj() {
  if (ParentList) {
    Unlist(ParentList->ImageList, this);
    Unlist(ParentList->AnimList, this);
    if (ParentList->ActiveImage == this) ParentList->ActiveImage = nullptr;
    for (auto &P : ParentList->PendingList) Unlist(P.second, this);
  }
  ReleaseCache();
}

void TImageObj::ReleaseCache() {
  if (!CacheKey.empty()) BitmapList().ReleaseUse(CacheKey);
  CacheKey.clear();
}

void TImageObj::FetchImage() {
  if (Fetched) return;
  TSectionList *L = ParentList;
  if (!L || !L->ShowImages) {
    Bitmap = &DefBitmap();
    IsDefault = true;
    return;
  }
  Fetched = true;
  const std::string Src = L->ImageRequestName(Source);
  std::string Key = TStringBitmapList::Key(Src);
  if (!Key.empty() && L->PendingList.count(Key)) {
    Bitmap = &DefBitmap();
    IsDefault = true;
    L->PendingList[Key].push_back(this);
    return;
  }
  int Tr = Transparent ? LLCorner : NotTransp;
  bool Pending = false, FromCache = false;
  TBitmap *M = nullptr;
  TGIFImage *G = nullptr;
  TBitmap *B = L->GetTheBitmap(Src, Tr, Pending, FromCache, M, G);
  if (B || G) {
    CacheKey = Key; // taken from the cache, or counted by the cache's AddObject
    TransparentKind = Tr;
    // A cached mask belongs to the picture, not to every element showing it.
    Mask = (Transparent || Tr == TGif || Tr == TPng) ? M : nullptr;
    if (G) {
      OwnGif = TGIFImage::CreateCopy(*G);
      Gif = OwnGif.get();
      if (!Gif) { // its own composite is past the picture budget
        ReleaseCache();
        ShowErrorPicture();
        return;
      }
      if (Active) Gif->SetAnimate(false);
      else if (Gif->Animated || Gif->FrameCount > 1) L->AnimList.push_back(this);
      Bitmap = nullptr;
    } else {
      Bitmap = B;
    }
    IsError = IsDefault = false;
  } else if (Pending) {
    Bitmap = &DefBitmap();
    IsDefault = true;
    L->PendingList[Key].push_back(this);
  } else {
    ShowErrorPicture();
  }
}

void TImageObj::ShowErrorPicture() {
  Bitmap = &ErrorBitmap();
  Mask = &ErrorBitmapMask();
  TransparentKind = LLCorner;
  IsError = true;
  IsDefault = false;
}

void TImageObj::PictureArrived(bool Loaded) {
  Bitmap = Mask = nullptr;
  IsDefault = false;
  if (!Loaded) {
    ShowErrorPicture();
    return;
  }
  // No longer pending: the fetch finds it in the cache and takes its own use.
  Fetched = false;
  FetchImage();
}

void TImageObj::DrawLogic(TSectionList *List, TCanvas &Canvas, int AvailableWidth,
                          const TFontObj *FontObj) {
  if (!Fetched || IsDefault) FetchImage();
  (void)List;
  int BW = 0, BH = 0;
  if (Gif) {
    BW = Gif->ScreenWidth;
    BH = Gif->ScreenHeight;
  } else if (Bitmap) {
    BW = Bitmap->Width();
    BH = Bitmap->Height();
  }
  if (!SizeSettled) {
    if (IsError || IsDefault || (!Bitmap && !Gif)) {
      if (SpecWidth > 0 && SpecHeight > 0 && !Percent) {
        ObjWidth = SpecWidth;
        ObjHeight = SpecHeight;
        SizeSettled = true;
      } else {
        ObjWidth = BW;
        ObjHeight = BH;
      }
    } else if (Percent) {
      ObjWidth = MulDiv(std::max(0, AvailableWidth), SpecWidth, 100);
      ObjHeight = SpecHeight > 0 ? SpecHeight : BH;
    } else {
      // Sizes scale by the picture's proportions; a picture without pixels has none.
      if (SpecWidth > 0 && SpecHeight > 0) {
        ObjWidth = SpecWidth;
        ObjHeight = SpecHeight;
      } else if (SpecHeight > 0) {
        ObjHeight = SpecHeight;
        ObjWidth = BH > 0 ? MulDiv(SpecHeight, BW, BH) : SpecHeight;
      } else if (SpecWidth > 0) {
        ObjWidth = SpecWidth;
        ObjHeight = BW > 0 ? MulDiv(SpecWidth, BH, BW) : SpecWidth;
      } else {
        ObjWidth = BW;
        ObjHeight = BH;
      }
      SizeSettled = true;
    }
    TSectionList *L = ParentList;
    if ((L && !L->ShowImages) || IsError) {
      if (!SizeSettled) {
        TFont Save = Canvas.Font();
        Canvas.Font() = TFont();
        Canvas.Font().Name = "Arial";
        Canvas.Font().SetSize(8);
        std::u16string U = L ? L->Decode(Alt) : DecodeText(Alt);
        int TW = Canvas.TextWidth(U), TH = Canvas.TextHeight(U);
        Canvas.Font() = Save;
        ObjWidth = std::max(ObjWidth, TW + 2 + 24);
        ObjHeight = std::max({ObjHeight, 24, TH});
      }
    }
  }
  ImageWidth = ObjWidth;
  ImageHeight = ObjHeight;
  HasBorder = FontObj && FontObj->HasUrl() && !NoBorder;
  if (HasBorder) {
    ImageWidth += 2;
    ImageHeight += 2;
  }
}

TBitmap *TImageObj::GetBitmap() {
  if (IsError) return nullptr;
  if (Gif) return const_cast<TBitmap *>(Gif->GetMaskedBitmap());
  return Bitmap;
}

void TImageObj::SetHover(bool Value) {
  if (Value == Hover) return;
  Hover = Value;
  if (!Active || !Gif || !ParentList) return;
  if (Value) {
    if (Gif->FrameCount == 2) Gif->SetCurrentFrame(2);
    else {
      Gif->SetAnimate(true);
      if (std::find(ParentList->AnimList.begin(), ParentList->AnimList.end(), this) ==
          ParentList->AnimList.end())
        ParentList->AnimList.push_back(this);
    }
  } else {
    Gif->SetAnimate(false);
    Gif->SetCurrentFrame(1);
    Unlist(ParentList->AnimList, this);
  }
  if (ParentList->Host) ParentList->Host->InvalidateDocument();
}

void TImageObj::DrawObj(TCanvas &Canvas, int X, int Y) {
  TSectionList *L = ParentList;
  int W = ObjWidth, H = ObjHeight;
  int IX = X + (HasBorder ? 1 : 0), IY = Y + (HasBorder ? 1 : 0);
  TPen SavePen = Canvas.Pen();
  TBrush SaveBrush = Canvas.Brush();
  bool Placeholder = IsError || IsDefault || (L && !L->ShowImages) || (!Bitmap && !Gif);
  if (Placeholder) {
    TRect R(IX, IY, IX + W, IY + H);
    TBitmap &P = IsError ? ErrorBitmap() : DefBitmap();
    if (P.Width() > 0 && P.Height() > 0) {
      if (IsError && ErrorBitmapMask().Width() > 0)
        Canvas.MaskBlt(IX + 4, IY + 4, std::min(P.Width(), std::max(0, W - 4)),
                       std::min(P.Height(), std::max(0, H - 4)), P, 0, 0, ErrorBitmapMask(), 0, 0);
      else
        Canvas.BitBlt(IX + 4, IY + 4, std::min(P.Width(), std::max(0, W - 4)),
                      std::min(P.Height(), std::max(0, H - 4)), P, 0, 0, cmSrcCopy);
    }
    Canvas.DrawEdge(R, EDGE_SUNKEN, BF_RECT);
    if (!Alt.empty()) {
      TFont Save = Canvas.Font();
      Canvas.Font() = TFont();
      Canvas.Font().Name = "Arial";
      Canvas.Font().SetSize(8);
      Canvas.Font().Color = clBlack;
      DrawTextInRect(Canvas, IX + 24, IY + 2, IX + W - 2, IY + H - 2, Alt,
                     L ? L->CodePage : TCodePage::Windows1252);
      Canvas.Font() = Save;
    }
  } else if (Gif) {
    // Transparent frames pile up over what the picture's own box shows: a table cell's
    // colour, or else the page's colour and background picture.
    TGifBackdrop Back;
    if (L) {
      const TCell *Box = L->DrawingCell;
      if (Box && Box != L && Box->BkGnd) {
        Back.Color = Box->BkColor;
      } else {
        Back.Color = L->Background;
        if (!L->Printing && L->GetBackgroundBitmap()) {
          Back.Image = L->BackgroundBitmap;
          Back.Mask = L->BackgroundMask;
        }
      }
      Back.ScrollY = L->YOff;
      GifDrawnYOff = L->YOff;
    }
    Gif->Draw(Canvas, &Back, IX, IY, W, H);
  } else if (W > 0 && H > 0) {
    if (Mask && Mask->Width() == Bitmap->Width() && Mask->Height() == Bitmap->Height())
      PrintBitmapWithMask(Canvas, *Bitmap, *Mask, IX, IY, W, H);
    else if (Bitmap->Width() > 0 && Bitmap->Height() > 0)
      Canvas.StretchDraw(TRect(IX, IY, IX + W, IY + H), *Bitmap);
  }
  if (HasBorder && L) {
    TFontObj *F = nullptr;
    (void)F;
    Canvas.Brush().Color = L->HotSpotColor;
    Canvas.Brush().Style = bsSolid;
    Canvas.FrameRect(TRect(X, Y, X + W + 2, Y + H + 2));
  }
  Canvas.Pen() = SavePen;
  Canvas.Brush() = SaveBrush;
}

// ---------------------------------------------------------------- TPanelObj

TPanelObj::TPanelObj(TSectionList *List, TCell *, int APos, const TAttributeList &L)
    : ParentList(List) {
  // The viewer's panel is a window on its paint panel; without a viewer, a record.
  if (List && List->Host) Panel = List->Host->CreatePanel();
  if (!Panel) Panel = std::make_unique<ThvPanel>();
  Pos = APos;
  ObjAlign = ABottom;
  HSpace = 5;
  for (const auto &A : L) {
    switch (A->Which) {
    case HeightSy:
      if (A->Value > 0) Panel->SetSize(Panel->Width(), std::min(A->Value, MaxObjectSize));
      break;
    case WidthSy:
      if (A->Value > 0) Panel->SetSize(std::min(A->Value, MaxObjectSize), Panel->Height());
      break;
    case HSpaceSy: HSpace = std::min(40, A->Value == INT32_MIN ? 40 : std::abs(A->Value)); break;
    case VSpaceSy: VSpace = std::min(40, A->Value == INT32_MIN ? 40 : std::abs(A->Value)); break;
    case AlignSy: {
      std::string U = UpperCaseAscii(A->Name);
      if (U == "TOP") ObjAlign = ATop;
      else if (U == "MIDDLE" || U == "ABSMIDDLE") ObjAlign = AMiddle;
      else if (U == "LEFT") ObjAlign = ALeft;
      else if (U == "RIGHT") ObjAlign = ARight;
      break;
    }
    case NameSy: Name = A->Name; break;
    case TypeSy: Type = A->Name; break;
    case SrcSy: SRC = A->Name; break;
    case AltSy: Alt = A->Name; break;
    default: break;
    }
  }
  if (List) {
    List->PanelList.push_back(this);
    // The host may fill and resize it; layout takes the size it has then.
    if (List->OnPanelCreate) List->OnPanelCreate(Name, Type, SRC, Panel.get());
  }
  ImageWidth = Panel->Width();
  ImageHeight = Panel->Height();
}

TPanelObj::TPanelObj(TSectionList *List, const TPanelObj &S)
    : TFloatingObj(S), ParentList(List), Panel(std::make_unique<ThvPanel>(*S.Panel)), SRC(S.SRC),
      Name(S.Name), Type(S.Type) {
  if (List) List->PanelList.push_back(this);
}

TPanelObj::~TPanelObj() {
  if (ParentList) {
    Unlist(ParentList->PanelList, this);
    if (ParentList->OnPanelDestroy && Panel) ParentList->OnPanelDestroy(Panel.get());
  }
}

std::unique_ptr<TFloatingObj> TPanelObj::Clone(TSectionList *NewList) const {
  return std::make_unique<TPanelObj>(NewList, *this);
}

void TPanelObj::DrawObj(TCanvas &Canvas, int X, int Y) {
  if (!Panel) return;
  if (ParentList && ParentList->Printing) {
    TPen SavePen = Canvas.Pen();
    TBrush SaveBrush = Canvas.Brush();
    Canvas.Pen().Color = clBlack;
    Canvas.Brush().Color = Panel->Color;
    Canvas.Brush().Style = bsSolid;
    Canvas.Rectangle(X, Y, X + ImageWidth, Y + ImageHeight);
    DrawTextInRect(Canvas, X + 15, Y + 15, X + ImageWidth - 15, Y + ImageHeight - 15, Alt,
                   ParentList->CodePage);
    Canvas.Pen() = SavePen;
    Canvas.Brush() = SaveBrush;
    return;
  }
  // The window is moved there after the pass, as the form controls are.
  ShowIt = true;
  PanelX = X;
  PanelY = Y;
}

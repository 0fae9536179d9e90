// The document root: settings, lists, layout entry, drawing entry, selection and pictures.
#include "htmlview/section_list.h"

#include <algorithm>

#include "htmlview/doc_images.h"
#include "htmlview/form_controls.h"
#include "htmlview/gif_image.h"
#include "htmlview/html_utils.h"
#include "htmlview/image_cache.h"
#include "htmlview/map_items.h"
#include "htmlview/selection_buffers.h"
#include "htmlview/tables.h"
#include "platform/bitmap.h"
#include "platform/timer.h"

// ---------------------------------------------------------------- colours

bool ColorFromHtml(const std::string &Value, TColor &Color) {
  static const struct {
    const char *Name;
    TColor Value;
  } Names[16] = {{"BLACK", 0x000000}, {"MAROON", 0x000080}, {"GREEN", 0x008000},
                 {"OLIVE", 0x008080}, {"NAVY", 0x800000},   {"PURPLE", 0x800080},
                 {"TEAL", 0x808000},  {"GRAY", 0x808080},   {"SILVER", 0xC0C0C0},
                 {"RED", 0x0000FF},   {"LIME", 0x00FF00},   {"YELLOW", 0x00FFFF},
                 {"BLUE", 0xFF0000},  {"FUCHSIA", 0xFF00FF}, {"AQUA", 0xFFFF00},
                 {"WHITE", 0xFFFFFF}};
  if (Value.empty()) return false;
  std::string U = UpperCaseAscii(Value).substr(0, 10);
  for (const auto &N : Names)
    if (U == N.Name) {
      Color = N.Value;
      return true;
    }
  std::string H = U;
  if (auto P = H.find('#'); P != std::string::npos) H.erase(P, 1);
  if (H.empty()) return false;
  while (H.size() < 6) H += '0';
  if (H.size() > 6) H = H.substr(H.size() - 6);
  uint32_t V = 0;
  for (char C : H) {
    int D;
    if (C >= '0' && C <= '9') D = C - '0';
    else if (C >= 'A' && C <= 'F') D = C - 'A' + 10;
    else return false;
    V = V * 16 + uint32_t(D);
  }
  Color = RGB(int(V >> 16), int((V >> 8) & 0xFF), int(V & 0xFF));
  return true;
}

// ---------------------------------------------------------------- anchors

bool TAnchorList::Add(const std::string &Name, TSectionBase *Section) {
  return Names.emplace(Name, Section).second;
}

TSectionBase *TAnchorList::Find(const std::string &Name) const {
  auto It = Names.find(Name);
  return It == Names.end() ? nullptr : It->second;
}

// ---------------------------------------------------------------- the root

TSectionList::TSectionList(TDocumentHost *AHost) : TCell(nullptr), Host(AHost) { MasterList = this; }

TSectionList::TSectionList(const TSectionList &Source, TDocumentHost *AHost)
    : TCell(nullptr), Host(AHost) {
  MasterList = this;
  FontName = Source.FontName;
  PreFontName = Source.PreFontName;
  FontSize = Source.FontSize;
  FontColor = Source.FontColor;
  HotSpotColor = Source.HotSpotColor;
  LinkVisitedColor = Source.LinkVisitedColor;
  LinkActiveColor = Source.LinkActiveColor;
  LinksActive = Source.LinksActive;
  PrintTableBackground = Source.PrintTableBackground;
  ShowDummyCaret = Source.ShowDummyCaret;
  LinkUnderline = Source.LinkUnderline;
  Background = Source.Background;
  BackgroundBitmapName = Source.BackgroundBitmapName;
  Charset = Source.Charset;
  CodePage = Source.CodePage;
  ShowImages = Source.ShowImages;
  SelB = Source.SelB;
  SelE = Source.SelE;
  OnBitmapRequest = Source.OnBitmapRequest;
  OnImageRequest = Source.OnImageRequest;
  OnExpandName = Source.OnExpandName;
  for (const auto &M : Source.MapList) MapList.push_back(std::make_unique<TMapItem>(*M));
  Printing = true;
  for (const auto &S : Source) FItems.push_back(S->CreateCopy(this));
}

TSectionList::~TSectionList() {
  if (Timer) Timer->SetEnabled(false);
  ForgetRunsAndPictures();
  FItems.clear();
  ReleaseBackground();
}

void TSectionList::ForgetRunsAndPictures() {
  // Runs and pictures take themselves out of these lists when freed, each by a search;
  // emptied before a whole document goes, the searches find nothing at once instead of
  // making the teardown quadratic in the number of links and pictures.
  LinkList.clear();
  ImageList.clear();
  AnimList.clear();
  PendingList.clear();
  ActiveLink = nullptr;
  ActiveImage = nullptr;
}

void TSectionList::ClearLists() {
  ForgetRunsAndPictures();
  FormControlList.clear();
  PanelList.clear();
  MapList.clear();
}

void TSectionList::Clear() {
  if (Timer) Timer->SetEnabled(false);
  ++Generation;
  ForgetRunsAndPictures();
  FItems.clear();
  FormControlList.clear(); // nothing may reach the controls while they are freed
  HtmlFormList.clear();
  ClearLists();
  Build = TBuildState();
  ReleaseBackground();
  BackgroundBitmapName.clear();
  IMgr.Clear();
  SelB = 0;
  SelE = -1;
  YOff = 0;
  DocHeight = 0;
  Len = 0;
}

void TSectionList::SetFonts(const std::string &Name, const std::string &PreName, int Size,
                            TColor Color, TColor HotSpot, TColor Visited, TColor ActiveColor,
                            TColor ABackground, bool HoverEnabled) {
  FontName = Name.substr(0, MaxFontName);
  PreFontName = PreName.substr(0, MaxFontName);
  FontSize = Size;
  FontColor = Color;
  HotSpotColor = HotSpot;
  LinkVisitedColor = Visited;
  LinkActiveColor = ActiveColor;
  LinksActive = HoverEnabled;
  SetBackground(ABackground);
  UpdateFonts();
}

void TSectionList::SetBackground(TColor ABackground) {
  Background = ABackground;
  if (OnBackgroundChange) OnBackgroundChange();
}

void TSectionList::SetBackgroundBitmap(const std::string &Name) {
  ReleaseBackground();
  BackgroundBitmapName = Name;
}

int TSectionList::GetSectionTop(int Index) const {
  int Y = 0;
  for (int I = 0; I < Index && I < Count(); ++I) Y += Items(I)->SectionHeight;
  return Y;
}

int TSectionList::DoLogic(TCanvas &Canvas, int Y, int Width, int &ScrollWidth, int &Curs) {
  Width = std::max(1, Width);
  IMgr.Clear();
  IMgr.Reset(0, Width);
  IMgr.Width = Width;
  return DrawLogic(Canvas, Y, IMgr, ScrollWidth, Curs);
}

int TSectionList::DrawLogic(TCanvas &Canvas, int Y, IndentManager &AIMgr, int &MaxWidth, int &Curs) {
  if (Timer) Timer->SetEnabled(false);
  for (auto &F : HtmlFormList) F->SetSizes(Canvas);
  // A new pass: widths and heights found by earlier layouts are not trusted.
  if (++LayoutPass == 0) LayoutPass = 1;
  struct TInLayout {
    TSectionList &L;
    bool Was;
    explicit TInLayout(TSectionList &A) : L(A), Was(A.InLayout) { L.InLayout = true; }
    ~TInLayout() { L.InLayout = Was; }
  } InLayoutGuard(*this);
  int H = TCell::DrawLogic(Canvas, Y, AIMgr, MaxWidth, Curs);
  DocHeight = H;
  for (TImageObj *I : AnimList)
    if (I->Gif) {
      I->Gif->SetCurrentFrame(1);
      if (!Printing) I->Gif->SetAnimate(true);
    }
  if (!Printing && !AnimList.empty()) {
    if (!Timer) {
      Timer = std::make_unique<TTimer>();
      Timer->SetInterval(50);
      Timer->OnTimer = [this] { AnimationTick(); };
    }
    Timer->SetEnabled(true);
  } else if (Timer) {
    Timer->SetEnabled(false);
  }
  return H;
}

void TSectionList::AnimationTick() {
  if (Printing) return;
  // A new frame repaints the picture's own rectangle where it now stands on the screen,
  // and nothing when it lies outside the pane.
  const int ClientH = Host ? Host->ClientHeight() : 0;
  for (TImageObj *I : AnimList)
    if (I->Gif && I->Drawn && I->Gif->CheckTime() && Host) {
      TRect R = I->Gif->LastDrawnRect();
      OffsetRect(R, 0, I->GifDrawnYOff - YOff);
      if (R.Bottom > 0 && R.Top < ClientH && R.Right > R.Left && R.Bottom > R.Top)
        Host->InvalidateDocumentRect(R);
    }
  if (Timer) Timer->SetInterval(50);
}

int TSectionList::Draw(TCanvas &Canvas, const TRect &ARect, int ClipWidth, int X, int Y) {
  if (!PartialDraw) {
    for (TFormControlObj *C : FormControlList) C->ShowIt = false;
    for (TPanelObj *P : PanelList) P->ShowIt = false;
  }
  int R = TCell::Draw(Canvas, ARect, ClipWidth, X, Y);
  if (!PartialDraw && !Printing) PlaceFormControls();
  if (Timer && !AnimList.empty() && !Printing) Timer->SetEnabled(true);
  return R;
}

bool TSectionList::GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
                          TFormControlObj *&FormControl) {
  TFontObj *OldLink = ActiveLink;
  TImageObj *OldImage = ActiveImage;
  ActiveLink = nullptr;
  ActiveImage = nullptr;
  bool R = TCell::GetURL(Canvas, X, Y, UrlTarget, FormControl);
  if (LinksActive && ActiveLink != OldLink) {
    if (OldLink) OldLink->SetHover(false);
    if (ActiveLink) ActiveLink->SetHover(true);
    if (Host) Host->InvalidateDocument();
  }
  if (ActiveImage != OldImage) {
    if (OldImage) OldImage->SetHover(false);
    if (ActiveImage) ActiveImage->SetHover(true);
  }
  return R;
}

void TSectionList::CancelActives() {
  if (ActiveLink || ActiveImage) {
    if (Host) Host->InvalidateDocument();
    if (ActiveLink) ActiveLink->SetHover(false);
    if (ActiveImage) ActiveImage->SetHover(false);
  }
  ActiveLink = nullptr;
  ActiveImage = nullptr;
}

bool TSectionList::ActiveControlIsMine() const {
  for (const TFormControlObj *C : FormControlList)
    if (C->TheControl && C->TheControl->HasInput()) return true;
  return false;
}

void TSectionList::SetYOffset(int Y) {
  YOff = Y;
  for (TFormControlObj *C : FormControlList) C->ShowIt = false;
  for (TPanelObj *P : PanelList) P->ShowIt = false;
}

void TSectionList::PlaceFormControls() {
  for (TFormControlObj *C : FormControlList) {
    if (!C->TheControl) continue;
    if (C->ShowIt) C->TheControl->Place(C->DrawX, C->DrawY);
    else C->TheControl->Hide();
  }
  for (TPanelObj *P : PanelList) {
    if (!P->Panel) continue;
    if (P->ShowIt) P->Panel->SetBounds(P->PanelX, P->PanelY, P->Panel->Width(), P->Panel->Height());
    P->Panel->SetVisible(P->ShowIt);
  }
}

bool TSectionList::IsInSelection(int Pos, int &Count) const {
  if (Printing || SelE < SelB) {
    Count = 32000;
    return false;
  }
  if (Pos >= SelB && Pos < SelE) {
    Count = std::min(32000, SelE - Pos);
    return true;
  }
  if (Pos < SelB) {
    Count = std::min(32000, SelB - Pos);
    return false;
  }
  Count = (Pos == SelB && ShowDummyCaret) ? 1 : 32000;
  return false;
}

std::string TSectionList::SelectedText() {
  if (SelE <= SelB) return "";
  SelTextCount Counter;
  TCell::CopyToClipboard(Counter);
  int N = Counter.Finish();
  std::vector<char> Buf(size_t(N) + 1);
  SelTextBuf Writer(Buf.data(), N + 1);
  TCell::CopyToClipboard(Writer);
  int Stored = Writer.Finish();
  return std::string(Buf.data(), size_t(std::max(0, Stored - 1)));
}

void TSectionList::CopyToClipboardA() {
  if (SelE <= SelB) return;
  SelTextCount Counter;
  TCell::CopyToClipboard(Counter);
  ClipBuffer Buf(Counter.Finish(), CodePage);
  TCell::CopyToClipboard(Buf);
  Buf.Finish();
}

int TSectionList::AnchorY(const std::string &Name) const {
  if (!NameList) return -1;
  TSectionBase *S = NameList->Find(Name);
  return S ? S->YValue : -1;
}

// ---------------------------------------------------------------- pictures

std::unique_ptr<ThvPanel> TDocumentHost::CreatePanel() { return nullptr; }

namespace {

// What a loader produced before it goes into the image cache.
struct TLoadedPicture {
  std::unique_ptr<TBitmap> Bitmap, Mask;
  std::unique_ptr<TGIFImage> Gif;
};

// A picture the host hands over as a stream: a GIF is read as the viewer's own GIF
// image, anything else (or a GIF that fails) by the stream loader with its mask.
TLoadedPicture LoadHostStream(const TMemoryStream &Stream, TTransparency &Tr) {
  TLoadedPicture P;
  if (Stream.Size() <= 0) return P;
  TPictureDecodeScope Budget;
  const int Type = DetectImageType(
      std::span<const uint8_t>(Stream.Bytes.data(), std::min<size_t>(Stream.Size(), 16)));
  if (Type == itGIF87 || Type == itGIF89) {
    P.Gif = std::make_unique<TGIFImage>();
    if (!P.Gif->LoadFromStream(Stream.Bytes)) P.Gif.reset();
  }
  if (!P.Gif) P.Bitmap = LoadImageWithMaskFromStream(&Stream, Tr, P.Mask);
  return P;
}

// Puts what was loaded into the cache under Key (one use counted for the caller): a still
// GIF as a plain bitmap with its mask, an animated one as it is. nullptr when nothing was.
TBitmapItem *CacheLoaded(const std::string &Key, TLoadedPicture P, TTransparency &Tr) {
  if (P.Gif && P.Gif->FrameCount <= 1) {
    if (const TBitmap *B = P.Gif->GetBitmap()) P.Bitmap = std::make_unique<TBitmap>(*B);
    if (P.Gif->IsTransparent) {
      if (const TBitmap *M = P.Gif->GetMask()) P.Mask = std::make_unique<TBitmap>(*M);
      Tr = TGif;
    } else if (Tr == LLCorner && P.Bitmap) {
      P.Mask = BuildTransparencyMask(*P.Bitmap, false, 0);
    }
    P.Gif.reset();
  }
  if (!P.Bitmap && !P.Gif) return nullptr;
  std::unique_ptr<TBitmapItem> Item =
      P.Gif ? std::make_unique<TBitmapItem>(std::move(P.Gif), std::move(P.Mask), Tr)
            : std::make_unique<TBitmapItem>(std::move(P.Bitmap), std::move(P.Mask), Tr);
  TBitmapItem *Result = Item.get();
  if (BitmapList().AddObject(Key, std::move(Item)) < 0) return nullptr; // past the budget
  return Result;
}

} // namespace

std::string TSectionList::ImageRequestName(const std::string &Src) const {
  if (!OnBitmapRequest && !OnImageRequest && OnExpandName) return OnExpandName(Src);
  return Src;
}

TBitmap *TSectionList::GetTheBitmap(const std::string &Name, int &Transparent, bool &Pending,
                                    bool &FromCache, TBitmap *&Mask, TGIFImage *&Gif) {
  Pending = false;
  FromCache = false;
  Mask = nullptr;
  Gif = nullptr;
  if (Trim(Name).empty()) return nullptr;
  std::string Key = TStringBitmapList::Key(Name);
  TStringBitmapList &Cache = BitmapList();
  int Index;
  if (Cache.Find(Key, Index)) {
    TBitmapItem *Item = Cache.Objects(Index);
    TCachedImage Img = Cache.TakeImage(Index);
    FromCache = true;
    if (Item->Transp == TGif || Item->Transp == TPng) Transparent = Item->Transp;
    else if (Transparent == LLCorner && !Item->Mask && Item->MImage) {
      Item->Mask = BuildTransparencyMask(*Item->MImage, false, 0);
      Item->Transp = LLCorner;
      Item->Recount();
    }
    Mask = Item->Mask.get();
    Gif = Img.Gif;
    return Img.Bitmap;
  }
  TLoadedPicture P;
  TPictureDecodeScope Budget;
  TTransparency Tr = TTransparency(Transparent);
  if (OnBitmapRequest) {
    TBitmap *Got = nullptr;
    TColor Color = TColor(-1);
    OnBitmapRequest(Name, Got, Color);
    if (Got) {
      P.Bitmap = std::make_unique<TBitmap>(*Got);
      if (Color != TColor(-1)) {
        P.Mask = BuildTransparencyMask(*P.Bitmap, true, Color);
        Tr = TGif;
      } else if (Tr == LLCorner) {
        P.Mask = BuildTransparencyMask(*P.Bitmap, false, 0);
      }
    }
  } else if (OnImageRequest) {
    TMemoryStream *Stream = nullptr;
    OnImageRequest(Name, Stream);
    if (Stream == WaitStream()) {
      Pending = true;
      return nullptr;
    }
    if (Stream) P = LoadHostStream(*Stream, Tr);
  } else {
    std::string Lower = LowerCase(Name);
    if (Lower.size() >= 4 && Lower.substr(Lower.size() - 4) == ".gif") {
      P.Gif = std::make_unique<TGIFImage>();
      if (!P.Gif->LoadFromFile(Name)) P.Gif.reset();
    }
    if (!P.Gif) P.Bitmap = LoadImageWithMask(Name, Tr, P.Mask);
  }
  TBitmapItem *Item = CacheLoaded(Key, std::move(P), Tr);
  if (!Item) return nullptr;
  Transparent = Tr;
  Mask = Item->Mask.get();
  Gif = Item->MGif.get();
  return Item->MImage.get();
}

TBitmap *TSectionList::GetBackgroundBitmap() {
  if (!ShowImages || BitmapLoaded) return BackgroundBitmap;
  BitmapLoaded = true;
  if (BackgroundBitmapName.empty()) return nullptr;
  const std::string Name = ImageRequestName(BackgroundBitmapName);
  const std::string Key = TStringBitmapList::Key(Name);
  int Tr = NotTransp;
  bool Pending, FromCache;
  TBitmap *Mask;
  TGIFImage *Gif;
  TBitmap *B = GetTheBitmap(Name, Tr, Pending, FromCache, Mask, Gif);
  if (B && !Gif) {
    BackgroundBitmap = B;
    BackgroundMask = Mask;
    BackgroundKey = Key;
  } else if (B || Gif) {
    BitmapList().ReleaseUse(Key); // an animated picture is no background
  } else if (Pending) {
    // The document itself waits for the picture, under its name.
    PendingList[Key];
    BackgroundPending = true;
  }
  return BackgroundBitmap;
}

void TSectionList::ReleaseBackground() {
  if (!BackgroundKey.empty()) BitmapList().ReleaseUse(BackgroundKey);
  BackgroundKey.clear();
  BackgroundBitmap = BackgroundMask = nullptr;
  BackgroundPending = false;
  BitmapLoaded = false;
}

bool TSectionList::InsertImage(const std::string &Name, const TMemoryStream &Stream) {
  const std::string Key = TStringBitmapList::Key(Name);
  auto It = PendingList.find(Key);
  if (Key.empty() || It == PendingList.end()) return false;
  const std::vector<TImageObj *> Waiting = std::move(It->second);
  PendingList.erase(It);
  // Another page may have loaded the picture meanwhile: that copy serves.
  int Index;
  const bool Cached = BitmapList().Find(Key, Index);
  TTransparency Tr = NotTransp;
  const bool Loaded = Cached || CacheLoaded(Key, LoadHostStream(Stream, Tr), Tr) != nullptr;
  for (TImageObj *I : Waiting) I->PictureArrived(Loaded);
  if (BackgroundPending && TStringBitmapList::Key(ImageRequestName(BackgroundBitmapName)) == Key) {
    BackgroundPending = false;
    BitmapLoaded = false;
    if (Loaded) GetBackgroundBitmap();
  }
  // The waiting pictures took their own uses; the one counted when it was cached goes.
  if (Loaded && !Cached) BitmapList().ReleaseUse(Key);
  return true;
}

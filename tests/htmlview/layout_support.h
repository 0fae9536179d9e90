#pragma once
// A document parsed from page text and laid out on a bitmap, for layout, table and
// drawing tests.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/document.h"
#include "htmlview/image_cache.h"
#include "htmlview/parser.h"
#include "platform/bitmap.h"

class TTestHost : public TDocumentHost {
public:
  std::vector<std::string> Errors;
  int Invalidations = 0;
  int Height = 400;
  std::vector<TRect> Repainted; // rectangles asked for by themselves
  void InvalidateDocument() override { ++Invalidations; }
  void InvalidateDocumentRect(const TRect &R) override { Repainted.push_back(R); }
  int ClientHeight() const override { return Height; }
  void ShowLayoutError(const std::string &Message) override { Errors.push_back(Message); }
};

struct TLaidOutDoc {
  TTestHost Host;
  TSectionList List{&Host};
  TAnchorList Names;
  TBitmap Bitmap{700, 500};
  std::string Source;
  // Pictures served by name through the bitmap request (no files needed).
  std::map<std::string, std::unique_ptr<TBitmap>> Pictures;
  int Height = 0, MaxWidth = 0, Curs = 0;

  explicit TLaidOutDoc(int FontSize = 12) {
    // The picture cache is shared by every document: names of one test must not meet
    // another test's pictures.
    BitmapList().Clear();
    List.NameList = &Names;
    List.SetFonts("Times New Roman", "Courier New", FontSize, clBlack, clBlue, clPurple, clBlue,
                  clWhite, false);
    List.OnBitmapRequest = [this](const std::string &Src, TBitmap *&B, TColor &) {
      auto It = Pictures.find(Src);
      B = It == Pictures.end() ? nullptr : It->second.get();
    };
  }
  // A picture of W x H pixels in one colour, served under Name.
  void AddPicture(const std::string &Name, int W, int H, TColor C = clRed) {
    auto B = std::make_unique<TBitmap>(W, H);
    B->Fill(C);
    Pictures[Name] = std::move(B);
  }
  void Parse(const std::string &Html) {
    Source = Html;
    TParseHandlers H;
    TParseResult R;
    ParseHtmlBuffer(List, &Names, Source.data(), Source.size(), H, R);
  }
  int Layout(int Width) {
    Curs = 0;
    Height = List.DoLogic(Bitmap.Canvas(), 0, Width, MaxWidth, Curs);
    return Height;
  }
  void Draw(int YOff = 0) {
    Bitmap.Fill(clWhite);
    List.SetYOffset(YOff);
    TRect R(0, 0, Bitmap.Width(), Bitmap.Height());
    List.Draw(Bitmap.Canvas(), R, R.Width(), 0, 0);
  }
  template <class T> std::vector<T *> All() const {
    std::vector<T *> V;
    for (const auto &S : List)
      if (auto *P = dynamic_cast<T *>(S.get())) V.push_back(P);
    return V;
  }
  // The first paragraph holding Text.
  TSection *Para(const std::string &Text) const {
    for (const auto &S : List)
      if (auto *P = dynamic_cast<TSection *>(S.get()))
        if (P->Buff.find(Text) != std::string::npos) return P;
    return nullptr;
  }
  // Width of Text in a font of the document's default face at Points, as layout measures.
  int TextWidth(const std::string &Text, int Points = 12, unsigned Style = 0) {
    TCanvas &C = Bitmap.Canvas();
    C.Font() = TFont();
    C.Font().Name = "Times New Roman";
    C.Font().SetSize(Points);
    C.Font().Style = Style;
    return C.TextWidth(DecodeText(Text));
  }
};

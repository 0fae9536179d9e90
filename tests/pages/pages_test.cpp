// The text and help pages that ship with the program: every page is read by the real
// scanner and parser, every link and picture is followed, every picture is decoded by the
// viewer's own loaders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "htmlview/bmp_reader.h"
#include "platform/gif_decoder.h"
#include "htmlview/gif_image.h"
#include "htmlview/image_cache.h"
#include "htmlview/jpeg_reader.h"
#include "htmlview/parser.h"
#include "htmlview/section_list.h"
#include "htmlview/tokenizer.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

const std::string HtmlDir = std::string(VORNELLE_SOURCE_DIR) + "/HTML/";
const std::string HelpDir = std::string(VORNELLE_SOURCE_DIR) + "/Help/";
const std::string ImageDir = HtmlDir + "images/";

// The text page of every topic, as the program's topic table names them, and the index.
const std::vector<std::string> TopicPages = {
    "ALPHA.HTM",      "EFIELD.HTM",  "MFIELD.HTM",   "EDEFLECT.HTM", "BDEFLECT.HTM",
    "HELIX.HTM",      "MILLIKAN.HTM", "ORBIT.HTM",   "PROJECTILE.HTM", "ORBIT2.HTM",
    "ALPHA2.HTM",     "THOMPSON.HTM", "MOTOR1.HTM",  "DC_MOTOR.HTM", "DYNAMO.HTM",
    "LENZ.HTM",       "MASS_SPECT.HTM"};
// Help contexts of the topic table (the 3-D view shares 1900) and of the start-up page.
const std::vector<int> HelpContexts = {1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900,
                                       2000, 2100, 2200, 2300, 2400, 2500, 3000, 3100, 3200};
const std::set<std::string> Presets = {"DIPOLE", "NP1", "NP2", "PPLATE"};
const char Pound = '\xA3';

// Pictures that another part of the program loads by name (the start-up collage).
const std::set<std::string> LoadedByProgram = {"FSPLASH800.JPG", "FSPLASH640.JPG"};

std::vector<std::string> FilesIn(const std::string &Dir, const std::vector<std::string> &Exts) {
  std::vector<std::string> Out;
  if (!fs::is_directory(Dir)) return Out;
  for (const auto &E : fs::directory_iterator(Dir)) {
    if (!E.is_regular_file()) continue;
    std::string Ext = UpperCase(E.path().extension().string());
    if (std::find(Exts.begin(), Exts.end(), Ext) != Exts.end())
      Out.push_back(E.path().filename().string());
  }
  std::sort(Out.begin(), Out.end());
  return Out;
}

std::vector<std::string> AllPages() {
  std::vector<std::string> Out;
  for (const auto &N : FilesIn(HtmlDir, {".HTM", ".HTML"})) Out.push_back(HtmlDir + N);
  for (const auto &N : FilesIn(HelpDir, {".HTM", ".HTML"})) Out.push_back(HelpDir + N);
  return Out;
}

// What the scanner reports of one page.
struct TPageScan {
  std::string Bytes;
  std::vector<std::string> Hrefs, ImageSources;
  std::vector<std::string> Problems; // unknown tags, scanner errors
};

TPageScan ScanPage(const std::string &Path) {
  TPageScan Scan;
  Scan.Bytes = ReadFileString(Path);
  THtmlTokenizer T;
  T.Start(Scan.Bytes.data(), Scan.Bytes.size(), TLoadStyle::Buffer);
  try {
    for (T.NextSymbol(); T.Sy != EofSy; T.NextSymbol()) {
      if (T.Sy == UnknownSy)
        Scan.Problems.push_back("unknown tag at byte " + std::to_string(T.TagStartPos) + ": " +
                                Scan.Bytes.substr(size_t(T.TagStartPos), 20));
      if (T.Sy == AnchorSy)
        if (TAttribute *A = T.Attributes.Find(HrefSy)) Scan.Hrefs.push_back(A->Name);
      if (T.Sy == ImageSy)
        if (TAttribute *A = T.Attributes.Find(SrcSy)) Scan.ImageSources.push_back(A->Name);
    }
  } catch (const EParseError &E) {
    Scan.Problems.push_back(std::string("scanner error: ") + E.what());
  }
  return Scan;
}

std::string Where(const std::string &Path) { return fs::path(Path).filename().string(); }

bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
bool IsAlnum(char C) { return IsLetter(C) || (C >= '0' && C <= '9'); }
bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

// The attribute names of every tag, read from the raw text (the scanner drops the
// attributes of tags that do not keep them, so it cannot be asked for those).
std::vector<std::string> UnknownAttributeNames(const std::string &Bytes) {
  std::vector<std::string> Out;
  const size_t N = Bytes.size();
  for (size_t P = 0; P < N; ++P) {
    if (Bytes[P] != '<') continue;
    size_t Q = P + 1;
    if (Q < N && Bytes[Q] == '/') ++Q;
    if (Q >= N || !IsLetter(Bytes[Q])) continue; // not a tag (comments hold none here)
    size_t NameStart = Q;
    while (Q < N && IsLetter(Bytes[Q])) ++Q;
    // A heading's level digit follows its name directly.
    if (UpperCase(Bytes.substr(NameStart, Q - NameStart)) == "H" && Q < N && Bytes[Q] >= '1' &&
        Bytes[Q] <= '6')
      ++Q;
    while (Q < N && Bytes[Q] != '>') {
      if (!IsLetter(Bytes[Q])) { ++Q; continue; }
      size_t A = Q;
      while (Q < N && (IsLetter(Bytes[Q]) || Bytes[Q] == '-')) ++Q;
      std::string Name = Bytes.substr(A, Q - A);
      if (LookupAttribute(UpperCase(Name)) == UnknownAttrSy) Out.push_back(Name);
      while (Q < N && IsBlank(Bytes[Q])) ++Q;
      if (Q < N && Bytes[Q] == '=') {
        ++Q;
        while (Q < N && IsBlank(Bytes[Q])) ++Q;
        if (Q < N && (Bytes[Q] == '"' || Bytes[Q] == '\'')) {
          char Quote = Bytes[Q++];
          while (Q < N && Bytes[Q] != Quote) ++Q;
          if (Q < N) ++Q;
        } else {
          while (Q < N && !IsBlank(Bytes[Q]) && Bytes[Q] != '>') ++Q;
        }
      }
    }
    P = Q;
  }
  return Out;
}

// Every entity reference of the page, as written ("&deg;", "&amp", "&#65;").
std::vector<std::string> EntityReferences(const std::string &Bytes) {
  std::vector<std::string> Out;
  const size_t N = Bytes.size();
  for (size_t P = 0; P < N; ++P) {
    if (Bytes[P] != '&') continue;
    size_t Q = P + 1;
    if (Q < N && Bytes[Q] == '#') ++Q;
    size_t Start = Q;
    while (Q < N && IsAlnum(Bytes[Q])) ++Q;
    if (Q == Start) continue;
    if (Q < N && Bytes[Q] == ';') ++Q;
    Out.push_back(Bytes.substr(P, Q - P));
    P = Q - 1;
  }
  return Out;
}

// The scanner's reading of a lone entity reference: its decoded text.
std::string DecodeEntity(const std::string &Ref) {
  THtmlTokenizer T;
  T.Start(Ref.data(), Ref.size(), TLoadStyle::Buffer);
  T.NextSymbol();
  return T.Sy == TextSy ? T.Token.S : std::string();
}

struct TParsedPage {
  TSectionList List;
  TAnchorList Names;
  TParseResult Result;
};

std::unique_ptr<TParsedPage> ParsePage(const std::string &Path) {
  auto P = std::make_unique<TParsedPage>();
  TParseHandlers Handlers;
  ParseHtmlFile(P->List, &P->Names, Path, Handlers, P->Result);
  return P;
}

bool IsGreekPage(const std::string &Bytes) {
  return UpperCase(Bytes).find("CHARSET=WINDOWS-1253") != std::string::npos;
}

} // namespace

TEST(Pages, TheTopicTablesPagesExistWithTheirExactNames) {
  std::vector<std::string> OnDisk = FilesIn(HtmlDir, {".HTM", ".HTML"});
  for (const auto &Name : TopicPages)
    EXPECT_NE(std::find(OnDisk.begin(), OnDisk.end(), Name), OnDisk.end()) << Name;
  EXPECT_NE(std::find(OnDisk.begin(), OnDisk.end(), "Index.htm"), OnDisk.end());
  // The start-up code asks for "Index.htm", the history's home for "INDEX.HTM": both
  // must find the same file through the case-insensitive lookup.
  EXPECT_EQ(ResolvePath(HtmlDir, "INDEX.HTM"), ResolvePath(HtmlDir, "index.htm"));
  EXPECT_TRUE(FileExists(ResolvePath(HtmlDir, "INDEX.HTM")));
}

TEST(Pages, EveryPageUsesOnlyKnownTagsAttributesAndEntities) {
  std::vector<std::string> Pages = AllPages();
  ASSERT_GE(Pages.size(), TopicPages.size() + 1 + HelpContexts.size() + 1);
  for (const auto &Path : Pages) {
    TPageScan Scan = ScanPage(Path);
    for (const auto &P : Scan.Problems) ADD_FAILURE() << Where(Path) << ": " << P;
    for (const auto &A : UnknownAttributeNames(Scan.Bytes))
      ADD_FAILURE() << Where(Path) << ": attribute " << A << " is not in the scanner's table";
    for (const auto &Ref : EntityReferences(Scan.Bytes)) {
      // Numeric references above 255 depend on the system's code page.
      EXPECT_NE(Ref.substr(0, 2), "&#") << Where(Path) << ": " << Ref;
      std::string Text = DecodeEntity(Ref);
      EXPECT_FALSE(Text.empty() || Text == Ref) << Where(Path) << ": unknown entity " << Ref;
    }
  }
}

TEST(Pages, EveryPageParsesWithATitle) {
  for (const auto &Path : AllPages()) {
    std::unique_ptr<TParsedPage> P;
    EXPECT_NO_THROW(P = ParsePage(Path)) << Where(Path);
    if (!P) continue;
    EXPECT_FALSE(P->Result.Title.empty()) << Where(Path);
    // A page in the Greek code page must reach the document as such, or its Greek
    // letters would be drawn as accented Latin ones.
    std::string Bytes = ReadFileString(Path);
    if (IsGreekPage(Bytes)) {
      EXPECT_EQ(P->List.Charset, GREEK_CHARSET) << Where(Path);
    } else {
      EXPECT_NE(P->List.Charset, GREEK_CHARSET) << Where(Path);
    }
  }
}

TEST(Pages, GreekLettersAreWrittenOnlyInPagesThatSayTheirCodePage) {
  // These pages hold no accented Latin letters: a letter entity from the upper half of
  // the code page is a Greek letter and needs the Greek page's META line. The
  // multiplication and division signs have no place in such a page (they would be
  // drawn as chi).
  int GreekPages = 0;
  for (const auto &Path : AllPages()) {
    std::string Bytes = ReadFileString(Path);
    bool Greek = IsGreekPage(Bytes);
    GreekPages += Greek;
    for (const auto &Ref : EntityReferences(Bytes)) {
      if (Ref.size() < 3 || Ref[1] == '#' || Ref.back() != ';') continue;
      std::string Text = DecodeEntity(Ref);
      if (Text.size() != 1) continue;
      unsigned char C = static_cast<unsigned char>(Text[0]);
      if (C == 0xD7 || C == 0xF7) {
        EXPECT_FALSE(Greek) << Where(Path) << ": " << Ref;
      } else if (C >= 0xC0) {
        EXPECT_TRUE(Greek) << Where(Path) << ": " << Ref << " in a page without the Greek code page";
      }
    }
  }
  EXPECT_GT(GreekPages, 10); // the formulas need theta, pi, epsilon, mu ...
}

TEST(Pages, EveryLinkAndPictureResolves) {
  std::map<std::string, std::unique_ptr<TParsedPage>> Parsed; // by resolved path
  auto Anchors = [&](const std::string &Path) -> const TAnchorList & {
    auto &Slot = Parsed[Path];
    if (!Slot) Slot = ParsePage(Path);
    return Slot->Names;
  };
  std::set<std::string> UsedPictures;
  int PictureLinks = 0, PresetLinks = 0;
  for (const auto &Path : AllPages()) {
    const bool IsHelp = Path.rfind(HelpDir, 0) == 0;
    const std::string Dir = IsHelp ? HelpDir : HtmlDir;
    TPageScan Scan = ScanPage(Path);
    for (const auto &Href : Scan.Hrefs) {
      ASSERT_FALSE(Href.empty()) << Where(Path);
      if (Href[0] == '$') {
        EXPECT_FALSE(IsHelp) << Where(Path) << ": picture links open from the text pane only";
        std::string File = ResolvePath(ImageDir, Href.substr(1));
        EXPECT_TRUE(FileExists(File)) << Where(Path) << ": " << Href;
        UsedPictures.insert(UpperCase(fs::path(File).filename().string()));
        ++PictureLinks;
      } else if (Href[0] == Pound) {
        EXPECT_EQ(Presets.count(Href.substr(1)), 1u) << Where(Path) << ": preset " << Href.substr(1);
        ++PresetLinks;
      } else {
        size_t Hash = Href.find('#');
        std::string File = Href.substr(0, Hash);
        std::string Target = File.empty() ? Path : ResolvePath(Dir, File);
        EXPECT_TRUE(FileExists(Target)) << Where(Path) << ": " << Href;
        // Help pages link among themselves; text pages among themselves.
        EXPECT_EQ(ExtractFilePath(Target), Dir) << Where(Path) << ": " << Href;
        if (Hash != std::string::npos && FileExists(Target)) {
          std::string Name = UpperCase(Href.substr(Hash + 1));
          EXPECT_NE(Anchors(Target).Find(Name), nullptr) << Where(Path) << ": no anchor " << Href;
        }
      }
    }
    for (const auto &Src : Scan.ImageSources) {
      std::string File = ResolvePath(Dir, Src);
      EXPECT_TRUE(FileExists(File)) << Where(Path) << ": " << Src;
      UsedPictures.insert(UpperCase(fs::path(File).filename().string()));
    }
  }
  EXPECT_GE(PictureLinks, 4);
  EXPECT_GE(PresetLinks, 4);
  // No picture is shipped that nothing shows.
  for (const auto &Name : FilesIn(ImageDir, {".GIF", ".BMP", ".JPG", ".JPEG"})) {
    std::string Upper = UpperCase(Name);
    EXPECT_TRUE(UsedPictures.count(Upper) || LoadedByProgram.count(Upper)) << Name << " is not used";
  }
}

TEST(Pages, TheFieldPageOffersAllFourPresetsWithThePoundByte) {
  TPageScan Scan = ScanPage(HtmlDir + "EFIELD.HTM");
  std::set<std::string> Seen;
  for (const auto &Href : Scan.Hrefs)
    if (!Href.empty() && Href[0] == Pound) Seen.insert(Href.substr(1));
  EXPECT_EQ(Seen, Presets);
  // The byte itself, not an entity: the link is matched on 0xA3.
  for (const auto &Name : Presets)
    EXPECT_NE(Scan.Bytes.find(std::string("HREF=\"") + Pound + Name + "\""), std::string::npos) << Name;
}

TEST(Pages, TheIndexLinksEveryTopicPage) {
  TPageScan Scan = ScanPage(HtmlDir + "Index.htm");
  std::set<std::string> Linked;
  for (const auto &Href : Scan.Hrefs) Linked.insert(UpperCase(Href.substr(0, Href.find('#'))));
  for (const auto &Name : TopicPages) EXPECT_EQ(Linked.count(Name), 1u) << Name;
}

TEST(Pages, EveryHelpContextHasItsPageAndTheContentsListsThemAll) {
  ASSERT_TRUE(FileExists(ResolvePath(HelpDir, "contents.htm")));
  TPageScan Contents = ScanPage(ResolvePath(HelpDir, "contents.htm"));
  std::set<std::string> Listed;
  for (const auto &Href : Contents.Hrefs) Listed.insert(UpperCase(Href));
  for (int Context : HelpContexts) {
    std::string Name = std::to_string(Context) + ".htm";
    std::string File = ResolvePath(HelpDir, Name);
    EXPECT_TRUE(FileExists(File)) << Name;
    EXPECT_EQ(Listed.count(UpperCase(Name)), 1u) << Name << " is not on the contents page";
    if (FileExists(File)) {
      auto P = ParsePage(File);
      EXPECT_FALSE(P->Result.Title.empty()) << Name; // the keyword search looks at titles
    }
  }
}

// ---------------------------------------------------------------- pictures

namespace {

struct TDecoded {
  int Width = 0, Height = 0, Frames = 0;
  std::set<uint32_t> Colours;
  std::string Error;
};

TDecoded DecodeWithOwnDecoder(const std::string &Path) {
  TDecoded D;
  std::vector<uint8_t> Data = ReadFileBytes(Path);
  std::string Ext = UpperCase(ExtractFileExt(Path));
  TRawImage Raw;
  if (Ext == ".BMP" || Ext == ".JPG" || Ext == ".JPEG") {
    bool Ok = Ext == ".BMP" ? DecodeBmp(Data, Raw, &D.Error) : DecodeJpeg(Data, Raw, {}, &D.Error);
    if (!Ok) return D;
    D.Width = Raw.Width;
    D.Height = Raw.Height;
    D.Frames = 1;
    for (uint32_t P : Raw.Pixels) D.Colours.insert(P & 0xFFFFFF);
  } else if (Ext == ".GIF") {
    TGifContainer Gif;
    if (!ParseGifContainer(Data, Gif)) { D.Error = "not a GIF"; return D; }
    if (!Gif.SawTrailer || Gif.Truncated || Gif.StoppedEarly) { D.Error = "incomplete GIF"; return D; }
    D.Width = Gif.ScreenWidth;
    D.Height = Gif.ScreenHeight;
    for (const auto &F : Gif.Frames) {
      std::vector<uint8_t> Indices;
      TGifRasterResult R = DecodeGifRaster(Data, F, Indices);
      if (R.Status != TGifStatus::Complete) { D.Error = "frame raster incomplete"; return D; }
      const TGifColorTable &Table = F.HasColorTable ? F.ColorTable : Gif.GlobalTable;
      for (uint8_t I : Indices)
        D.Colours.insert(uint32_t(Table[3 * I]) << 16 | uint32_t(Table[3 * I + 1]) << 8 | Table[3 * I + 2]);
      ++D.Frames;
    }
  }
  return D;
}

} // namespace

TEST(PagePictures, EveryPictureDecodesCompletelyWithTheViewersLoaders) {
  std::vector<std::string> Names = FilesIn(ImageDir, {".GIF", ".BMP", ".JPG", ".JPEG"});
  ASSERT_GE(Names.size(), 15u);
  int Gifs = 0, Bmps = 0, Jpegs = 0;
  for (const auto &Name : Names) {
    const std::string Path = ImageDir + Name;
    const std::string Ext = UpperCase(ExtractFileExt(Name));
    // The type is told by the first bytes; a JPEG must begin with its JFIF marker.
    int Type = DetectImageFileType(Path);
    if (Ext == ".GIF") { EXPECT_TRUE(Type == 2 || Type == 3) << Name; ++Gifs; }
    if (Ext == ".BMP") { EXPECT_EQ(Type, 1) << Name; ++Bmps; }
    if (Ext == ".JPG" || Ext == ".JPEG") { EXPECT_EQ(Type, 5) << Name; ++Jpegs; }

    TDecoded D = DecodeWithOwnDecoder(Path);
    EXPECT_TRUE(D.Error.empty()) << Name << ": " << D.Error;
    EXPECT_GT(D.Frames, 0) << Name;
    EXPECT_GE(D.Colours.size(), 2u) << Name << " is blank";
    // Pictures of the pages must fit the narrow pane; pop-ups may be larger.
    if (!LoadedByProgram.count(UpperCase(Name))) {
      EXPECT_LE(D.Width, 640) << Name;
      EXPECT_LE(D.Height, 480) << Name;
    }

    // The loader the document uses gives the same size.
    std::unique_ptr<TBitmap> B = LoadImageFromFile(Path, false);
    ASSERT_NE(B, nullptr) << Name;
    EXPECT_EQ(B->Width(), D.Width) << Name;
    EXPECT_EQ(B->Height(), D.Height) << Name;
  }
  EXPECT_GT(Gifs, 0);
  EXPECT_GT(Bmps, 0);
  EXPECT_GT(Jpegs, 0);
}

TEST(PagePictures, OneGifIsAnimatedAndOneIsTransparent) {
  int Animated = 0, Transparent = 0;
  for (const auto &Name : FilesIn(ImageDir, {".GIF"})) {
    const std::string Path = ImageDir + Name;
    bool NonAnimated = true;
    std::unique_ptr<TGIFImage> Gif = CreateAGif(Path, NonAnimated);
    ASSERT_NE(Gif, nullptr) << Name;
    if (!NonAnimated) {
      ++Animated;
      EXPECT_GT(Gif->FrameCount, 10) << Name;
      TDecoded D = DecodeWithOwnDecoder(Path);
      EXPECT_EQ(D.Frames, Gif->FrameCount) << Name;
    }
    TColor Colour = 0;
    if (FindGifTransparentColorInFile(Path, Colour)) {
      ++Transparent;
      EXPECT_EQ(Colour, TColor(0xFFFFFF)) << Name; // the background is white where it shows through
      TTransparency Kind = NotTransp;
      std::unique_ptr<TBitmap> Mask;
      std::unique_ptr<TBitmap> B = LoadImageWithMask(Path, Kind, Mask);
      ASSERT_NE(B, nullptr) << Name;
      EXPECT_EQ(Kind, TGif) << Name;
      ASSERT_NE(Mask, nullptr) << Name;
      EXPECT_EQ(Mask->Width(), B->Width());
    }
  }
  EXPECT_GE(Animated, 1);
  EXPECT_GE(Transparent, 1);
}

TEST(PagePictures, TheFolderStaysSmall) {
  uintmax_t Total = 0;
  for (const auto &E : fs::recursive_directory_iterator(ImageDir))
    if (E.is_regular_file()) Total += E.file_size();
  EXPECT_LT(Total, uintmax_t(1) << 20); // well under 2 MB
}

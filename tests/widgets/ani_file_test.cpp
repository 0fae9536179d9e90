// Icon lists and their stream, the icon clipboard format, and animated cursor files.
#include <gtest/gtest.h>

#include <functional>

#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/graphic.h"
#include "widgets/ani_file.h"
#include "widgets/clip_icon.h"
#include "widgets/ico_list.h"

namespace {

TIcon MakeIcon(uint32_t Color, int Bits = 4, bool Cursor = false) {
  TIcon I;
  I.SetImage(2, 2, Bits, {Color, 0xFF000000u, 0xFF000000u, Color}, {0, 0, 1, 0});
  if (Cursor) I.SetCursor(true, {1, 0});
  return I;
}

void Put32(std::vector<uint8_t> &O, uint32_t V) {
  for (int K = 0; K < 4; ++K) O.push_back(uint8_t(V >> (8 * K)));
}

void Chunk(std::vector<uint8_t> &O, const char *Id, const std::vector<uint8_t> &Body) {
  O.insert(O.end(), Id, Id + 4);
  Put32(O, uint32_t(Body.size()));
  O.insert(O.end(), Body.begin(), Body.end());
  if (Body.size() & 1) O.push_back(0); // pad byte
}

std::vector<uint8_t> IconBytes(const TIcon &I) {
  TMemoryStream S;
  const_cast<TIcon &>(I).SaveToStream(S);
  return S.Bytes;
}

// One icon resource holding the images of A and then B.
std::vector<uint8_t> TwoImages(const TIcon &A, const TIcon &B) {
  const std::vector<uint8_t> X = IconBytes(A), Y = IconBytes(B);
  std::vector<uint8_t> O{0, 0, 1, 0, 2, 0};
  O.insert(O.end(), X.begin() + 6, X.begin() + 18); // each entry but its offset
  Put32(O, 38);
  O.insert(O.end(), Y.begin() + 6, Y.begin() + 18);
  Put32(O, uint32_t(38 + X.size() - 22));
  O.insert(O.end(), X.begin() + 22, X.end());
  O.insert(O.end(), Y.begin() + 22, Y.end());
  return O;
}

// An animated cursor: header values, optional rate and seq arrays, the icons, a title.
std::vector<uint8_t> Ani(uint32_t Frames, uint32_t Steps, uint32_t Jif,
                         const std::vector<TIcon> &Icons, const std::vector<uint32_t> &Rate = {},
                         const std::vector<uint32_t> &Seq = {}, const std::string &Title = "",
                         const std::vector<std::vector<uint8_t>> &Resources = {}) {
  std::vector<uint8_t> Body{'A', 'C', 'O', 'N'};
  std::vector<uint8_t> H;
  for (uint32_t V : {36u, Frames, Steps, 0u, 0u, 0u, 0u, Jif, 1u}) Put32(H, V);
  Chunk(Body, "anih", H);
  if (!Title.empty()) {
    std::vector<uint8_t> Info{'I', 'N', 'F', 'O'};
    Chunk(Info, "INAM", std::vector<uint8_t>(Title.begin(), Title.end()));
    Chunk(Info, "IART", {'m', 'e', 0});
    Chunk(Body, "LIST", Info);
  }
  auto Array = [&](const char *Id, const std::vector<uint32_t> &V) {
    if (V.empty()) return;
    std::vector<uint8_t> B;
    for (uint32_t X : V) Put32(B, X);
    Chunk(Body, Id, B);
  };
  Array("rate", Rate);
  Array("seq ", Seq);
  std::vector<uint8_t> Fram{'f', 'r', 'a', 'm'};
  for (const TIcon &I : Icons) Chunk(Fram, "icon", IconBytes(I));
  for (const std::vector<uint8_t> &R : Resources) Chunk(Fram, "icon", R);
  Chunk(Body, "LIST", Fram);
  std::vector<uint8_t> Out;
  Chunk(Out, "RIFF", Body);
  return Out;
}

void LoadAni(TAnimatedCursorImage &A, const std::vector<uint8_t> &B) {
  TMemoryStream S(B);
  A.LoadFromStream(S);
}

} // namespace

TEST(IconList, StreamRoundTripWithAnEmptyEntry) {
  TIconList L;
  int Changes = 0;
  L.OnChange = [&] { ++Changes; };
  TIcon A = MakeIcon(0xFFFF0000u), B = MakeIcon(0xFF00FF00u, 8);
  L.BeginUpdate();
  L.Add(&A);
  L.Add(nullptr);
  L.BeginUpdate();
  L.Add(&B);
  L.EndUpdate();
  EXPECT_EQ(Changes, 0); // only the outermost update fires
  L.EndUpdate();
  EXPECT_EQ(Changes, 1);
  EXPECT_NE(L.Get(0), &A); // a copy is stored
  TMemoryStream S;
  L.SaveToStream(S);
  EXPECT_EQ(S.Bytes[0], 3);
  EXPECT_EQ(S.Bytes[4 + 4 + IconBytes(A).size()], 0); // the nil entry: size 0
  S.SetPosition(0);
  TIconList R;
  R.LoadFromStream(S);
  ASSERT_EQ(R.GetCount(), 3);
  EXPECT_EQ(R.Get(1), nullptr);
  EXPECT_EQ(R.Get(2)->Bits(), 8);
  EXPECT_EQ(R.Get(0)->Pixel(0, 0), 0xFFFF0000u);
  R.Exchange(0, 2);
  EXPECT_EQ(R.Get(0)->Bits(), 8);
  R.Move(0, 2);
  EXPECT_EQ(R.Get(2)->Bits(), 8);
  EXPECT_EQ(R.IndexOf(R.Get(2)), 2);
  R.Delete(1);
  EXPECT_EQ(R.GetCount(), 2);
  TIconList C;
  C.Assign(R);
  EXPECT_EQ(C.GetCount(), 2);
  EXPECT_THROW(C.Get(5), Exception);
}

TEST(IconList, HostileCountsAndSizesAreRefused) {
  auto Refused = [](std::vector<uint8_t> B) {
    TMemoryStream S(std::move(B));
    TIconList L;
    EXPECT_THROW(L.LoadFromStream(S), EReadError);
  };
  Refused({0xFF, 0xFF, 0xFF, 0xFF});             // count -1
  Refused({0x00, 0x00, 0x00, 0x10});             // 268 million entries in 4 bytes
  Refused({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}); // size -1
  Refused({1, 0, 0, 0, 100, 0, 0, 0, 1, 2, 3});  // size beyond the bytes left
  Refused({1, 0});                               // short count
}

TEST(IconList, IconsFromTheProgramsResources) {
  TIconList L;
  int Changes = 0;
  L.OnChange = [&] { ++Changes; };
  EXPECT_EQ(L.AddResource("MAINICON"), 0);
  EXPECT_EQ(Changes, 1);
  ASSERT_EQ(L.GetCount(), 1);
  const TIcon *I = L.Get(0);
  ASSERT_NE(I, nullptr);
  // The program's icon: 32 x 32 in 16 colours, a red charge with a white plus on the
  // transparent ground, navy field lines leaving it.
  EXPECT_EQ(I->Width(), 32);
  EXPECT_EQ(I->Height(), 32);
  EXPECT_EQ(I->Bits(), 4);
  EXPECT_FALSE(I->IsCursor());
  EXPECT_TRUE(I->MaskBit(0, 0));
  EXPECT_EQ(I->Pixel(15, 15), 0xFFFFFFFFu); // the plus
  EXPECT_EQ(I->Pixel(20, 15), 0xFFFF0000u); // the charge
  EXPECT_EQ(I->Pixel(15, 2), 0xFF000080u);  // the upward line
  // The same picture as the file in res/.
  TIcon File;
  File.LoadFromFile(std::string(VORNELLE_SOURCE_DIR) + "/res/MAINICON.ico");
  for (int Y = 0; Y < 32; ++Y)
    for (int X = 0; X < 32; ++X) ASSERT_EQ(I->Pixel(X, Y), File.Pixel(X, Y)) << X << "," << Y;

  TIcon Small = MakeIcon(0xFF00FF00u);
  L.Add(&Small);
  L.InsertResource(1, "MAINICON");
  ASSERT_EQ(L.GetCount(), 3);
  EXPECT_EQ(L.Get(1)->Width(), 32);
  EXPECT_EQ(L.Get(2)->Width(), 2);
  EXPECT_EQ(Changes, 3);
  // The list streams the resource icons as any other.
  TMemoryStream S;
  L.SaveToStream(S);
  S.SetPosition(0);
  TIconList R;
  R.LoadFromStream(S);
  ASSERT_EQ(R.GetCount(), 3);
  EXPECT_EQ(R.Get(1)->Pixel(20, 15), 0xFFFF0000u);

  // A missing resource, one that is no icon, or a bad index: an error, the list unchanged.
  auto ErrorOf = [](const std::function<void()> &F) -> std::string {
    try {
      F();
    } catch (const std::exception &E) { return E.what(); }
    return "";
  };
  EXPECT_EQ(ErrorOf([&] { L.AddResource("NOSUCHICON"); }), "Resource NOSUCHICON not found");
  EXPECT_EQ(ErrorOf([&] { L.InsertResource(0, "NOSUCHICON"); }), "Resource NOSUCHICON not found");
  EXPECT_THROW(L.AddResource("widgets/KIT_HANDCUR.png"), EInvalidGraphic);
  EXPECT_THROW(L.InsertResource(4, "MAINICON"), Exception);
  EXPECT_THROW(L.InsertResource(-1, "MAINICON"), Exception);
  EXPECT_EQ(L.GetCount(), 3);
  EXPECT_EQ(Changes, 3);
}

TEST(ClipIcon, IconsTravelThroughTheClipboard) {
  unsigned F = RegisterClipIcon();
  EXPECT_EQ(RegisterClipIcon(), F);
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(F));
  TIcon I = MakeIcon(0xFF123456u, 8);
  unsigned Out = 0;
  I.SaveToClipboardFormat(Out);
  EXPECT_EQ(Out, F);
  TPicture P;
  P.LoadFromClipboardFormat(F);
  auto *Back = dynamic_cast<TIcon *>(P.Graphic());
  ASSERT_NE(Back, nullptr);
  EXPECT_EQ(Back->Pixel(0, 0), 0xFF123456u);
}

TEST(AniFile, FramesTimesTitleAndStrip) {
  std::vector<TIcon> Icons{MakeIcon(0xFFFF0000u), MakeIcon(0xFF0000FFu, 8, true)};
  TAnimatedCursorImage A;
  LoadAni(A, Ani(2, 2, 10, Icons, {5, 7}, {}, "Spin"));
  ASSERT_EQ(A.FrameCount(), 2);
  EXPECT_EQ(A.Frame(0).Jiffies, 5u);
  EXPECT_EQ(A.Frame(1).Jiffies, 7u);
  EXPECT_EQ(A.Title, "Spin");
  EXPECT_EQ(A.Creator, "me");
  EXPECT_EQ(A.ColorCount, 256); // the 8-bit icon
  EXPECT_TRUE(A.Frame(0).IsIcon);
  EXPECT_FALSE(A.Frame(1).IsIcon);
  EXPECT_EQ(A.Frame(1).HotSpot.X, 1);
  EXPECT_EQ(A.Icon(1).Pixel(0, 0), 0xFF0000FFu);
  TIconList L;
  A.AssignTo(L);
  EXPECT_EQ(L.GetCount(), 2);
  TBitmap Strip;
  A.AssignTo(Strip, 0x00FF00);
  ASSERT_EQ(Strip.Width(), 4);
  ASSERT_EQ(Strip.Height(), 2);
  EXPECT_EQ(Strip.ScanLine(0)[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Strip.ScanLine(0)[2] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(Strip.ScanLine(1)[0] & 0xFFFFFF, 0x00FF00u); // masked: the background
  TAnimatedCursorImage C;
  C.Assign(A);
  EXPECT_EQ(C.FrameCount(), 2);
  TIcon First;
  C.AssignTo(First);
  EXPECT_EQ(First.Pixel(0, 0), 0xFFFF0000u);
  // Writing is not built: the user is told and nothing is written or raised.
  std::string Shown;
  SetMessageDlgHook([&](const std::string &Text, TMsgDlgType, TMsgDlgButtons) {
    Shown = Text;
    return mrOk;
  });
  TMemoryStream Out;
  EXPECT_NO_THROW(A.SaveToStream(Out));
  SetMessageDlgHook(nullptr);
  EXPECT_EQ(Shown, "Function not yet implemented");
  EXPECT_EQ(Out.Size(), 0);
  // The colour count is the largest among all images of an icon, not just the first.
  TAnimatedCursorImage M;
  LoadAni(M, Ani(1, 1, 3, {}, {}, {}, "", {TwoImages(MakeIcon(0xFFFF0000u, 4), Icons[1])}));
  EXPECT_EQ(M.ColorCount, 256);
}

TEST(AniFile, SequenceLongerThanTheIconsPlaysEveryStep) {
  std::vector<TIcon> Icons{MakeIcon(0xFFFF0000u), MakeIcon(0xFF0000FFu)};
  TAnimatedCursorImage A;
  LoadAni(A, Ani(2, 5, 3, Icons, {}, {1, 0, 1, 1, 0}));
  ASSERT_EQ(A.FrameCount(), 5);
  const uint32_t Want[5] = {0xFF0000FFu, 0xFFFF0000u, 0xFF0000FFu, 0xFF0000FFu, 0xFFFF0000u};
  for (int I = 0; I < 5; ++I) EXPECT_EQ(A.Icon(I).Pixel(0, 0), Want[I]) << I;
  // Frames that show one icon own copies of it.
  EXPECT_NE(&A.Icon(0), &A.Icon(2));
  // Without a sequence, step k shows icon k.
  TAnimatedCursorImage B;
  LoadAni(B, Ani(2, 2, 3, Icons));
  EXPECT_EQ(B.Icon(1).Pixel(0, 0), 0xFF0000FFu);
}

TEST(AniFile, BadFilesRaiseStreamReadError) {
  std::vector<TIcon> Icons{MakeIcon(0xFFFF0000u)};
  std::vector<uint8_t> Good = Ani(1, 1, 3, Icons);
  auto Refused = [](std::vector<uint8_t> B) {
    TAnimatedCursorImage A;
    TMemoryStream S(std::move(B));
    try {
      A.LoadFromStream(S);
      ADD_FAILURE();
    } catch (const EReadError &E) { EXPECT_STREQ(E.what(), "Stream read error"); }
  };
  std::vector<uint8_t> B = Good;
  B[8] = 'X'; // not ACON
  Refused(B);
  B = Good;
  B[16] = 20; // anih of 20 bytes: too short for its 36
  Refused(B);
  B = Good;
  B[12 + 8 + 32] = 0; // flags without "icons"
  Refused(B);
  Refused(Ani(1, 0, 3, Icons)); // no steps
  Refused(Ani(1, 1, 3, {}));    // no icon: no frame left
  B = Good;
  B.resize(B.size() - 10); // the icon cut: its chunk is bounded by the file's end
  Refused(B);
  // Huge counts are capped by the bytes present, not allocated.
  TAnimatedCursorImage A;
  LoadAni(A, Ani(0xFFFFFFF, 0xFFFFFFF, 3, Icons));
  EXPECT_EQ(A.FrameCount(), 1);
}

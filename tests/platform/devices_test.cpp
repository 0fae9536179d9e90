// Metafiles, the printer, the clipboard, paint boxes, the application object, timers and
// files.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QMimeData>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "pixel_count.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/metafile.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "platform/qt_bridge.h"
#include "platform/timer.h"

namespace {

TMetafile Sample() {
  TMetafile M;
  M.SetSize(100, 50);
  TMetafileCanvas C(M);
  C.Brush().Color = clRed;
  C.Pen().Style = psClear;
  C.FillRect(Rect(0, 0, 50, 50));
  C.Pen().Style = psSolid;
  C.Pen().Color = clBlue;
  C.MoveTo(50, 25);
  C.LineTo(100, 25);
  C.Font().Height = -10;
  C.Brush().Style = bsClear;
  C.TextOut(60, 0, "Ab");
  return M;
}

TEST(Metafiles, RecordingReplaysScaledIntoAnyRectangle) {
  TMetafile M = Sample();
  EXPECT_EQ(M.Width(), 100);
  EXPECT_FALSE(M.Empty());
  TBitmap One(100, 50);
  M.Play(One.Canvas(), Rect(0, 0, 100, 50));
  EXPECT_EQ(CountColor(One, clRed), 2500);
  EXPECT_EQ(One.Canvas().Pixels(70, 25), clBlue);
  EXPECT_EQ(One.Canvas().Pixels(49, 25), clRed);

  TBitmap Two(220, 120);
  Two.Canvas().StretchDraw(Rect(10, 10, 210, 110), M); // twice the size
  EXPECT_EQ(CountColor(Two, clRed), 100 * 100);
  EXPECT_EQ(Two.Canvas().Pixels(10, 10), clRed);
  EXPECT_EQ(Two.Canvas().Pixels(9, 10), clWhite);
  // The pen scales: the 1-pixel line is two pixels wide now.
  int Blue = 0;
  for (int Y = 50; Y < 70; ++Y) Blue += Two.Canvas().Pixels(150, Y) == clBlue;
  EXPECT_EQ(Blue, 2);
  // Fonts scale: text ink is about four times the area.
  int SmallInk = 0, BigInk = 0;
  SmallInk = CountInk(One, clBlack, Rect(55, 0, 100, 20));
  BigInk = CountInk(Two, clBlack, Rect(110, 10, 210, 50));
  EXPECT_GT(SmallInk, 10);
  EXPECT_GT(BigInk, 2 * SmallInk);
  // The picture stays inside its frame.
  TMetafile Wide;
  Wide.SetSize(10, 10);
  {
    TMetafileCanvas C(Wide);
    C.MoveTo(-20, 5);
    C.LineTo(40, 5);
  }
  TBitmap Frame(30, 30);
  Wide.Play(Frame.Canvas(), Rect(10, 10, 20, 20));
  EXPECT_EQ(Frame.Canvas().Pixels(9, 15), clWhite);
  EXPECT_EQ(Frame.Canvas().Pixels(10, 15), clBlack);
  EXPECT_EQ(Frame.Canvas().Pixels(20, 15), clWhite);
}

TEST(Metafiles, RecordedTextKeepsItsAlignment) {
  // Right-aligned text recorded at x = 90 ends at 90 when replayed, as drawn directly.
  TMetafile M;
  M.SetSize(100, 30);
  {
    TMetafileCanvas C(M);
    C.Brush().Style = bsClear;
    C.Font().Height = -12;
    C.SetTextAlign(TA_RIGHT);
    C.TextOut(90, 5, "WW");
  }
  TBitmap Played(100, 30), Direct(100, 30);
  M.Play(Played.Canvas(), Rect(0, 0, 100, 30));
  Direct.Canvas().Brush().Style = bsClear;
  Direct.Canvas().Font().Height = -12;
  Direct.Canvas().SetTextAlign(TA_RIGHT);
  Direct.Canvas().TextOut(90, 5, "WW");
  int Diff = 0, Ink = 0;
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 100; ++X) {
      if (Direct.Canvas().Pixels(X, Y) != clWhite) ++Ink;
      if (Played.Canvas().Pixels(X, Y) != Direct.Canvas().Pixels(X, Y)) ++Diff;
    }
  EXPECT_GT(Ink, 10);
  EXPECT_EQ(Diff, 0);
}

TEST(Metafiles, PngAndSvgComeFromTheSameRecording) {
  TMetafile M = Sample();
  std::vector<uint8_t> Png = M.ToPng();
  QImage I;
  ASSERT_TRUE(I.loadFromData(Png.data(), int(Png.size()), "PNG"));
  EXPECT_EQ(I.size(), QSize(100, 50));
  EXPECT_EQ(I.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
  std::vector<uint8_t> Svg = M.ToSvg();
  std::string S(Svg.begin(), Svg.end());
  EXPECT_NE(S.find("<svg"), std::string::npos);
  EXPECT_NE(S.find("#ff0000"), std::string::npos);
  EXPECT_NE(S.find("#0000ff"), std::string::npos);
  // A metafile drawn into a metafile keeps its content.
  TMetafile Outer;
  Outer.SetSize(100, 50);
  {
    TMetafileCanvas C(Outer);
    C.StretchDraw(Rect(0, 0, 100, 50), M);
  }
  TBitmap B(100, 50);
  Outer.Play(B.Canvas(), Rect(0, 0, 100, 50));
  EXPECT_EQ(CountColor(B, clRed), 2500);
}

TEST(Metafiles, BitmapsAndClipsAreRecorded) {
  TBitmap Pic(4, 4);
  Pic.Fill(clLime);
  TMetafile M;
  M.SetSize(20, 20);
  {
    TMetafileCanvas C(M);
    C.Draw(2, 2, Pic);
    C.SelectClipRect(Rect(10, 10, 15, 15));
    C.Brush().Color = clNavy;
    C.FillRect(Rect(0, 0, 20, 20));
  }
  TBitmap B(20, 20);
  M.Play(B.Canvas(), Rect(0, 0, 20, 20));
  EXPECT_EQ(CountColor(B, clLime), 16);
  EXPECT_EQ(CountColor(B, clNavy), 25);
  EXPECT_FALSE(B.Canvas().HasClip()); // the target's own clip is restored
}

TEST(Printing, PdfPagesAndGeometry) {
  std::string Pdf = std::string(VORNELLE_BINARY_DIR) + "/platform_print.pdf";
  std::filesystem::remove(Pdf);
  TPrinter &P = Printer();
  P.SetOutputFile(Pdf);
  P.SetResolution(300);
  P.SetOrientation(poPortrait);
  EXPECT_EQ(P.PixelsPerInchX(), 300);
  // A4 at 300 dpi, no device margins on the PDF.
  EXPECT_NEAR(P.PageWidth(), 2480, 2);
  EXPECT_NEAR(P.PageHeight(), 3508, 2);
  EXPECT_EQ(P.PhysicalOffsetX(), 0);
  P.SetOrientation(poLandscape);
  EXPECT_GT(P.PageWidth(), P.PageHeight());
  P.SetOrientation(poPortrait);
  P.Title = "Test";
  P.BeginDoc();
  EXPECT_TRUE(P.Printing());
  EXPECT_THROW(P.BeginDoc(), Exception);
  EXPECT_EQ(P.Canvas().PixelsPerInchY(), 300);
  EXPECT_EQ(P.Canvas().Font().Height, -33); // 8 point at 300 dpi
  P.Canvas().Rectangle(300, 300, 600, 600);
  P.NewPage();
  P.Canvas().TextOut(300, 300, "Page 2");
  P.NewPage();
  EXPECT_EQ(P.PageNumber(), 3);
  P.EndDoc();
  EXPECT_FALSE(P.Printing());
  P.SetOutputFile("");
  std::ifstream In(Pdf, std::ios::binary);
  std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  size_t Pages = 0;
  for (size_t At = 0; (At = Bytes.find("/Type /Page\n", At)) != std::string::npos; ++At) ++Pages;
  if (Pages == 0)
    for (size_t At = 0; (At = Bytes.find("/Type /Page", At)) != std::string::npos; ++At)
      if (Bytes.compare(At, 12, "/Type /Pages") != 0) ++Pages;
  EXPECT_EQ(Pages, 3u);
  // Outside a document the canvas draws nowhere, without fault.
  P.Canvas().LineTo(10, 10);
}

TEST(Printing, DialogHookAnswersWithoutAWindow) {
  SetPrintDialogHook([](TPrintDialog &D) {
    D.Copies = 3;
    return true;
  });
  TPrintDialog D;
  EXPECT_TRUE(D.Execute());
  EXPECT_EQ(D.Copies, 3);
  SetPrintDialogHook({});
}

TEST(ClipboardTest, TextPicturesAndClear) {
  Clipboard().SetAsText("Gr\xC3\xBC\xC3\x9F"
                        "e");
  EXPECT_EQ(Clipboard().AsText(), "Gr\xC3\xBC\xC3\x9F"
                                  "e");
  EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard().HasPicture());
  Clipboard().SetAsText("\xA3" "5 \xBA", true); // Windows-1252 bytes
  EXPECT_EQ(Clipboard().AsText(), "\xC2\xA3"
                                  "5 \xC2\xBA");
  TBitmap B(3, 3);
  Clipboard().Assign(B);
  EXPECT_TRUE(Clipboard().HasPicture());
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  Clipboard().Assign(Sample());
  EXPECT_TRUE(Clipboard().HasFormat(CF_ENHMETAFILE));
  Clipboard().Clear();
  EXPECT_FALSE(Clipboard().HasPicture());
}

TEST(ClipboardTest, APictureIsReadBackAsABitmap) {
  TBitmap B(4, 3);
  B.Fill(clBlue);
  B.ScanLine(2)[3] = ColorToArgb(clRed);
  Clipboard().Assign(B);
  TBitmap Back = Clipboard().AsBitmap();
  ASSERT_EQ(Back.Width(), 4);
  ASSERT_EQ(Back.Height(), 3);
  EXPECT_EQ(ArgbToColor(Back.ScanLine(0)[0]), clBlue);
  EXPECT_EQ(ArgbToColor(Back.ScanLine(2)[3]), clRed);
  // A metafile comes back as its rendering: red on the left half, as drawn.
  Clipboard().Assign(Sample());
  Back = Clipboard().AsBitmap();
  ASSERT_FALSE(Back.Empty());
  EXPECT_EQ(ArgbToColor(Back.ScanLine(Back.Height() / 2)[Back.Width() / 10]), clRed);
  // Another program's image with no PNG beside it; its transparent pixels read as white.
  QImage Other(2, 2, QImage::Format_ARGB32);
  Other.fill(qRgba(0, 160, 0, 255));
  Other.setPixel(1, 1, qRgba(0, 0, 0, 0));
  auto *Mime = new QMimeData;
  Mime->setImageData(Other);
  QGuiApplication::clipboard()->setMimeData(Mime);
  ASSERT_FALSE(Clipboard().HasMimeType("image/png"));
  Back = Clipboard().AsBitmap();
  ASSERT_EQ(Back.Width(), 2);
  EXPECT_EQ(ArgbToColor(Back.ScanLine(0)[0]), RGB(0, 160, 0));
  EXPECT_EQ(ArgbToColor(Back.ScanLine(1)[1]), clWhite);
  // Text is no picture.
  Clipboard().SetAsText("no picture");
  EXPECT_TRUE(Clipboard().AsBitmap().Empty());
  Clipboard().Clear();
  EXPECT_TRUE(Clipboard().AsBitmap().Empty());
}

TEST(PaintBoxes, OnPaintRunsDeferredAndNeverInsidePaintEvent) {
  TPaintBox Box;
  Box.SetBounds(0, 0, 40, 30);
  int Paints = 0;
  bool Nested = false;
  Box.OnPaint = [&] {
    ++Paints;
    Box.Canvas().Brush().Color = clRed;
    Box.Canvas().FillRect(Rect(0, 0, 10, 10));
    // A handler that pumps messages and asks again must not run nested.
    if (Paints == 1) Box.Invalidate();
    int Before = Paints;
    Application->ProcessMessages();
    if (Paints != Before) Nested = true;
  };
  Box.show();
  EXPECT_TRUE(Box.PaintPending());
  EXPECT_EQ(Paints, 0);
  Box.repaint(); // a paint event only copies the image
  EXPECT_EQ(Paints, 0);
  for (int I = 0; I < 20 && Box.PaintPending(); ++I) QApplication::processEvents();
  EXPECT_EQ(Paints, 2); // the request made inside the handler ran after it
  EXPECT_FALSE(Nested);
  EXPECT_EQ(Box.Image().size(), QSize(40, 30));
  EXPECT_EQ(Box.Canvas().Pixels(5, 5), clRed);
  Box.OnPaint = nullptr;
  // The canvas can be drawn on at any time, also with no request.
  Box.Canvas().Brush().Color = clBlue;
  Box.Canvas().FillRect(Rect(20, 20, 25, 25));
  EXPECT_EQ(QColor(Box.Image().pixel(22, 22)), QColor(0, 0, 255));
  // Resizing keeps the picture and asks for a repaint.
  Box.SetBounds(0, 0, 60, 30);
  EXPECT_EQ(Box.Canvas().Pixels(5, 5), clRed);
  EXPECT_EQ(Box.Canvas().DeviceSize(), TSize(60, 30));
}

TEST(ApplicationObject, IdleRunsOnlyWhenTheLoopWaitsAtDepthZero) {
  int Idle = 0;
  Application->OnIdle = [&](bool &Done) {
    ++Idle;
    Done = true;
  };
  Application->ProcessMessages(); // never runs idle handlers
  EXPECT_EQ(Idle, 0);
  // Runs the event loop until it is about to wait; the idle hook, connected first, has run.
  auto UntilTheLoopWaits = [] {
    QEventLoop L;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &L, [&L] { L.quit(); });
    L.exec();
  };
  {
    // Inside a simulation loop no idle handler runs, even when the event loop waits.
    TLoopGuard Loop;
    EXPECT_EQ(Application->LoopDepth(), 1);
    UntilTheLoopWaits();
    EXPECT_EQ(Idle, 0);
  }
  EXPECT_FALSE(LoopRunning());
  UntilTheLoopWaits();
  EXPECT_EQ(Idle, 1);
  Application->OnIdle = nullptr;
}

TEST(ApplicationObject, AfterLoopsWaitsForTheLastLoop) {
  int Ran = 0;
  Application->AfterLoops([&] { ++Ran; });
  EXPECT_EQ(Ran, 1); // no loop: at once
  {
    TLoopGuard Outer;
    {
      TLoopGuard Inner;
      Application->AfterLoops([&] { ++Ran; });
    }
    Application->ProcessMessages();
    EXPECT_EQ(Ran, 1); // the outer loop still runs
  }
  EXPECT_EQ(Ran, 1); // not inside the guard's destructor either
  for (int I = 0; I < 5; ++I) QApplication::processEvents();
  EXPECT_EQ(Ran, 2);
}

TEST(ApplicationObject, InsideALoopThePumpDispatchesAtMostOnceAnInterval) {
  using Clock = std::chrono::steady_clock;
  QObject Target;
  int Delivered = 0;
  auto Queue = [&] {
    QMetaObject::invokeMethod(
        &Target, [&] { ++Delivered; }, Qt::QueuedConnection);
  };
  // Outside a loop every call dispatches what waits.
  Queue();
  Application->ProcessMessages();
  Queue();
  Application->ProcessMessages();
  EXPECT_EQ(Delivered, 2);
  {
    // With an interval no test outlasts, only a loop's first call dispatches, however soon
    // after another; every later call is a clock read.
    Application->PumpInterval = std::chrono::hours(1);
    TLoopGuard Loop;
    Queue();
    Application->ProcessMessages();
    EXPECT_EQ(Delivered, 3);
    Queue();
    for (int I = 0; I < 1000; ++I) Application->ProcessMessages();
    EXPECT_EQ(Delivered, 3);
    Application->PumpInterval = TApplication::DefaultPumpInterval;
  }
  Application->ProcessMessages();
  EXPECT_EQ(Delivered, 4);
  TLoopGuard Loop;
  // At the usual interval a timer due at every pass of the event loop fires at most once an
  // interval while the loop pumps on, and at least once.
  int Fired = 0;
  QTimer Tick;
  Tick.setInterval(0);
  QObject::connect(&Tick, &QTimer::timeout, [&] { ++Fired; });
  Tick.start();
  const auto T0 = Clock::now();
  while (Clock::now() - T0 < std::chrono::milliseconds(60) ||
         (Fired == 0 && Clock::now() - T0 < std::chrono::seconds(30)))
    Application->ProcessMessages();
  const auto Elapsed = Clock::now() - T0;
  EXPECT_GE(Fired, 1);
  EXPECT_LE(Fired, Elapsed / Application->PumpInterval + 1);
  // What is queued meanwhile arrives all the same.
  Queue();
  while (Delivered < 5 && Clock::now() - T0 < std::chrono::seconds(30))
    Application->ProcessMessages();
  EXPECT_EQ(Delivered, 5);
}

TEST(ApplicationObject, HintsMessagesAndHelp) {
  EXPECT_EQ(GetShortHint("Plot|Plot the field lines"), "Plot");
  EXPECT_EQ(GetLongHint("Plot|Plot the field lines"), "Plot the field lines");
  EXPECT_EQ(GetLongHint("Plot"), "Plot");
  std::string Seen;
  Application->OnHint = [&] { Seen = Application->Hint(); };
  Application->SetHint("x|y");
  EXPECT_EQ(Seen, "x|y");
  Application->OnHint = nullptr;
  std::string Asked;
  SetMessageDlgHook([&](const std::string &T, TMsgDlgType, TMsgDlgButtons B) {
    Asked = T;
    return (B & mbNo) ? mrNo : mrOk;
  });
  EXPECT_EQ(MessageDlg("Exit program?", mtConfirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(Asked, "Exit program?");
  SetMessageDlgHook({});
  EXPECT_FALSE(Application->HelpContext(12));
  int Context = -1;
  Application->OnHelp = [&](int Cmd, int Data, const std::string &) {
    Context = Cmd == HELP_CONTEXT ? Data : -2;
    return true;
  };
  EXPECT_TRUE(Application->HelpContext(12));
  EXPECT_EQ(Context, 12);
  Application->OnHelp = nullptr;
  uint32_t T0 = GetTickCount();
  QElapsedTimer E;
  E.start();
  while (E.elapsed() < 20) {
  }
  EXPECT_GE(GetTickCount() - T0, 15u);
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
}

TEST(Timers, FireWhileEnabled) {
  TTimer T;
  EXPECT_TRUE(T.Enabled());
  EXPECT_EQ(T.Interval(), 1000);
  int Fired = 0;
  T.SetInterval(5);
  // It fires again and again: wait for the second, however late a busy machine wakes us.
  QEventLoop L;
  T.OnTimer = [&] {
    if (++Fired == 2) L.quit();
  };
  QTimer Deadline;
  Deadline.setSingleShot(true);
  QObject::connect(&Deadline, &QTimer::timeout, &L, &QEventLoop::quit);
  Deadline.start(30000);
  L.exec();
  EXPECT_GE(Fired, 2);
  T.SetEnabled(false);
  int Now = Fired;
  QTimer::singleShot(30, &L, &QEventLoop::quit);
  L.exec();
  EXPECT_EQ(Fired, Now);
}

TEST(Fonts, ClassicNamesResolveToTheMetricCompatibleFaces) {
  TFont F;
  EXPECT_EQ(QFontInfo(ToQFont(F)).family(), "Liberation Sans");
  F.Name = "Times New Roman";
  EXPECT_EQ(QFontInfo(ToQFont(F)).family(), "Liberation Serif");
  F.Name = "Courier New";
  EXPECT_EQ(QFontInfo(ToQFont(F)).family(), "Liberation Mono");
  EXPECT_FALSE(ToQFont(F).kerning());
  EXPECT_EQ(ToQFont(F).pixelSize(), 11);
}

TEST(Files, DosNamesResolveCaseInsensitively) {
  std::string Root = std::string(VORNELLE_BINARY_DIR) + "/files_test";
  std::filesystem::remove_all(Root);
  std::filesystem::create_directories(Root + "/HTML/Images");
  std::ofstream(Root + "/HTML/Images/Pic.GIF") << "GIF89a";
  std::ofstream(Root + "/HTML/Index.htm") << "<html>";
  EXPECT_EQ(ResolvePath(Root + "/HTML", "images\\PIC.gif"), Root + "/HTML/Images/Pic.GIF");
  EXPECT_EQ(ResolvePath(Root + "/HTML/", "C:\\images\\..\\INDEX.HTM"), Root + "/HTML/Index.htm");
  EXPECT_EQ(ResolvePath(Root + "/HTML", "./index.htm"), Root + "/HTML/Index.htm");
  EXPECT_EQ(ResolvePath(Root + "/HTML", "missing\\a.htm"), Root + "/HTML/missing/a.htm");
  EXPECT_TRUE(FileExists(ResolvePath(Root + "/HTML", "IMAGES/pic.gif")));
  EXPECT_FALSE(FileExists(Root + "/HTML/Images"));
  EXPECT_EQ(ReadFileBytes(Root + "/HTML/Images/Pic.GIF").size(), 6u);
  try {
    ReadFileBytes(Root + "/HTML/Images/Pic.GIF", 4);
    FAIL();
  } catch (const EFileError &E) {
    EXPECT_NE(std::string(E.what()).find("larger than 4 bytes"), std::string::npos);
  }
  EXPECT_THROW(ReadFileBytes(Root + "/nothing"), EFileError);
  EXPECT_EQ(ExtractFilePath("a\\b/c.htm"), "a\\b/");
  EXPECT_EQ(ExtractFileName("a\\b/c.htm"), "c.htm");
  EXPECT_EQ(ExtractFileExt("a.b/c"), "");
  EXPECT_EQ(ChangeFileExt("x.htm", ".gif"), "x.gif");
  EXPECT_EQ(UpperCase("abc\xE9"), "ABC\xE9");
  EXPECT_EQ(CompareText("Index.HTM", "INDEX.htm"), 0);
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_EQ(ProgramDir().back(), '/');
}

} // namespace

#include "platform/metafile.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/canvas_impl.h"
#include "platform/numbers.h"
#include "platform/printer.h"

std::unique_ptr<TCanvas::Impl> MakeRecorderImpl(const TCanvas *Reference) {
  auto D = std::make_unique<TCanvas::Impl>();
  D->Kind = TCanvas::Impl::TKind::Recorder;
  D->RecorderOwner = std::make_shared<TMetafileRecorder>();
  D->Recorder = D->RecorderOwner.get();
  D->Reference = Reference;
  if (Reference) {
    D->Ppi = Reference->PixelsPerInchY();
    D->Font.PixelsPerInch = D->Ppi;
    D->Font.SetSize(8);
  }
  return D;
}

namespace {

struct TMapper {
  double SX, SY;
  double L, T;
  int X(int V) const { return int(std::floor(L + V * SX + 0.5)); }
  int Y(int V) const { return int(std::floor(T + V * SY + 0.5)); }
  // This mapping after the recording canvas's own logical-to-device mapping.
  TMapper After(const TMapping &Map) const {
    return TMapper{SX * Map.SX(), SY * Map.SY(), L + SX * Map.DX(), T + SY * Map.DY()};
  }
  TPoint P(TPoint Q) const { return TPoint(X(Q.X), Y(Q.Y)); }
  TRect R(int A, int B, int C, int D) const { return TRect(X(A), Y(B), X(C), Y(D)); }
  std::vector<TPoint> Pts(const std::vector<TPoint> &V) const {
    std::vector<TPoint> Out;
    Out.reserve(V.size());
    for (const TPoint &Q : V) Out.push_back(P(Q));
    return Out;
  }
};

// M maps the recorded device units (clip), MS the logical units of the calls.
void ApplyState(TCanvas &C, const TMetaState &S, const TMapper &M, const TMapper &MS, int &Base) {
  // Back to the clip of the play-back first: restoring also resets the text alignment
  // and background mode, which the recorded state sets below.
  C.RestoreState(Base);
  Base = C.SaveState();
  double Scale = (std::fabs(MS.SX) + std::fabs(MS.SY)) / 2;
  C.Pen() = S.Pen;
  C.Pen().Width = S.Pen.Width <= 1 ? std::max(1, Round(Scale)) : std::max(1, Round(S.Pen.Width * Scale));
  if (C.Pen().Width > 1 && S.Pen.Width <= 1 && S.Pen.Style != psSolid && S.Pen.Style != psInsideFrame &&
      S.Pen.Style != psClear)
    C.Pen().Width = 1; // styled pens stay thin, so that their pattern shows
  C.Brush() = S.Brush;
  C.Font() = S.Font;
  if (S.Font.Height != 0) {
    int H = Round(S.Font.Height * std::fabs(MS.SY));
    if (H == 0) H = S.Font.Height > 0 ? 1 : -1;
    C.Font().Height = H;
  }
  C.SetBkMode(S.BkMode);
  C.SetBkColor(S.BkColor);
  C.SetTextAlign(S.TextAlign);
  C.SetCopyMode(S.CopyMode);
  if (S.Clip) {
    QTransform T(M.SX, 0, 0, M.SY, M.L, M.T);
    TRegion Reg;
    const_cast<TRegion::Impl &>(Reg.Data()).R = T.map(*S.Clip);
    C.IntersectClipRegion(Reg);
  }
}

// Font heights round to whole pixels while positions scale exactly, so a run replayed at
// another size can come out wider than its place and run into the next run or past a clip.
// The run gets the room its recorded extent scales to: the font takes the largest height,
// up to the rounded one, at which the run fits. Returns the height to restore afterwards.
int FitRun(TCanvas &C, const std::u16string &Text, const TMapper &M, int X, int Y, int W, int H) {
  TFont &F = C.Font();
  const int Before = F.Height;
  if (Before == 0 || Text.empty() || W <= 0) return Before;
  const int RoomW = std::abs(M.X(X + W) - M.X(X)), RoomH = H > 0 ? std::abs(M.Y(Y + H) - M.Y(Y)) : 0;
  const int Sign = Before < 0 ? -1 : 1, Full = std::abs(Before);
  int Width = 0;
  auto Fits = [&](int Size) {
    F.Height = Sign * Size;
    const TSize E = C.TextExtent(Text);
    Width = E.cx;
    return E.cx <= RoomW && (RoomH <= 0 || E.cy <= RoomH);
  };
  if (Fits(Full) || Full <= 1) {
    F.Height = Before;
    return Before;
  }
  // A first guess in proportion to the width, then the nearest height that fits.
  int Size = std::clamp(Width > RoomW ? int(int64_t(Full) * RoomW / Width) : Full - 1, 1, Full - 1);
  while (Size > 1 && !Fits(Size)) --Size;
  while (Size + 1 < Full && Fits(Size + 1)) ++Size;
  F.Height = Sign * std::max(1, Size);
  return Before;
}

// A run replayed at another size on a canvas with pixels is drawn as the recording measured
// it, scaled as a whole, so that its letters sit where they sit on paper. A recording into
// another recording keeps whole font sizes and fits its runs (FitRun).
bool ScalesRuns(const TCanvas &C, const TMapper &M) {
  const TCanvas::Impl::TKind K = C.Data().Kind;
  return (K == TCanvas::Impl::TKind::Image || K == TCanvas::Impl::TKind::Painter) &&
         (M.SX != 1.0 || M.SY != 1.0);
}

void ReplayRun(TCanvas &C, const TFont &Recorded, const TMapper &M, int X, int Y,
               const std::u16string &Text, const TRect *Clip) {
  const TFont Scaled = C.Font();
  C.Font() = Recorded;
  DrawScaledText(C.Data(), M.L + X * M.SX, M.T + Y * M.SY, M.SX, M.SY, Text, Clip);
  C.Font() = Scaled;
}

} // namespace

void PlayRecording(const TMetafile::Recording &Rec, int W, int H, TCanvas &C, const TRect &R) {
  const TMapper Frame{W > 0 ? double(R.Width()) / W : 1.0, H > 0 ? double(R.Height()) / H : 1.0, double(R.Left), double(R.Top)};
  TPen SavePen = C.Pen();
  TBrush SaveBrush = C.Brush();
  TFont SaveFont = C.Font();
  TCopyMode SaveCopy = C.CopyMode();
  unsigned SaveAlign = C.TextAlign();
  TPoint SavePos = C.PenPos();
  // A picture stays inside its frame: drawing that runs past the recording's frame
  // (a field line leaving the plot) is cut at the target rectangle.
  int Outer = C.SaveState();
  if (W > 0 && H > 0) C.IntersectClipRect(R);
  int Base = C.SaveState();
  int Current = -1;
  TMapper M = Frame;
  for (const TMetaCommand &K : Rec.Commands) {
    if (K.State != Current && K.State >= 0 && K.State < int(Rec.States.size())) {
      M = Frame.After(Rec.States[K.State].Map);
      ApplyState(C, Rec.States[K.State], Frame, M, Base);
      Current = K.State;
    }
    const std::vector<int> &I = K.I;
    switch (K.Op) {
    case TMetaCommand::opLine: {
      TPoint A = M.P(K.Pts[0]), B = M.P(K.Pts[1]);
      C.MoveTo(A.X, A.Y);
      C.LineTo(B.X, B.Y);
      break;
    }
    case TMetaCommand::opPolyline: C.Polyline(M.Pts(K.Pts)); break;
    case TMetaCommand::opPolygon: C.Polygon(M.Pts(K.Pts)); break;
    case TMetaCommand::opBezier: C.PolyBezier(M.Pts(K.Pts)); break;
    case TMetaCommand::opRectangle: C.Rectangle(M.R(I[0], I[1], I[2], I[3])); break;
    case TMetaCommand::opFillRect: C.FillRect(M.R(I[0], I[1], I[2], I[3])); break;
    case TMetaCommand::opFrameRect: C.FrameRect(M.R(I[0], I[1], I[2], I[3])); break;
    case TMetaCommand::opEllipse: C.Ellipse(M.R(I[0], I[1], I[2], I[3])); break;
    case TMetaCommand::opRoundRect: {
      TRect Q = M.R(I[0], I[1], I[2], I[3]);
      C.RoundRect(Q.Left, Q.Top, Q.Right, Q.Bottom, Round(I[4] * M.SX), Round(I[5] * M.SY));
      break;
    }
    case TMetaCommand::opArc:
    case TMetaCommand::opPie:
    case TMetaCommand::opChord: {
      int A = M.X(I[0]), B = M.Y(I[1]), Cc = M.X(I[2]), Dd = M.Y(I[3]), E = M.X(I[4]), F = M.Y(I[5]),
          G = M.X(I[6]), Hh = M.Y(I[7]);
      if (K.Op == TMetaCommand::opArc) C.Arc(A, B, Cc, Dd, E, F, G, Hh);
      else if (K.Op == TMetaCommand::opPie) C.Pie(A, B, Cc, Dd, E, F, G, Hh);
      else C.Chord(A, B, Cc, Dd, E, F, G, Hh);
      break;
    }
    case TMetaCommand::opText: {
      if (ScalesRuns(C, M)) {
        ReplayRun(C, Rec.States[K.State].Font, M, I[0], I[1], K.Text, nullptr);
        break;
      }
      const int Height = I.size() >= 4 ? FitRun(C, K.Text, M, I[0], I[1], I[2], I[3]) : C.Font().Height;
      C.TextOut(M.X(I[0]), M.Y(I[1]), K.Text);
      C.Font().Height = Height;
      break;
    }
    case TMetaCommand::opTextRect: {
      if (ScalesRuns(C, M)) {
        const TRect Clip = M.R(I[0], I[1], I[2], I[3]);
        ReplayRun(C, Rec.States[K.State].Font, M, I[4], I[5], K.Text, &Clip);
        break;
      }
      const int Height = I.size() >= 8 ? FitRun(C, K.Text, M, I[4], I[5], I[6], I[7]) : C.Font().Height;
      C.TextRect(M.R(I[0], I[1], I[2], I[3]), M.X(I[4]), M.Y(I[5]), K.Text);
      C.Font().Height = Height;
      break;
    }
    case TMetaCommand::opPixel: {
      TRect Q = M.R(I[0], I[1], I[0] + 1, I[1] + 1);
      if (Q.Width() == 1 && Q.Height() == 1) C.SetPixels(Q.Left, Q.Top, TColor(I[2]));
      else {
        TBrush B = C.Brush();
        C.Brush() = TBrush{TColor(I[2]), bsSolid};
        C.FillRect(Q);
        C.Brush() = B;
      }
      break;
    }
    case TMetaCommand::opBitmap:
      if (!K.Bitmap) break;
      if (I[9]) C.StretchDraw(M.R(I[0], I[1], I[2], I[3]), *K.Bitmap);
      else C.StretchBlt(M.R(I[0], I[1], I[2], I[3]), *K.Bitmap, TRect(I[4], I[5], I[6], I[7]), TCopyMode(I[8]));
      break;
    case TMetaCommand::opMetafile:
      if (K.Sub) PlayRecording(*K.Sub, K.SubW, K.SubH, C, M.R(I[0], I[1], I[2], I[3]));
      break;
    case TMetaCommand::opMaskBlt: {
      if (!K.Bitmap || !K.Mask) break;
      TRect Q = M.R(I[0], I[1], I[0] + I[2], I[1] + I[3]);
      if (Q.Width() == I[2] && Q.Height() == I[3]) {
        C.MaskBlt(Q.Left, Q.Top, I[2], I[3], *K.Bitmap, I[4], I[5], *K.Mask, I[6], I[7]);
      } else if (!IsRectEmpty(Q)) {
        TBitmap S(Q.Width(), Q.Height()), Mk(Q.Width(), Q.Height());
        S.Canvas().StretchBlt(TRect(0, 0, Q.Width(), Q.Height()), *K.Bitmap, TRect(I[4], I[5], I[4] + I[2], I[5] + I[3]),
                              cmSrcCopy);
        Mk.Canvas().StretchBlt(TRect(0, 0, Q.Width(), Q.Height()), *K.Mask, TRect(I[6], I[7], I[6] + I[2], I[7] + I[3]),
                               cmSrcCopy);
        Mk.SetMonochrome(true);
        C.MaskBlt(Q.Left, Q.Top, Q.Width(), Q.Height(), S, 0, 0, Mk, 0, 0);
      }
      break;
    }
    case TMetaCommand::opEdge: {
      TRect Q = M.R(I[0], I[1], I[2], I[3]);
      C.DrawEdge(Q, unsigned(I[4]), unsigned(I[5]) & ~BF_ADJUST);
      break;
    }
    case TMetaCommand::opFocusRect: break; // focus marks are not part of the picture
    }
  }
  C.RestoreState(Outer);
  C.Pen() = SavePen;
  C.Brush() = SaveBrush;
  C.Font() = SaveFont;
  C.SetCopyMode(SaveCopy);
  C.SetTextAlign(SaveAlign);
  C.SetPenPos(SavePos);
}

TMetafile::TMetafile() = default;
TMetafile::TMetafile(const TMetafile &) = default;
TMetafile &TMetafile::operator=(const TMetafile &) = default;
TMetafile::~TMetafile() = default;
int TMetafile::Width() const { return W; }
int TMetafile::Height() const { return H; }
void TMetafile::SetWidth(int V) { W = std::max(0, V); }
void TMetafile::SetHeight(int V) { H = std::max(0, V); }
void TMetafile::SetSize(int A, int B) { SetWidth(A); SetHeight(B); }
bool TMetafile::Empty() const { return !Rec || Rec->Commands.empty(); }
int TMetafile::CommandCount() const { return Rec ? int(Rec->Commands.size()) : 0; }
void TMetafile::Clear() { Rec.reset(); }

void TMetafile::Play(TCanvas &C, const TRect &R) const {
  if (Rec) PlayRecording(*Rec, W, H, C, R);
}

std::vector<uint8_t> TMetafile::ToPng(double Scale) const {
  int PW = std::max(1, Round(W * Scale)), PH = std::max(1, Round(H * Scale));
  if (W <= 0 || H <= 0) return {};
  TBitmap B(PW, PH);
  Play(B.Canvas(), TRect(0, 0, PW, PH));
  return B.SaveToPngData();
}

bool TMetafile::SaveToPng(const std::string &Path, double Scale) const {
  if (W <= 0 || H <= 0) return false;
  int PW = std::max(1, Round(W * Scale)), PH = std::max(1, Round(H * Scale));
  TBitmap B(PW, PH);
  Play(B.Canvas(), TRect(0, 0, PW, PH));
  return B.SaveToPng(Path);
}

std::vector<uint8_t> TMetafile::ToSvg() const {
  QByteArray Bytes;
  QBuffer Buf(&Bytes);
  Buf.open(QIODevice::WriteOnly);
  QSvgGenerator Gen;
  Gen.setOutputDevice(&Buf);
  Gen.setSize(QSize(std::max(1, W), std::max(1, H)));
  Gen.setViewBox(QRect(0, 0, std::max(1, W), std::max(1, H)));
  Gen.setResolution(96);
  {
    QPainter P(&Gen);
    auto C = MakePainterCanvas(&P, &Gen, 96);
    Play(*C, TRect(0, 0, W, H));
  }
  return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

bool TMetafile::SaveToSvg(const std::string &Path) const {
  std::vector<uint8_t> Data = ToSvg();
  FILE *F = std::fopen(Path.c_str(), "wb");
  if (!F) return false;
  bool Ok = std::fwrite(Data.data(), 1, Data.size(), F) == Data.size();
  return std::fclose(F) == 0 && Ok;
}

TMetafileCanvas::TMetafileCanvas(TMetafile &M, const TCanvas *Reference)
    : TCanvas(MakeRecorderImpl(Reference)), Target(&M) {}

TMetafileCanvas::~TMetafileCanvas() { Finish(); }

void TMetafileCanvas::Finish() {
  if (!Target || !D->Recorder) return;
  Target->Rec = D->Recorder->Rec;
  D->Recorder = nullptr;
  D->RecorderOwner.reset();
  D->Kind = Impl::TKind::Null;
  Target = nullptr;
}

TMetafile RecordMetafile(int W, int H, const std::function<void(TCanvas &)> &Draw) {
  TMetafile M;
  M.SetSize(W, H);
  {
    TMetafileCanvas MC(M);
    Draw(MC);
  }
  return M;
}

void PrintMetafileCopies(const TMetafile &M, int Copies, int AspectW, int AspectH) {
  TPrinter &P = Printer();
  const int PX = P.PixelsPerInchX(), PY = P.PixelsPerInchY();
  // Landscape fits the height, portrait the width.
  const TRect Target =
      P.Orientation() == poLandscape
          ? TRect(PX / 2, PY / 2, MulDiv(P.PageHeight() - PY / 2, AspectW, AspectH),
                  P.PageHeight() - PY / 2)
          : TRect(PX / 2, PY / 2, P.PageWidth() - PX / 2,
                  MulDiv(P.PageWidth() - PX / 2, AspectH, AspectW));
  P.BeginDoc();
  for (int C = 1; C <= Copies; ++C) {
    P.Canvas().SaveState();
    P.Canvas().IntersectClipRect(Target);
    M.Play(P.Canvas(), Target);
    P.Canvas().RestoreState();
    if (C < Copies) P.NewPage();
  }
  P.EndDoc();
}

#include "widgets/ani_file.h"

#include <algorithm>
#include <cstring>

#include "platform/canvas.h"
#include "widgets/ico_list.h"
#include "widgets/kit_graph.h"
#include "widgets/kit_utils.h"

namespace {

// More steps than any cursor shows; the bytes present cap them further.
constexpr uint32_t MaxAniSteps = 4096;

[[noreturn]] void ReadError() { throw EReadError(SReadError); }

struct TChunk {
  char Id[4];
  size_t Body; // offset of the body
  size_t Size; // body size, bounded by the parent's end
  size_t Next; // offset after the padded body
};

// The chunk at Pos inside [.., End): false when its header does not fit.
bool ReadChunk(std::span<const uint8_t> D, size_t Pos, size_t End, TChunk &C) {
  if (Pos > End || End - Pos < 8) return false;
  std::memcpy(C.Id, D.data() + Pos, 4);
  uint32_t Size = uint32_t(D[Pos + 4]) | uint32_t(D[Pos + 5]) << 8 | uint32_t(D[Pos + 6]) << 16 |
                  uint32_t(D[Pos + 7]) << 24;
  C.Body = Pos + 8;
  C.Size = std::min<size_t>(Size, End - C.Body);
  size_t Padded = C.Size + (C.Size & 1);
  C.Next = std::min(C.Body + Padded, End);
  // A chunk that claims more than its parent holds ends the loop after it.
  if (Size > End - C.Body) C.Next = End;
  return true;
}

bool Is(const TChunk &C, const char *Id) { return std::memcmp(C.Id, Id, 4) == 0; }

uint32_t Le32(std::span<const uint8_t> D, size_t P) {
  return uint32_t(D[P]) | uint32_t(D[P + 1]) << 8 | uint32_t(D[P + 2]) << 16 |
         uint32_t(D[P + 3]) << 24;
}

std::string InfoText(std::span<const uint8_t> D, const TChunk &C) {
  size_t N = std::min<size_t>(C.Size, 255);
  std::string S(reinterpret_cast<const char *>(D.data() + C.Body), N);
  if (size_t Z = S.find('\0'); Z != std::string::npos) S.resize(Z);
  return S;
}

// The largest colour count among the images of an icon resource (2, 16 or 256 for 1, 4
// or 8 bits a pixel), each image's depth read from its own bitmap header: a cursor's
// directory entry holds its hot spot where an icon's holds the depth.
int LargestColorCount(std::span<const uint8_t> D) {
  if (D.size() < 6) return 0;
  const size_t Count = size_t(D[4]) | size_t(D[5]) << 8;
  int Largest = 0;
  for (size_t K = 0; K < Count && 6 + 16 * (K + 1) <= D.size(); ++K) {
    const size_t Offset = Le32(D, 6 + 16 * K + 12);
    if (Offset > D.size() || D.size() - Offset < 16) continue;
    const int Bits = int(D[Offset + 14]) | int(D[Offset + 15]) << 8;
    if (Bits >= 1 && Bits <= 8) Largest = std::max(Largest, 1 << Bits);
  }
  return Largest;
}

} // namespace

void TIconFrame::Assign(const TIconFrame &Source) {
  Icon->Assign(*Source.Icon);
  IsIcon = Source.IsIcon;
  HotSpot = Source.HotSpot;
  Jiffies = Source.Jiffies;
  Index = Source.Index;
}

void TAnimatedCursorImage::Clear() {
  Header = {};
  Title.clear();
  Creator.clear();
  Frames.clear();
  ColorCount = 0;
}

void TAnimatedCursorImage::LoadFromStream(TMemoryStream &Stream) {
  std::span<const uint8_t> D = Stream.Rest();
  Stream.SetPosition(Stream.Size());
  TChunk Riff;
  if (!ReadChunk(D, 0, D.size(), Riff) || !Is(Riff, "RIFF") || Riff.Size < 4 ||
      std::memcmp(D.data() + Riff.Body, "ACON", 4) != 0)
    ReadError();
  Clear();
  const size_t End = Riff.Body + Riff.Size;
  int IconNumber = 0;
  for (size_t Pos = Riff.Body + 4; Pos < End;) {
    TChunk C;
    if (!ReadChunk(D, Pos, End, C)) break;
    Pos = C.Next;
    if (Is(C, "anih")) {
      if (C.Size < 36) ReadError();
      uint32_t V[9];
      for (int K = 0; K < 9; ++K) V[K] = Le32(D, C.Body + 4 * size_t(K));
      Header = {V[0], V[1], V[2], V[3], V[4], V[5], V[6], V[7], V[8]};
      if (!(Header.flags & 1) || Header.cSteps == 0) ReadError();
      // One frame a step; a file cannot have more steps than its bytes could describe.
      const uint32_t Steps =
          std::min<uint32_t>({Header.cSteps, MaxAniSteps, uint32_t(D.size() / 4)});
      Frames.clear();
      for (uint32_t K = 0; K < Steps; ++K) {
        auto F = std::make_unique<TIconFrame>();
        F->Index = int(K);
        F->Jiffies = Header.jifRate;
        Frames.push_back(std::move(F));
      }
    } else if (Is(C, "rate") || Is(C, "seq ")) {
      const bool Rate = Is(C, "rate");
      const size_t N = std::min(C.Size / 4, Frames.size());
      for (size_t I = 0; I < N; ++I) {
        uint32_t V = Le32(D, C.Body + 4 * I);
        if (Rate) Frames[I]->Jiffies = V;
        else Frames[I]->Index = int(std::min<uint32_t>(V, INT32_MAX));
      }
    } else if (Is(C, "LIST") && C.Size >= 4) {
      const size_t ListEnd = C.Body + C.Size;
      const bool Fram = std::memcmp(D.data() + C.Body, "fram", 4) == 0;
      const bool Info = std::memcmp(D.data() + C.Body, "INFO", 4) == 0;
      if (!Fram && !Info) continue;
      for (size_t P = C.Body + 4; P < ListEnd;) {
        TChunk S;
        if (!ReadChunk(D, P, ListEnd, S)) break;
        P = S.Next;
        if (Info) {
          if (Is(S, "INAM")) Title = InfoText(D, S);
          else if (Is(S, "IART")) Creator = InfoText(D, S);
          continue;
        }
        if (!Is(S, "icon")) continue;
        TMemoryStream Image(std::vector<uint8_t>(D.begin() + std::ptrdiff_t(S.Body),
                                                 D.begin() + std::ptrdiff_t(S.Body + S.Size)));
        TIcon Icon;
        try {
          Icon.LoadFromStream(Image);
        } catch (const EInvalidGraphic &) { ReadError(); }
        ColorCount = std::max(ColorCount, LargestColorCount(Image.Bytes));
        bool Taken = false;
        for (auto &F : Frames)
          if (F->Index == IconNumber) {
            F->Icon->Assign(Icon);
            F->IsIcon = !Icon.IsCursor();
            F->HotSpot = Icon.HotSpot();
            Taken = true;
          }
        if (!Taken && Frames.size() < MaxAniSteps) {
          auto F = std::make_unique<TIconFrame>();
          F->Index = -1;
          F->Jiffies = Header.jifRate;
          F->Icon->Assign(Icon);
          F->IsIcon = !Icon.IsCursor();
          F->HotSpot = Icon.HotSpot();
          Frames.push_back(std::move(F));
        }
        ++IconNumber;
      }
    }
  }
  std::erase_if(Frames, [](const std::unique_ptr<TIconFrame> &F) { return F->Icon->Empty(); });
  if (Frames.empty()) ReadError();
}

void TAnimatedCursorImage::SaveToStream(TMemoryStream &) { NotImplemented(); }

void TAnimatedCursorImage::LoadFromFile(const std::string &Path) {
  TMemoryStream S;
  S.LoadFromFile(Path);
  LoadFromStream(S);
}

void TAnimatedCursorImage::Assign(const TAnimatedCursorImage &Source) {
  if (&Source == this) return;
  Header = Source.Header;
  Title = Source.Title;
  Creator = Source.Creator;
  ColorCount = Source.ColorCount;
  Frames.clear();
  for (const auto &F : Source.Frames) {
    auto N = std::make_unique<TIconFrame>();
    N->Assign(*F);
    Frames.push_back(std::move(N));
  }
}

void TAnimatedCursorImage::AssignTo(TIcon &Icon) const {
  if (Frames.empty()) Icon.Clear();
  else Icon.Assign(*Frames[0]->Icon);
}

void TAnimatedCursorImage::AssignTo(TIconList &List) const {
  List.BeginUpdate();
  List.Clear();
  for (const auto &F : Frames) List.Add(F->Icon.get());
  List.EndUpdate();
}

void TAnimatedCursorImage::AssignTo(TBitmap &Bitmap, TColor Background, bool Vertical) const {
  if (Frames.empty()) {
    Bitmap = TBitmap();
    return;
  }
  int64_t W = 0, H = 0;
  for (const auto &F : Frames) {
    if (Vertical) H += F->Icon->Height();
    else W += F->Icon->Width();
  }
  if (Vertical) W = Frames[0]->Icon->Width();
  else H = Frames[0]->Icon->Height();
  TBitmap Strip(int(std::min<int64_t>(W, 32767)), int(std::min<int64_t>(H, 32767)));
  Strip.Fill(Background);
  int At = 0;
  for (const auto &F : Frames) {
    const TIcon &I = *F->Icon;
    TRect R = Vertical ? TRect{0, At, I.Width(), At + I.Height()}
                       : TRect{At, 0, At + I.Width(), I.Height()};
    const_cast<TIcon &>(I).Draw(Strip.Canvas(), R);
    At += Vertical ? I.Height() : I.Width();
  }
  auto S = SetBitmapPixelFormat(Strip, std::max(ColorCount, 16));
  if (!S) return; // the user was told; no strip is made
  Bitmap = ReadBitmapFile(S->Bytes).ToBitmap();
}

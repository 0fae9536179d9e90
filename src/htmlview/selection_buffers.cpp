#include "htmlview/selection_buffers.h"

#include <algorithm>

#include "platform/clipboard.h"

void SelTextCount::AddText(const char *P, int Size) {
  for (int K = 0; K < Size; ++K)
    if (!IsObjectMark(P[K])) ++Leng;
}

void SelTextCount::AddTextCR(const char *P, int Size) {
  AddText(P, Size);
  AddText("\r\n", 2);
}

int SelTextCount::Finish() { return Leng; }

SelTextBuf::SelTextBuf(char *ABuffer, int Size) : Buffer(ABuffer), BufferLeng(Size) {}

void SelTextBuf::AddText(const char *P, int Size) {
  for (int K = 0; K < Size && Leng < BufferLeng - 1; ++K) {
    char C = P[K];
    if (IsObjectMark(C)) continue;
    Buffer[Leng++] = C == char(160) ? ' ' : C;
  }
}

int SelTextBuf::Finish() {
  if (BufferLeng > 0) Buffer[std::min(Leng, BufferLeng - 1)] = 0;
  return Leng + 1;
}

ClipBuffer::ClipBuffer(int Leng, TCodePage Page)
    : SelTextBuf(nullptr, std::max(Leng, 0) + 1), FStore(size_t(std::max(Leng, 0)) + 1),
      FPage(Page) {
  Buffer = FStore.data();
}

int ClipBuffer::Finish() {
  int R = SelTextBuf::Finish();
  Clipboard().SetAsText(DecodeToUtf8(std::string_view(Buffer, size_t(Leng)), FPage));
  return R;
}

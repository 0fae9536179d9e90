#pragma once
// Counting and collecting the selected text of a document for copying. Object marks
// (#2, #4, #6, #7) are left out; a no-break space is copied as a space.
#include <string>
#include <vector>

#include "platform/encoding.h"

class SelTextCount {
public:
  virtual ~SelTextCount() = default;
  int Leng = 0;
  virtual void AddText(const char *P, int Size);
  void AddTextCR(const char *P, int Size);
  virtual int Finish();
};

// Writes into a caller buffer of Size bytes (at most Size - 1 characters and a zero).
class SelTextBuf : public SelTextCount {
public:
  SelTextBuf(char *ABuffer, int Size);
  char *Buffer;
  int BufferLeng;
  void AddText(const char *P, int Size) override;
  int Finish() override; // stores the zero; the count + 1
};

// Collects the selection for the clipboard; sized from a count made first, so nothing
// is cut.
class ClipBuffer : public SelTextBuf {
public:
  explicit ClipBuffer(int Leng, TCodePage Page = TCodePage::Windows1252);
  // Terminates and puts the text on the clipboard; the count + 1.
  int Finish() override;
  std::string Text() const { return std::string(Buffer, size_t(Leng)); }

private:
  std::vector<char> FStore;
  TCodePage FPage;
};

// True for the characters that stand for embedded objects in a text buffer.
inline bool IsObjectMark(char C) { return C == 2 || C == 4 || C == 6 || C == 7; }

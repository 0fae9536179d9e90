#pragma once
// Animated cursor files (RIFF "ACON"): frames of icons with their display times, handed
// on as an icon list, a strip bitmap or a single icon.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/icon.h"
#include "platform/streams.h"

class TIconList;

struct TAniHeader {
  uint32_t cbSizeof = 0, cFrames = 0, cSteps = 0, cx = 0, cy = 0, cBitCount = 0, cPlanes = 0,
           jifRate = 0, flags = 0;
};

class TIconFrame {
public:
  TIconFrame() : Icon(std::make_unique<TIcon>()) {}
  void Assign(const TIconFrame &Source);
  std::unique_ptr<TIcon> Icon; // owned: frames that show one icon hold copies of it
  bool IsIcon = true;
  TPoint HotSpot{0, 0};
  uint32_t Jiffies = 0; // display time in 1/60 s
  int Index = 0;        // the icon number this step shows
};

class TAnimatedCursorImage {
public:
  virtual ~TAnimatedCursorImage() = default;
  // Reads from the position to the end; EReadError "Stream read error" for bad data or
  // when no frame is left.
  virtual void LoadFromStream(TMemoryStream &Stream);
  // Not built: tells the user "Function not yet implemented" and writes nothing.
  virtual void SaveToStream(TMemoryStream &Stream);
  virtual void LoadFromFile(const std::string &Path);
  virtual void Assign(const TAnimatedCursorImage &Source);
  // The first frame's icon; every frame's icon; all icons side by side (or stacked),
  // on Background, reduced to Max(ColorCount, 16) colours.
  void AssignTo(TIcon &Icon) const;
  void AssignTo(TIconList &List) const;
  void AssignTo(TBitmap &Bitmap, TColor Background, bool Vertical = false) const;

  int FrameCount() const { return int(Frames.size()); }
  const TIconFrame &Frame(int I) const { return *Frames.at(size_t(I)); }
  const TIcon &Icon(int I) const { return *Frames.at(size_t(I))->Icon; }
  void Clear();

  TAniHeader Header;
  std::string Title, Creator;
  std::vector<std::unique_ptr<TIconFrame>> Frames;
  int ColorCount = 0;
};

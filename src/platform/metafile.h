#pragma once
// TMetafile: a recording of canvas calls (an enhanced metafile of the class library),
// replayed scaled into any rectangle of any canvas: coordinates, pen widths and font
// heights scale with the rectangle. Record through a TMetafileCanvas; the recording is
// kept when the TMetafileCanvas is destroyed (or Finish is called).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

class TMetafile {
public:
  TMetafile();
  TMetafile(const TMetafile &);            // shares the recording (it is immutable)
  TMetafile &operator=(const TMetafile &);
  ~TMetafile();
  // The picture's frame in logical units of the recording (pixels of a 96-dpi device, or
  // printer dots for a page recorded against the printer).
  int Width() const;
  int Height() const;
  void SetWidth(int W);
  void SetHeight(int H);
  void SetSize(int W, int H);
  bool Empty() const;
  int CommandCount() const;
  void Clear();

  // Replays the recording so that its frame (0, 0, Width, Height) fills R.
  void Play(TCanvas &Canvas, const TRect &R) const;
  // Renders into an image of Width x Height (times Scale), white background.
  bool SaveToPng(const std::string &Path, double Scale = 1.0) const;
  std::vector<uint8_t> ToPng(double Scale = 1.0) const;
  bool SaveToSvg(const std::string &Path) const;
  std::vector<uint8_t> ToSvg() const;

  struct Recording;
  std::shared_ptr<const Recording> Data() const { return Rec; }

private:
  int W = 0, H = 0;
  std::shared_ptr<const Recording> Rec;
  friend class TMetafileCanvas;
};

class TMetafileCanvas : public TCanvas {
public:
  // Records into Metafile. Text is measured with the Reference canvas's device (a
  // printer canvas for a page recorded in printer dots) or a 96-dpi screen when null.
  explicit TMetafileCanvas(TMetafile &Metafile, const TCanvas *Reference = nullptr);
  ~TMetafileCanvas() override;
  // Ends the recording now (the canvas then ignores further calls).
  void Finish();

private:
  TMetafile *Target;
};

// A picture of W x H pixels recorded by Draw.
TMetafile RecordMetafile(int W, int H, const std::function<void(TCanvas &)> &Draw);
// Prints Copies pages of a picture at half-inch margins across the page, its sides in the
// ratio AspectW : AspectH; nothing is drawn outside the margins.
void PrintMetafileCopies(const TMetafile &M, int Copies, int AspectW, int AspectH);

#pragma once
// Picture classes of the class library: TGraphic, the base of every picture kind that
// loads and saves itself, and TPicture, which picks the kind by file extension or
// clipboard format from a registry filled at start-up.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/streams.h"
#include "platform/types.h"

class TCanvas;
class TBitmap;

enum class TProgressStage { Starting, Running, Ending };

class TGraphic {
public:
  virtual ~TGraphic() = default;
  virtual void Draw(TCanvas &Canvas, const TRect &Rect) = 0;
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int W) = 0;
  virtual void SetHeight(int H) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool T) { FTransparent = T; }
  virtual void LoadFromStream(TMemoryStream &Stream) = 0;
  virtual void SaveToStream(TMemoryStream &Stream) = 0;
  // Opens the file whole and loads from it.
  void LoadFromFile(const std::string &Path);
  void SaveToFile(const std::string &Path);
  // Clipboard formats are those of RegisterClipboardFormat.
  virtual void LoadFromClipboardFormat(unsigned Format);
  virtual void SaveToClipboardFormat(unsigned &Format);
  // The picture as a bitmap (what a bitmap assigned from it would hold).
  virtual TBitmap ToBitmap() = 0;

  std::function<void()> OnChange;
  std::function<void(TProgressStage Stage, int Percent)> OnProgress;

protected:
  void Changed() {
    if (OnChange) OnChange();
  }
  void Progress(TProgressStage Stage, int Percent) {
    if (OnProgress) OnProgress(Stage, Percent);
  }
  bool FTransparent = false;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

class TPicture {
public:
  // "gif" -> the class that reads it; Extension without the dot, any case.
  static void RegisterFileFormat(const std::string &Extension, const std::string &Description,
                                 const std::string &ClassName, TGraphicFactory Factory);
  static void RegisterClipboardFormat(unsigned Format, const std::string &ClassName,
                                      TGraphicFactory Factory);
  // Drops every file and clipboard format of the class.
  static void UnregisterGraphicClass(const std::string &ClassName);
  // The description registered for Extension ("" when none).
  static std::string FileFormatDescription(const std::string &Extension);
  static bool SupportsClipboardFormat(unsigned Format);

  // Makes a graphic of the class registered for the file's extension and loads the file;
  // raises EInvalidGraphic "Unknown picture file extension (.ext)" when there is none.
  void LoadFromFile(const std::string &Path);
  void LoadFromClipboardFormat(unsigned Format);
  TGraphic *Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> G) { FGraphic = std::move(G); }

private:
  std::unique_ptr<TGraphic> FGraphic;
};

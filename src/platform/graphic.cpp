#include "platform/graphic.h"

#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/files.h"

namespace {

struct TFileFormat {
  std::string Extension, Description, ClassName;
  TGraphicFactory Factory;
};
struct TClipFormat {
  unsigned Format;
  std::string ClassName;
  TGraphicFactory Factory;
};

std::vector<TFileFormat> &FileFormats() {
  static std::vector<TFileFormat> L;
  return L;
}
std::vector<TClipFormat> &ClipFormats() {
  static std::vector<TClipFormat> L;
  return L;
}

const TFileFormat *FindFormat(const std::string &Ext) {
  std::string E = LowerCase(Ext);
  if (!E.empty() && E[0] == '.') E.erase(0, 1);
  // The latest registration wins, as a later unit may take over an extension.
  for (auto I = FileFormats().rbegin(); I != FileFormats().rend(); ++I)
    if (I->Extension == E) return &*I;
  return nullptr;
}

} // namespace

void TGraphic::LoadFromFile(const std::string &Path) {
  TMemoryStream S;
  S.LoadFromFile(Path);
  LoadFromStream(S);
}

void TGraphic::SaveToFile(const std::string &Path) {
  TMemoryStream S;
  SaveToStream(S);
  S.SaveToFile(Path);
}

void TGraphic::LoadFromClipboardFormat(unsigned) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(unsigned &) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TPicture::RegisterFileFormat(const std::string &Extension, const std::string &Description,
                                  const std::string &ClassName, TGraphicFactory Factory) {
  FileFormats().push_back({LowerCase(Extension), Description, ClassName, std::move(Factory)});
}

void TPicture::RegisterClipboardFormat(unsigned Format, const std::string &ClassName,
                                       TGraphicFactory Factory) {
  ClipFormats().push_back({Format, ClassName, std::move(Factory)});
}

void TPicture::UnregisterGraphicClass(const std::string &ClassName) {
  std::erase_if(FileFormats(), [&](const TFileFormat &F) { return F.ClassName == ClassName; });
  std::erase_if(ClipFormats(), [&](const TClipFormat &F) { return F.ClassName == ClassName; });
}

std::string TPicture::FileFormatDescription(const std::string &Extension) {
  const TFileFormat *F = FindFormat(Extension);
  return F ? F->Description : std::string();
}

bool TPicture::SupportsClipboardFormat(unsigned Format) {
  for (const TClipFormat &F : ClipFormats())
    if (F.Format == Format) return true;
  return false;
}

void TPicture::LoadFromFile(const std::string &Path) {
  std::string Ext = ExtractFileExt(Path);
  const TFileFormat *F = FindFormat(Ext);
  if (!F) throw EInvalidGraphic("Unknown picture file extension (" + LowerCase(Ext) + ")");
  std::unique_ptr<TGraphic> G = F->Factory();
  G->LoadFromFile(Path);
  FGraphic = std::move(G);
}

void TPicture::LoadFromClipboardFormat(unsigned Format) {
  for (auto I = ClipFormats().rbegin(); I != ClipFormats().rend(); ++I)
    if (I->Format == Format) {
      std::unique_ptr<TGraphic> G = I->Factory();
      G->LoadFromClipboardFormat(Format);
      FGraphic = std::move(G);
      return;
    }
  throw EInvalidGraphic("Unsupported clipboard format");
}

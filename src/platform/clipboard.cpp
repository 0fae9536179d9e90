#include "platform/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/bitmap.h"
#include "platform/canvas_impl.h"
#include "platform/encoding.h"
#include "platform/metafile.h"

namespace {
QClipboard *Board() { return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr; }
} // namespace

void TClipboard::Assign(const TMetafile &M) {
  QClipboard *B = Board();
  if (!B) return;
  auto *Mime = new QMimeData;
  std::vector<uint8_t> Png = M.ToPng(), Svg = M.ToSvg();
  Mime->setData("image/png", QByteArray(reinterpret_cast<const char *>(Png.data()), qsizetype(Png.size())));
  Mime->setData("image/svg+xml", QByteArray(reinterpret_cast<const char *>(Svg.data()), qsizetype(Svg.size())));
  B->setMimeData(Mime);
}

void TClipboard::Assign(const TBitmap &Bm) {
  QClipboard *B = Board();
  if (!B) return;
  auto *Mime = new QMimeData;
  std::vector<uint8_t> Png = Bm.SaveToPngData();
  Mime->setData("image/png", QByteArray(reinterpret_cast<const char *>(Png.data()), qsizetype(Png.size())));
  Mime->setImageData(BitmapImageRef(Bm));
  B->setMimeData(Mime);
}

TBitmap TClipboard::AsBitmap() const {
  TBitmap Bm;
  QClipboard *B = Board();
  const QMimeData *M = B ? B->mimeData() : nullptr;
  if (!M) return Bm;
  QByteArray Png = M->data("image/png");
  if (Png.isEmpty() && M->hasImage()) {
    // Another program's image in some other format: through PNG, so that one decoder with
    // its size cap and its white under transparent pixels reads every picture.
    const QImage I = qvariant_cast<QImage>(M->imageData());
    QBuffer Buf(&Png);
    if (I.isNull() || !Buf.open(QIODevice::WriteOnly) || !I.save(&Buf, "PNG")) Png.clear();
  }
  if (Png.isEmpty() || !Bm.LoadFromPngData(std::vector<uint8_t>(Png.begin(), Png.end())))
    return TBitmap();
  return Bm;
}

void TClipboard::SetAsText(const std::string &Text, bool FromWindows1252) {
  QClipboard *B = Board();
  if (!B) return;
  std::string Utf8 = FromWindows1252 ? DecodeToUtf8(Text, TCodePage::Windows1252) : Text;
  B->setText(QString::fromUtf8(Utf8.data(), qsizetype(Utf8.size())));
}

std::string TClipboard::AsText() const {
  QClipboard *B = Board();
  return B ? B->text().toStdString() : std::string();
}

bool TClipboard::HasPicture() const {
  QClipboard *B = Board();
  if (!B || !B->mimeData()) return false;
  const QMimeData *M = B->mimeData();
  if (M->hasImage()) return true;
  for (const QString &F : M->formats())
    if (F.startsWith("image/")) return true;
  return false;
}

bool TClipboard::HasFormat(TClipboardFormat F) const {
  switch (F) {
  case CF_TEXT: {
    QClipboard *B = Board();
    return B && B->mimeData() && B->mimeData()->hasText();
  }
  case CF_ENHMETAFILE:
  case CF_METAFILEPICT: return HasMimeType("image/svg+xml");
  default: return HasPicture();
  }
}

bool TClipboard::HasMimeType(const std::string &Mime) const {
  QClipboard *B = Board();
  return B && B->mimeData() && B->mimeData()->hasFormat(QString::fromStdString(Mime));
}

std::string TClipboard::DataOf(const std::string &Mime) const {
  QClipboard *B = Board();
  if (!B || !B->mimeData()) return {};
  QByteArray D = B->mimeData()->data(QString::fromStdString(Mime));
  return std::string(D.constData(), size_t(D.size()));
}

namespace {
std::vector<std::string> &FormatNames() {
  static std::vector<std::string> L;
  return L;
}
constexpr unsigned FirstNamedFormat = 0xC000;
} // namespace

unsigned RegisterClipboardFormat(const std::string &Name) {
  auto &L = FormatNames();
  for (size_t I = 0; I < L.size(); ++I)
    if (L[I] == Name) return FirstNamedFormat + unsigned(I);
  L.push_back(Name);
  return FirstNamedFormat + unsigned(L.size() - 1);
}

std::string ClipboardFormatMime(unsigned Format) {
  if (Format == CF_BITMAP) return "image/png";
  if (Format < FirstNamedFormat || Format - FirstNamedFormat >= FormatNames().size()) return {};
  std::string M = "application/x-vornelle-";
  for (char C : FormatNames()[Format - FirstNamedFormat])
    M += (C == ' ') ? '-' : char(C >= 'A' && C <= 'Z' ? C + 32 : C);
  return M;
}

void TClipboard::SetFormatData(unsigned Format, const std::vector<uint8_t> &Data) {
  QClipboard *B = Board();
  std::string Mime = ClipboardFormatMime(Format);
  if (!B || Mime.empty()) return;
  auto *New = new QMimeData;
  if (const QMimeData *Old = B->mimeData()) {
    for (const QString &F : Old->formats()) New->setData(F, Old->data(F));
    if (Old->hasImage()) New->setImageData(Old->imageData());
  }
  New->setData(QString::fromStdString(Mime),
               QByteArray(reinterpret_cast<const char *>(Data.data()), qsizetype(Data.size())));
  B->setMimeData(New);
}

std::vector<uint8_t> TClipboard::FormatData(unsigned Format) const {
  std::string D = DataOf(ClipboardFormatMime(Format));
  return std::vector<uint8_t>(D.begin(), D.end());
}

bool TClipboard::HasFormatNumber(unsigned Format) const {
  std::string Mime = ClipboardFormatMime(Format);
  return !Mime.empty() && HasMimeType(Mime);
}

void TClipboard::Clear() {
  if (QClipboard *B = Board()) B->clear();
}

TClipboard &Clipboard() {
  static TClipboard C;
  return C;
}

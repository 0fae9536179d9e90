#include "platform/clipboard.h"

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

void TClipboard::Clear() {
  if (QClipboard *B = Board()) B->clear();
}

TClipboard &Clipboard() {
  static TClipboard C;
  return C;
}

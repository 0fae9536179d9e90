#pragma once
// The clipboard: pictures as image/png + image/svg+xml of the same recording, bitmaps as
// images (and read back as bitmaps), text as UTF-8 plain text.
#include <cstdint>
#include <string>
#include <vector>

class TMetafile;
class TBitmap;

enum TClipboardFormat { CF_TEXT, CF_BITMAP, CF_METAFILEPICT, CF_ENHMETAFILE, CF_PICTURE };

class TClipboard {
public:
  void Assign(const TMetafile &Metafile);
  void Assign(const TBitmap &Bitmap);
  // The picture on the clipboard as a bitmap (a copied bitmap, or a metafile's rendering,
  // or another program's image); an empty bitmap when it holds none.
  TBitmap AsBitmap() const;
  // Text in UTF-8; FromWindows1252 converts single-byte page text first.
  void SetAsText(const std::string &Text, bool FromWindows1252 = false);
  std::string AsText() const; // UTF-8
  // Any image format counts as a picture.
  bool HasPicture() const;
  bool HasFormat(TClipboardFormat Format) const;
  bool HasMimeType(const std::string &Mime) const;
  std::string DataOf(const std::string &Mime) const; // raw bytes of one format
  // Data of a format registered by name: it is added to what the clipboard holds, so a
  // picture and its own format can stand side by side.
  void SetFormatData(unsigned Format, const std::vector<uint8_t> &Data);
  std::vector<uint8_t> FormatData(unsigned Format) const;
  bool HasFormatNumber(unsigned Format) const;
  void Clear();
  void Open() {}
  void Close() {}
};

TClipboard &Clipboard();

// A number for a named clipboard format, the same for the same name (from 0xC000 on,
// as the system gives them); the data travels as "application/x-vornelle-<name>".
unsigned RegisterClipboardFormat(const std::string &Name);
// The format's MIME type; built-in formats give "" except CF_BITMAP ("image/png").
std::string ClipboardFormatMime(unsigned Format);

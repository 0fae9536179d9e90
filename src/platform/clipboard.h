#pragma once
// The clipboard: pictures as image/png + image/svg+xml of the same recording, bitmaps as
// images, text as UTF-8 plain text.
#include <string>

class TMetafile;
class TBitmap;

enum TClipboardFormat { CF_TEXT, CF_BITMAP, CF_METAFILEPICT, CF_ENHMETAFILE, CF_PICTURE };

class TClipboard {
public:
  void Assign(const TMetafile &Metafile);
  void Assign(const TBitmap &Bitmap);
  // Text in UTF-8; FromWindows1252 converts single-byte page text first.
  void SetAsText(const std::string &Text, bool FromWindows1252 = false);
  std::string AsText() const; // UTF-8
  // Any image format counts as a picture.
  bool HasPicture() const;
  bool HasFormat(TClipboardFormat Format) const;
  bool HasMimeType(const std::string &Mime) const;
  std::string DataOf(const std::string &Mime) const; // raw bytes of one format
  void Clear();
  void Open() {}
  void Close() {}
};

TClipboard &Clipboard();

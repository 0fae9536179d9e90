#pragma once
// Single-byte text: page text is kept as bytes and decoded by its code page (Windows-1252
// unless a page's META names another).
#include <cstdint>
#include <string>
#include <string_view>

enum class TCodePage {
  Windows1252, Windows1250, Windows1251, Windows1253, Windows1254, Windows1255,
  Windows1256, Windows1257, Windows1258, Iso8859_1, Iso8859_2, Iso8859_3, Iso8859_4,
  Iso8859_5, Iso8859_6, Iso8859_7, Iso8859_8, Iso8859_9, Iso8859_15, Koi8R, Cp866
};

// Looks a charset name up ("windows-1250", "iso-8859-2", "latin1", "koi8-r", "cp866",
// case-insensitive, also "x-cp1250"/"cp1250"). False when unknown (Page unchanged).
bool CodePageByName(std::string_view Name, TCodePage &Page);
// The code page of a font charset (EASTEUROPE_CHARSET -> Windows1250 ...).
TCodePage CodePageOfCharset(int Charset);

// The character of one byte (bytes a page has no character for give U+FFFD).
char16_t DecodeByte(uint8_t Byte, TCodePage Page = TCodePage::Windows1252);
std::u16string DecodeText(std::string_view Bytes, TCodePage Page = TCodePage::Windows1252);
std::string DecodeToUtf8(std::string_view Bytes, TCodePage Page = TCodePage::Windows1252);

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes are read as Windows-1252 characters.
std::u16string Utf8ToUtf16(std::string_view Utf8);
std::string Utf16ToUtf8(std::u16string_view Text);
bool IsValidUtf8(std::string_view Bytes);
// Text to the bytes of a code page; characters it lacks become '?'.
std::string EncodeText(std::u16string_view Text, TCodePage Page);
// UTF-8 to Windows-1252; characters it lacks become '?'.
std::string Utf8ToWindows1252(std::string_view Utf8);

#pragma once
// Link names to file names: percent escapes and "file:" URLs to DOS-style paths.
#include <string>

// Decodes "%xx" escapes in one left-to-right pass. A '%' in the first position, one not
// followed by two hexadecimal digits, or "%00" ends the decoding; what was decoded
// before stays.
void DecodePercentEscapes(std::string &S);
// Decoded; a name with '/' loses its "file:///" (or "file://") prefix, '|' becomes ':'
// and '/' becomes '\'.
std::string UrlToDosPath(const std::string &S);
// UrlToDosPath(Name), with Root in front when that begins with '\'.
std::string JoinRootAndName(const std::string &Name, const std::string &Root);

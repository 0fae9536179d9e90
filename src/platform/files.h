#pragma once
// Files: the program folder, DOS-style names resolved case-insensitively, reading with a
// size cap, and the class library's name helpers. Paths use '/'.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/numbers.h"

class EFileError : public Exception {
public:
  using Exception::Exception;
};

// The folder of the executable, with a trailing '/'.
std::string ProgramDir();
// Name from a page or link: '\' becomes '/', a drive letter ("C:") is dropped, "." and
// ".." are applied (never above Base), and each component is matched case-insensitively
// inside Base (a folder, with or without trailing '/'). A leading '\' means Base itself;
// with an empty Base the name is resolved from the root or the working folder.
// Returns the existing path, or Base + the cleaned name when some component is missing.
std::string ResolvePath(const std::string &Base, const std::string &Name);
bool FileExists(const std::string &Path);
// What on the way to Path is there but cannot be read: a folder that is no folder or cannot
// be listed, or Path itself when it is no file or cannot be opened. "" when the file can be
// read, or when something on the way is simply missing.
std::string UnreadablePart(const std::string &Path);
bool DirectoryExists(const std::string &Path);
int64_t FileSize(const std::string &Path); // -1 when missing
// Reads a whole file; raises EFileError "Cannot open file <name>" or
// "File <name> is larger than <n> bytes".
std::vector<uint8_t> ReadFileBytes(const std::string &Path, int64_t MaxSize = 64 << 20);
std::string ReadFileString(const std::string &Path, int64_t MaxSize = 64 << 20);
bool WriteFileBytes(const std::string &Path, const std::vector<uint8_t> &Data);
// A picture of res/ compiled into the program, by resource name: "PLUS" with Ext ".png" is
// ":/PLUS.png"; also tried are the name as given and, with Ext, in lower and in upper case.
// False when none of them exists.
bool ReadResourceBytes(const std::string &Name, const std::string &Ext, std::vector<uint8_t> &Data);

// "dir/" of "dir/name.ext" (with '/' or '\'), "name.ext", ".ext".
std::string ExtractFilePath(const std::string &Path);
std::string ExtractFileName(const std::string &Path);
std::string ExtractFileExt(const std::string &Path);
std::string ChangeFileExt(const std::string &Path, const std::string &Ext);
// Adds a trailing '/' when missing.
std::string IncludeTrailingSlash(const std::string &Path);
// The full name of Path from the working folder, "." and ".." applied (Path when that fails).
std::string ExpandFileName(const std::string &Path);

// ASCII only; other bytes stay as they are.
std::string UpperCase(const std::string &S);
std::string LowerCase(const std::string &S);
// <0, 0, >0, ignoring ASCII case.
int CompareText(const std::string &A, const std::string &B);
bool SameText(const std::string &A, const std::string &B);

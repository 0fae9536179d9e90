#include "platform/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string CleanSeparators(std::string Name) {
  for (char &C : Name)
    if (C == '\\') C = '/';
  if (Name.size() >= 2 && std::isalpha(static_cast<unsigned char>(Name[0])) && Name[1] == ':')
    Name.erase(0, 2);
  return Name;
}
} // namespace

std::string ProgramDir() {
  std::string Dir;
  if (QCoreApplication::instance()) Dir = QCoreApplication::applicationDirPath().toStdString();
  if (Dir.empty()) {
    std::error_code Ec;
    fs::path P = fs::read_symlink("/proc/self/exe", Ec);
    Dir = Ec ? std::string(".") : P.parent_path().string();
  }
  return IncludeTrailingSlash(Dir);
}

std::string IncludeTrailingSlash(const std::string &Path) {
  if (Path.empty() || Path.back() == '/') return Path;
  return Path + '/';
}

std::string ExpandFileName(const std::string &Path) {
  if (Path.empty()) return Path;
  std::error_code Ec;
  const fs::path Full = fs::absolute(fs::path(Path), Ec);
  return Ec ? Path : Full.lexically_normal().string();
}

std::string ResolvePath(const std::string &Base, const std::string &Name) {
  std::string N = CleanSeparators(Name);
  // Names stay inside Base: a leading '\' (after a dropped drive) means Base itself, and
  // ".." never climbs above it. Without a Base the name is taken as it is.
  std::string Cur = Base.empty() ? (N.size() && N[0] == '/' ? std::string("/") : std::string("./"))
                                 : IncludeTrailingSlash(Base);
  // Split into components, applying "." and "..".
  std::vector<std::string> Parts;
  size_t I = 0;
  while (I <= N.size()) {
    size_t J = N.find('/', I);
    if (J == std::string::npos) J = N.size();
    std::string C = N.substr(I, J - I);
    if (C == "..") { if (!Parts.empty()) Parts.pop_back(); }
    else if (!C.empty() && C != ".") Parts.push_back(C);
    I = J + 1;
  }
  bool Missing = false;
  for (size_t K = 0; K < Parts.size(); ++K) {
    const std::string &C = Parts[K];
    std::string Found;
    if (!Missing) {
      std::error_code Ec;
      if (fs::exists(Cur + C, Ec)) Found = C;
      else {
        for (fs::directory_iterator It(Cur, Ec), End; !Ec && It != End; It.increment(Ec)) {
          std::string E = It->path().filename().string();
          if (SameText(E, C)) { Found = E; break; }
        }
      }
    }
    if (Found.empty()) { Missing = true; Found = C; }
    Cur += Found;
    if (K + 1 < Parts.size()) Cur += '/';
  }
  return Cur;
}

bool FileExists(const std::string &Path) {
  std::error_code Ec;
  return fs::is_regular_file(Path, Ec);
}

std::string UnreadablePart(const std::string &Path) {
  const fs::path File(Path);
  std::vector<fs::path> Way;
  for (fs::path F = File.parent_path(); !F.empty() && F != F.root_path(); F = F.parent_path())
    Way.push_back(F);
  for (auto It = Way.rbegin(); It != Way.rend(); ++It) {
    std::error_code Ec;
    const fs::file_status S = fs::status(*It, Ec);
    if (S.type() == fs::file_type::not_found) return "";
    if (Ec || !fs::is_directory(S)) return It->string();
    fs::directory_iterator List(*It, Ec);
    if (Ec) return It->string();
  }
  std::error_code Ec;
  const fs::file_status S = fs::status(File, Ec);
  if (S.type() == fs::file_type::not_found) return "";
  if (Ec || !fs::is_regular_file(S)) return Path;
  std::ifstream In(Path, std::ios::binary);
  return In ? "" : Path;
}

bool DirectoryExists(const std::string &Path) {
  std::error_code Ec;
  return fs::is_directory(Path, Ec);
}

int64_t FileSize(const std::string &Path) {
  std::error_code Ec;
  auto S = fs::file_size(Path, Ec);
  return Ec ? -1 : int64_t(S);
}

std::vector<uint8_t> ReadFileBytes(const std::string &Path, int64_t MaxSize) {
  if (!FileExists(Path)) throw EFileError("Cannot open file " + Path);
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw EFileError("Cannot open file " + Path);
  int64_t Size = FileSize(Path);
  if (Size > MaxSize) throw EFileError("File " + Path + " is larger than " + std::to_string(MaxSize) + " bytes");
  std::vector<uint8_t> Data(size_t(std::max<int64_t>(Size, 0)));
  if (!Data.empty()) In.read(reinterpret_cast<char *>(Data.data()), std::streamsize(Data.size()));
  Data.resize(size_t(In.gcount() > 0 ? In.gcount() : 0));
  return Data;
}

std::string ReadFileString(const std::string &Path, int64_t MaxSize) {
  std::vector<uint8_t> D = ReadFileBytes(Path, MaxSize);
  return std::string(D.begin(), D.end());
}

bool WriteFileBytes(const std::string &Path, const std::vector<uint8_t> &Data) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  if (!Out) return false;
  Out.write(reinterpret_cast<const char *>(Data.data()), std::streamsize(Data.size()));
  return bool(Out);
}

bool ReadResourceBytes(const std::string &Name, const std::string &Ext,
                       std::vector<uint8_t> &Data) {
  const QString N = QString::fromStdString(Name), E = QString::fromStdString(Ext);
  for (const QString &C :
       {":/" + N + E, ":/" + N, ":/" + N.toLower() + E, ":/" + N.toUpper() + E}) {
    QFile F(C);
    if (!F.exists() || !F.open(QIODevice::ReadOnly)) continue;
    const QByteArray Bytes = F.readAll();
    Data.assign(Bytes.begin(), Bytes.end());
    return true;
  }
  return false;
}

namespace {
size_t LastSeparator(const std::string &P) {
  size_t A = P.find_last_of("/\\:");
  return A;
}
} // namespace

std::string ExtractFilePath(const std::string &Path) {
  size_t S = LastSeparator(Path);
  return S == std::string::npos ? std::string() : Path.substr(0, S + 1);
}

std::string ExtractFileName(const std::string &Path) {
  size_t S = LastSeparator(Path);
  return S == std::string::npos ? Path : Path.substr(S + 1);
}

std::string ExtractFileExt(const std::string &Path) {
  size_t D = Path.find_last_of(".");
  size_t S = LastSeparator(Path);
  if (D == std::string::npos || (S != std::string::npos && D < S)) return "";
  return Path.substr(D);
}

std::string ChangeFileExt(const std::string &Path, const std::string &Ext) {
  std::string E = ExtractFileExt(Path);
  return Path.substr(0, Path.size() - E.size()) + Ext;
}

std::string UpperCase(const std::string &S) {
  std::string R = S;
  for (char &C : R)
    if (C >= 'a' && C <= 'z') C = char(C - 32);
  return R;
}

std::string LowerCase(const std::string &S) {
  std::string R = S;
  for (char &C : R)
    if (C >= 'A' && C <= 'Z') C = char(C + 32);
  return R;
}

int CompareText(const std::string &A, const std::string &B) {
  size_t N = std::min(A.size(), B.size());
  for (size_t I = 0; I < N; ++I) {
    unsigned char X = A[I], Y = B[I];
    if (X >= 'a' && X <= 'z') X -= 32;
    if (Y >= 'a' && Y <= 'z') Y -= 32;
    if (X != Y) return int(X) - int(Y);
  }
  return int(A.size()) - int(B.size());
}

bool SameText(const std::string &A, const std::string &B) { return CompareText(A, B) == 0; }

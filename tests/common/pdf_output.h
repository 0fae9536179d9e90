#pragma once
// Printed output of the tests: the pages printed and the PDF files, in the build folder,
// and a PDF's page count.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline std::string OutPath(const std::string &Name) {
  return std::string(VORNELLE_BINARY_DIR) + "/" + Name;
}

// Writes a page to print into the folder Dir of the build folder; its path.
inline std::string WriteOutPage(const std::string &Dir, const std::string &Name,
                                const std::string &Html) {
  const std::string Folder = OutPath(Dir);
  std::filesystem::create_directories(Folder);
  const std::string Path = Folder + "/" + Name;
  std::ofstream(Path, std::ios::binary) << Html;
  return Path;
}

// Page objects, not the page tree ("/Type /Pages").
inline int PdfPages(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  int Pages = 0;
  for (size_t At = 0; (At = Bytes.find("/Type /Page", At)) != std::string::npos; ++At)
    if (Bytes.compare(At, 12, "/Type /Pages") != 0) ++Pages;
  return Pages;
}

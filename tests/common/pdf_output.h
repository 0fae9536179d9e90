#pragma once
// Printed output of the tests: PDF files in the build folder, and their page count.
#include <fstream>
#include <iterator>
#include <string>

inline std::string OutPath(const std::string &Name) {
  return std::string(VORNELLE_BINARY_DIR) + "/" + Name;
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

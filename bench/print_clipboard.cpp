// Prints the text on the clipboard of the current display (for checking copies by hand).
#include <QApplication>
#include <QClipboard>
#include <cstdio>

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  std::printf("%s\n", QApplication::clipboard()->text().toUtf8().constData());
  return 0;
}

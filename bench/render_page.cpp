// Renders a page in the viewer control to a PNG: render_page FILE OUT.png [WIDTH HEIGHT [SCROLL]]
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "htmlview/html_pane.h"

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: render_page FILE OUT.png [WIDTH HEIGHT [SCROLL]]\n");
    return 2;
  }
  QApplication App(argc, argv);
  THtmlPane Pane;
  int W = argc > 4 ? std::atoi(argv[3]) : 520, H = argc > 4 ? std::atoi(argv[4]) : 700;
  Pane.resize(W, H);
  Pane.show();
  try {
    Pane.LoadFromFile(argv[1]);
  } catch (const std::exception &E) {
    std::fprintf(stderr, "%s\n", E.what());
    return 1;
  }
  if (argc > 5) Pane.SetPosition(std::atoi(argv[5]));
  Pane.LayoutAndPaint();
  App.processEvents();
  Pane.PaintPanel()->PaintNow();
  QImage Img = Pane.grab().toImage();
  Img.save(argv[2]);
  std::printf("title \"%s\" document %d px, visible %d px, %d sections\n", Pane.Title().c_str(),
              Pane.DocumentHeight(), Pane.VisibleHeight(), Pane.Document().Count());
  return 0;
}

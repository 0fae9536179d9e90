#include <QApplication>

#include "app/program_main.h"

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  return ProgramMain();
}

// Linked into the program and the tests when they are built with the sanitizers: leak
// checking reads the suppression file of system libraries beside this file.
extern "C" const char *__lsan_default_options() {
  return "suppressions=" VORNELLE_LSAN_SUPPRESSIONS;
}

// fontconfig keeps its configuration and caches until the process ends; the leak checker of sanitizer builds
// is told so, so that it reports only our own leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

// Linked into every test program: tests run headless, and write their pictures into the build's test-output
// folder, unless the caller chose otherwise.
#include <cstdlib>

namespace {

const bool environmentSet = [] {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QUENDREL_TEST_OUTPUT", QUENDREL_TEST_OUTPUT_DIR, 0);
  return true;
}();

} // namespace

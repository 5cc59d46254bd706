// Never built: the tools' include check is run on it and must fail, so that a check that can no longer see
// anything is noticed.
#include "tests/support/TestSupport.h"

// Never built: the model's include check is run on it and must fail, so that a check that can no longer see
// anything is noticed.
#include "app/Game.h"
#include "classlib/controls/Timer.h"

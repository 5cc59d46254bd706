// Never built: the backend include check must catch this include from above the backend.
#include "classlib/graphics/Surface.h"

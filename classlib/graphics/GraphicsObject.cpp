#include "classlib/graphics/GraphicsObject.h"

#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TGraphicsObject, TPersistent) {}

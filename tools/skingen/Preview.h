// A mock window per style, composed from the finished pictures the way the skinned controls use them, so
// that the contact sheet shows how the pieces look together.
#pragma once

#include "tools/skingen/Image.h"
#include "tools/skingen/Style.h"

namespace skingen {

Image renderPreview(Style style);

} // namespace skingen

#pragma once
// Finding the components a window's form resource created, by name and kind.
#include "classlib/core/Component.h"
#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"

// The component Name of Root, which must be a T; a form resource without it is broken, and says so.
template <class T> T* FormPart(const TComponent* Root, const char* Name) {
  T* part = dynamic_cast<T*>(Root->FindComponent(Name));
  if (!part)
    throw EComponentError(Format("The form resource of %s has no component %s of the expected kind",
                                 Root->ClassName().c_str(), Name));
  return part;
}

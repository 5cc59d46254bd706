#include "classlib/core/Object.h"

#include "classlib/core/TypInfo.h"

TClass TObject::StaticClass() {
  static const TMetaClass meta = MakeMetaClass<TObject>("TObject", nullptr, nullptr);
  static const bool registered = (RegisterClass(&meta), true);
  (void)registered;
  return &meta;
}

AnsiString TObject::ClassName() const {
  return ClassType()->Name;
}

bool TObject::InheritsFrom(TClass ancestor) const {
  return ClassType()->InheritsFrom(ancestor);
}

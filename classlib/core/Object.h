#pragma once
// TObject: the root of every class-library class. Each class that publishes properties, methods or wants to
// be created by name declares itself with QUENDREL_CLASS and registers its meta class in its .cpp with
// QUENDREL_REGISTER_CLASS (see TypInfo.h).
#include "classlib/core/AnsiString.h"

class TMetaClass;
using TClass = const TMetaClass*;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }

  AnsiString ClassName() const;
  bool InheritsFrom(TClass ancestor) const;
};

// Declares the class-type hooks. Put it first in the class body; it leaves the access at `private`.
// `inherited` names the base class, so that handlers read "call the inherited handler".
#define QUENDREL_CLASS(Class, Base)                                                                          \
 public:                                                                                                     \
  using inherited = Base;                                                                                    \
  static TClass StaticClass();                                                                               \
  TClass ClassType() const override {                                                                        \
    return Class::StaticClass();                                                                             \
  }                                                                                                          \
                                                                                                             \
 private:

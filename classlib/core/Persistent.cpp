#include "classlib/core/Persistent.h"

#include "classlib/core/Exception.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TPersistent, TObject) {}

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) throw EConvertError(Format("Cannot assign a nil to a %s", ClassName().c_str()));
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  throw EConvertError(
      Format("Cannot assign a %s to a %s", ClassName().c_str(), Dest ? Dest->ClassName().c_str() : "nil"));
}

AnsiString TPersistent::GetNamePath() {
  return ClassName();
}

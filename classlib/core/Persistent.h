#pragma once
// TPersistent: an object that can copy itself from another (Assign) and store its own custom data in a form
// stream (DefineProperties).
#include "classlib/core/Object.h"

class TFiler;

class TPersistent : public TObject {
  QUENDREL_CLASS(TPersistent, TObject)
 public:
  // Copies Source into this object. Source's AssignTo is asked when this class does not know Source's class;
  // when neither does, EConvertError "Cannot assign a <source class> to a <this class>" is raised.
  virtual void Assign(TPersistent* Source);
  // The object that owns this one, for name paths (a font's control, a collection item's collection).
  virtual TPersistent* GetOwner() { return nullptr; }
  virtual AnsiString GetNamePath();

  // Reads and writes data that has no published property, through a form stream's filer.
  virtual void DefineProperties(TFiler* Filer) { (void)Filer; }

 protected:
  virtual void AssignTo(TPersistent* Dest);
};

#pragma once
// TOpenPictureDialog: an open dialog whose filter offers every picture kind that TPicture::LoadFromFile
// reads, all of them together first.
#include "classlib/controls/Dialogs.h"

// "All (*.jpg;...)|*.jpg;...|JPEG Image File (*.jpg)|*.jpg|..." for the picture kinds the class library
// reads.
AnsiString GraphicFilter();

class TOpenPictureDialog : public TOpenDialog {
  QUENDREL_CLASS(TOpenPictureDialog, TOpenDialog)
 public:
  explicit TOpenPictureDialog(TComponent* AOwner);
};

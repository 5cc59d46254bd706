#pragma once
// TPicture: holds one graphic of any kind. LoadFromFile chooses the kind by the file's extension: ".bmp" a
// TBitmap, ".jpg"/".jpeg" a TJPEGImage, ".ico" a TIcon, anything else a TRasterImage decoded by the backend's
// image loader. Asking for Bitmap replaces a graphic of another kind with an empty bitmap.
#include <memory>

#include "classlib/core/Event.h"
#include "classlib/core/Persistent.h"
#include "classlib/graphics/Graphic.h"

class TBitmap;

class TPicture : public TPersistent {
  QUENDREL_CLASS(TPicture, TPersistent)
 public:
  TPicture();
  ~TPicture() override;

  // From another picture or a graphic (copied), or null (emptied).
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(TGraphic* Value); // copies Value
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  int Width() const;
  int Height() const;

  // Raises EInvalidGraphic for an unreadable file and for an unknown extension the backend cannot read
  // either; the picture keeps what it had then.
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);

  TNotifyEvent OnChange;

  // A picture stored with its form: "Data" holds the graphic's class name and the graphic.
  void DefineProperties(TFiler* Filer) override;

 protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void Changed(TObject* Sender);

 private:
  void Adopt(std::unique_ptr<TGraphic> Graphic);
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);

  std::unique_ptr<TGraphic> FGraphic;
};

#pragma once
// TGraphic: a picture that can draw itself, load and save. TBitmap, TJPEGImage, TIcon and TRasterImage
// derive from it; TPicture holds one of them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/core/Event.h"
#include "classlib/core/Persistent.h"
#include "classlib/core/Types.h"

class TCanvas;
class TStream;

class TGraphic : public TPersistent {
  QUENDREL_CLASS(TGraphic, TPersistent)
 public:
  TGraphic() = default;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // Draws the picture stretched over Rect of Canvas. Canvas::Draw and StretchDraw call this.
  virtual void Draw(TCanvas* Canvas, const TRect& Rect) = 0;

  // Loading raises EInvalidGraphic for data that is not a picture of this kind.
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void SaveToFile(const AnsiString& FileName);

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();

 private:
  bool FTransparent = false;
  bool FModified = false;
};

// The remaining bytes of a stream, read in one piece (decoders work on memory).
std::vector<uint8_t> ReadRemainingBytes(TStream* Stream);

#pragma once
// TImageList: equal-sized images, each with an optional mask, drawn opaque, masked, or greyed when disabled.
#include <vector>

#include "classlib/core/Component.h"
#include "classlib/core/Event.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/Surface.h"

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
  QUENDREL_CLASS(TImageList, TComponent)
 public:
  explicit TImageList(TComponent* AOwner);
  // A list of images of Width x Height, without owner.
  TImageList(int Width, int Height);

  int Width() const { return FWidth; }
  void SetWidth(int Value); // clears the list
  int Height() const { return FHeight; }
  void SetHeight(int Value); // clears the list
  int Count() const { return static_cast<int>(FImages.size()); }
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value) { FMasked = Value; }
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value) { FBkColor = Value; }

  // Adds Image, cut into as many images as its width holds (at least one). Mask: white pixels are left
  // undrawn (null: none). Answers the index of the first image added.
  int Add(TBitmap* Image, TBitmap* Mask);
  // Adds Image with its pixels of MaskColor left undrawn.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  void Delete(int Index);
  void Clear();

  // Draws image Index at (X, Y): masked pixels left out; greyed (embossed in the button shadow and
  // highlight colours) when not Enabled. An index outside the list draws nothing.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  // Image Index, opaque, into Image (sized to the list's images). Raises EInvalidOperation for a bad index.
  void GetBitmap(int Index, TBitmap* Image);

  TNotifyEvent OnChange;

 private:
  struct TImage {
    TSurface Pixels;
    std::vector<uint8_t> Mask; // 1 = drawn; empty = all drawn
  };
  void AddPieces(const TSurface& Source, const std::vector<uint8_t>* Mask);
  void Changed();

  int FWidth = 16;
  int FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = 0x1FFFFFFF; // clNone
  std::vector<TImage> FImages;
};

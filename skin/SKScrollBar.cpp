#include "skin/SKScrollBar.h"

#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

QUENDREL_REGISTER_CLASS(TskScrollBar, TCustomPanel) {
  c.Creatable();
  c.Property("FileTheme", &TskScrollBar::FileTheme, &TskScrollBar::SetFileTheme);
  c.Property("LineButton", &TskScrollBar::LineButton, &TskScrollBar::SetLineButton);
  c.Enum("Orientation", &TskScrollBar::Orientation, &TskScrollBar::SetOrientation,
         TskProgressBarOrientationNames);
  c.Enum("UIStyle", &TskScrollBar::UIStyle, &TskScrollBar::SetUIStyle, TskUIStyleNames);
  c.Property("Max", &TskScrollBar::Max, &TskScrollBar::SetMax);
  c.Property("Min", &TskScrollBar::Min, &TskScrollBar::SetMin);
  c.Property("Position", &TskScrollBar::Position, &TskScrollBar::SetPosition);
  c.Property("SmallChange", &TskScrollBar::SmallChange, &TskScrollBar::SetSmallChange);
  c.Property("LargeChange", &TskScrollBar::LargeChange, &TskScrollBar::SetLargeChange);
  c.Property("PageSize", &TskScrollBar::PageSize, &TskScrollBar::SetPageSize);
  c.Event("OnChange", &TskScrollBar::OnChangeEvent);
}

TskScrollBar::TskScrollBar(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Exclude(csAcceptsControls);
  FSliderStart = std::make_unique<TBitmap>();
  FSliderMiddle = std::make_unique<TBitmap>();
  FSliderEnd = std::make_unique<TBitmap>();
  FTrack = new TskScrollTrackBar(this);
  FTrack->SetParent(this);
  FTrack->SetShowTick(false);
  FTrack->SetTabStop(false);
  FTrack->SetTransparent(false);
  FTrack->SetMax(100);
  FIncButton = new TskImageButton(this);
  FIncButton->SetParent(this);
  FIncButton->OnMouseContinuouslyDown = TNotifyEvent(this, &TskScrollBar::MouseContinuouslyDownInc);
  FIncButton->SetMouseContinuouslyDownInterval(100);
  FIncButton->SetTabStop(false);
  FDecButton = new TskImageButton(this);
  FDecButton->SetParent(this);
  FDecButton->OnMouseContinuouslyDown = TNotifyEvent(this, &TskScrollBar::MouseContinuouslyDownDec);
  FDecButton->SetMouseContinuouslyDownInterval(100);
  FDecButton->SetTabStop(false);
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetOrientation(skHorizontal);
  FSmallChange = 1;
  FLineButton = 0;
  SetHeight(185);
  // Until the buttons hold their pictures they have no size; placing by them then would collapse the bar
  // to nothing and hide it for good.
  FBuilt = true;
  SetUIStyle(GetSKFormStyle(AOwner));
  PlaceTrackBarAndButton();
}

TskScrollBar::~TskScrollBar() {
  // The children call back into this object: they go while it is still whole.
  delete FDecButton;
  FDecButton = nullptr;
  delete FIncButton;
  FIncButton = nullptr;
  delete FTrack;
  FTrack = nullptr;
}

void TskScrollBar::SetOrientation(TskProgressBarOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  UpdatePictures();
  PlaceTrackBarAndButton();
}

void TskScrollBar::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  FTrack->SetColor(Color());
  UpdatePictures();
  PlaceTrackBarAndButton();
}

void TskScrollBar::SetPosition(int Value) {
  if (Value != FTrack->Position()) FTrack->SetPosition(Value);
}

void TskScrollBar::SetSmallChange(int Value) {
  if (Value >= 1 && Value <= 32767) FSmallChange = static_cast<TScrollBarInc>(Value);
}

void TskScrollBar::SetPageSize(int Value) {
  FTrack->SetPageSize(Value);
  UpdateSliderPic();
}

void TskScrollBar::SetLineButton(int Value) {
  // The slider is never drawn shorter than 18 pixels, so a shorter length asked again changes nothing;
  // a list that grows one item at a time would otherwise rebuild and repaint the slider for every item.
  const int drawn = Value > 0 && Value < 18 ? 18 : Value;
  if (Value == FLineButton || drawn == FLineButton) return;
  const int room = FOrientation == skHorizontal ? Width() - FIncButton->Width() - FDecButton->Width()
                                                : Height() - FIncButton->Height() - FDecButton->Height();
  if (Value > room) return;
  FLineButton = Value;
  UpdateSliderPic();
}

void TskScrollBar::MouseContinuouslyDownInc(TObject*) {
  FTrack->SetPosition(SaturatedAdd(FTrack->Position(), FSmallChange));
}

void TskScrollBar::MouseContinuouslyDownDec(TObject*) {
  FTrack->SetPosition(SaturatedAdd(FTrack->Position(), -FSmallChange));
}

void TskScrollBar::UpdatePictures() {
  FTrack->SetBarImage(nullptr);
  SetColor(FTheme.Color(31));
  FTheme.Bitmap(33, FSliderStart.get(), 3, 1);
  FTheme.Bitmap(33, FSliderMiddle.get(), 3, 2);
  FTheme.Bitmap(33, FSliderEnd.get(), 3, 3);
  // The arrow strip is drawn for the vertical bar.
  TskImageButton* const buttons[2] = {FDecButton, FIncButton};
  for (int piece = 1; piece <= 6; ++piece) {
    TBitmap arrow;
    FTheme.Bitmap(32, &arrow, 6, piece);
    if (FOrientation == skHorizontal) RoundPicture(&arrow);
    TPicture picture;
    picture.SetBitmap(&arrow);
    TskImageButton* button = buttons[(piece - 1) / 3];
    switch ((piece - 1) % 3) {
    case 0:
      button->SetPicNormal(&picture);
      break;
    case 1:
      button->SetPicMouseOn(&picture);
      break;
    default:
      button->SetPicMouseDown(&picture);
      break;
    }
  }
  // The slider strip is drawn for the horizontal bar.
  if (FOrientation == skVertical) {
    RoundPicture3(FSliderStart.get());
    RoundPicture3(FSliderMiddle.get());
    RoundPicture3(FSliderEnd.get());
  }
  FDecButton->SetAutoSize(true);
  FIncButton->SetAutoSize(true);
  Repaint();
}

void TskScrollBar::PlaceTrackBarAndButton() {
  if (!FBuilt) return;
  FTrack->SetOrientation(FOrientation);
  if (Height() == 0 || Width() == 0) {
    SetVisible(false);
    return;
  }
  if (FOrientation == skHorizontal) {
    FDecButton->SetLeft(0);
    FDecButton->SetTop(0);
    FTrack->SetLeft(FDecButton->Width());
    FTrack->SetWidth(Width() - FIncButton->Width() - FDecButton->Width());
    FTrack->SetTop(0);
    FIncButton->SetLeft(Width() - FIncButton->Width());
    FIncButton->SetTop(0);
    SetHeight(FDecButton->Height());
  } else {
    FDecButton->SetTop(0);
    FDecButton->SetLeft(0);
    FTrack->SetTop(FDecButton->Height());
    FTrack->SetHeight(Height() - FIncButton->Height() - FDecButton->Height() - 1);
    FTrack->SetLeft(0);
    FIncButton->SetTop(Height() - FIncButton->Height());
    FIncButton->SetLeft(0);
    SetWidth(FDecButton->Width());
  }
  UpdateSliderPic();
}

void TskScrollBar::UpdateSliderPic() {
  if (!FTrack) return;
  const bool horizontal = FOrientation == skHorizontal;
  TBitmap b;
  const int thickness = horizontal ? FSliderStart->Height() : FSliderStart->Width();
  int length = 0;
  if (FLineButton > 0) {
    if (FLineButton < 18) FLineButton = 18;
    length = FLineButton;
  } else {
    int p = FTrack->PageSize();
    if (p < 10 || p > 100) p = 10;
    const int trackLength = horizontal ? FTrack->Width() : FTrack->Height();
    if (trackLength > 0) length = trackLength * p / 100;
  }
  if (horizontal) {
    b.SetSize(length, thickness);
    b.Canvas()->Draw(0, 0, FSliderStart.get());
    b.Canvas()->Draw(length - FSliderEnd->Width(), 0, FSliderEnd.get());
    b.Canvas()->StretchDraw(Rect(FSliderStart->Width(), 0, length - FSliderEnd->Width(), thickness),
                            FSliderMiddle.get());
  } else {
    b.SetSize(thickness, length);
    b.Canvas()->Draw(0, 0, FSliderStart.get());
    b.Canvas()->Draw(0, length - FSliderEnd->Height(), FSliderEnd.get());
    b.Canvas()->StretchDraw(Rect(0, FSliderStart->Height(), thickness, length - FSliderEnd->Height()),
                            FSliderMiddle.get());
  }
  TPicture picture;
  picture.SetBitmap(&b);
  FTrack->SetSliderImage(&picture);
  FTrack->UpdateSliderSize();
}

void TskScrollBar::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  PlaceTrackBarAndButton();
}

void TskScrollBar::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskScrollBar::CMColorChanged(TMessage& Message) {
  inherited::CMColorChanged(Message);
  if (FTrack) FTrack->SetColor(Color());
}

void TskScrollBar::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  if (FTrack) FTrack->SetVisible(Visible());
  if (FIncButton) FIncButton->SetVisible(Visible());
  if (FDecButton) FDecButton->SetVisible(Visible());
}

void TskScrollBar::Resize() {
  inherited::Resize();
  PlaceTrackBarAndButton();
}

#include "skin/SKTrackBar.h"

#include <algorithm>
#include <cmath>

#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

QUENDREL_REGISTER_CLASS(TskTrackBar, TCustomPanel) {
  c.Creatable();
  c.Enum("Orientation", &TskTrackBar::Orientation, &TskTrackBar::SetOrientation,
         TskProgressBarOrientationNames);
  c.Property("FileTheme", &TskTrackBar::FileTheme, &TskTrackBar::SetFileTheme);
  c.Enum("UIStyle", &TskTrackBar::UIStyle, &TskTrackBar::SetUIStyle, TskUIStyleNames);
  c.Property("BarImage", &TskTrackBar::BarImage, &TskTrackBar::SetBarImage);
  c.Property("SliderImage", &TskTrackBar::GetSliderImage, &TskTrackBar::SetSliderImage);
  c.Property("Max", &TskTrackBar::Max, &TskTrackBar::SetMax);
  c.Property("Min", &TskTrackBar::Min, &TskTrackBar::SetMin);
  c.Property("Position", &TskTrackBar::Position, &TskTrackBar::SetPosition);
  c.Property("PageSize", &TskTrackBar::PageSize, &TskTrackBar::SetPageSize);
  c.Property("LineSize", &TskTrackBar::LineSize, &TskTrackBar::SetLineSize);
  c.Property("ShowTick", &TskTrackBar::ShowTick, &TskTrackBar::SetShowTick);
  c.Property("Transparent", &TskTrackBar::Transparent, &TskTrackBar::SetTransparent);
  c.Property("Frequency", &TskTrackBar::Frequency, &TskTrackBar::SetFrequency);
  c.Event("OnChange", &TskTrackBar::OnChange);
}

QUENDREL_REGISTER_CLASS(TskScrollTrackBar, TskTrackBar) {
  c.Creatable();
}

TskTrackBar::TskTrackBar(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Exclude(csAcceptsControls);
  FBarBitmap = std::make_unique<TBitmap>();
  FBarImage = std::make_unique<TPicture>();
  FSlider = new TskImagePanel(this);
  FSlider->SetParent(this);
  FSlider->OnMouseDown = TMouseEvent(this, &TskTrackBar::OnSliderMouseDown);
  FSlider->OnMouseUp = TMouseEvent(this, &TskTrackBar::OnSliderMouseUp);
  SetMin(0);
  SetMax(10);
  SetPosition(0);
  FLastPosition = 0;
  SetOrientation(skHorizontal);
  SetPageSize(2);
  SetLineSize(1);
  FShowTick = true;
  SetParentColor(true);
  FDragging = false;
  SetTabStop(true);
  FFrequency = 1;
  FLastChange = 0;
  SetUIStyle(GetSKFormStyle(AOwner));
  UpdateSlider();
}

TskTrackBar::~TskTrackBar() {
  FTimer.reset();
  // The slider's handlers point back here: it goes before anything else does.
  delete FSlider;
  FSlider = nullptr;
}

void TskTrackBar::SetOrientation(TskProgressBarOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  UpdateControl();
}

void TskTrackBar::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  UpdateControl();
  if (Value == MacOS) SetTransparent(true);
}

void TskTrackBar::SetBarImage(TPicture* Value) {
  FBarImage->Assign(Value);
  UpdateControl();
}

TPicture* TskTrackBar::GetSliderImage() const {
  return FSlider->Picture();
}

void TskTrackBar::SetSliderImage(TPicture* Value) {
  FSlider->Picture()->Assign(Value);
  Repaint();
}

void TskTrackBar::SetMax(int Value) {
  if (Value == FMax) return;
  FMax = Value;
  if (FMax < FMin) FMax = FMin;
  if (FPosition > FMax) FPosition = FMax;
  UpdateSlider();
}

void TskTrackBar::SetMin(int Value) {
  if (Value == FMin) return;
  FMin = Value;
  if (FMin > FMax) FMin = FMax;
  if (FPosition < FMin) FPosition = FMin;
  UpdateSlider();
}

void TskTrackBar::SetPosition(int Value) {
  FPosition = Value < FMin ? FMin : Value > FMax ? FMax : Value;
  UpdateSlider();
}

void TskTrackBar::SetPageSize(int Value) {
  if (Value >= 0 && Value <= FMax) FPageSize = Value;
}

void TskTrackBar::SetLineSize(int Value) {
  if (Value >= 0 && Value <= FMax) FLineSize = Value;
}

void TskTrackBar::SetShowTick(bool Value) {
  FShowTick = Value;
  Repaint();
}

void TskTrackBar::SetTransparent(bool Value) {
  FTransparent = Value;
  Repaint();
}

void TskTrackBar::SetFrequency(int Value) {
  FFrequency = Value;
  Repaint();
}

void TskTrackBar::UpdateControl() {
  UpdatePicture();
  SetSize();
  UpdateSlider();
  Repaint();
}

void TskTrackBar::SetSize() {
  if (FOrientation == skHorizontal)
    SetHeight(std::max(FBarImage->Height(), FSlider->Height()));
  else
    SetWidth(std::max(FBarImage->Height(), FSlider->Width()));
  Repaint();
}

void TskTrackBar::UpdateSlider() {
  PlaceControl(FSlider, GetSliderPosFromPosition());
  Repaint();
  if (FPosition != FLastPosition) {
    FLastChange = SaturatedAdd(FPosition, -int64_t{FLastPosition}); // may span more than 32 bits
    FLastPosition = FPosition;
    if (OnChange) OnChange(this);
  }
}

TPoint TskTrackBar::GetSliderPosFromPosition() {
  const bool horizontal = FOrientation == skHorizontal;
  const int length = horizontal ? Width() : Height();
  const int cross = horizontal ? Height() : Width();
  const int sliderLength = horizontal ? FSlider->Width() : FSlider->Height();
  const int sliderCross = horizontal ? FSlider->Height() : FSlider->Width();
  const int across = std::max(0, cross - sliderCross) / 2;
  int along = 0;
  // 64-bit: a wide range times the run must not wrap.
  if (FMin != FMax)
    along = static_cast<int>(int64_t{length - sliderLength} * (int64_t{FPosition} - FMin) /
                             (int64_t{FMax} - FMin));
  return horizontal ? TPoint{along, across} : TPoint{across, along};
}

int TskTrackBar::GetPositionFromFromSliderPos(int X, int Y) {
  const bool horizontal = FOrientation == skHorizontal;
  const int length = horizontal ? Width() : Height();
  const int sliderLength = horizontal ? FSlider->Width() : FSlider->Height();
  if (sliderLength == length) return 0;
  const int at = horizontal ? X : Y;
  const double q = double(at - sliderLength / 2) * (double(FMax) - FMin) / double(length - sliderLength);
  // nearbyint rounds halves to the even neighbour in the default rounding mode.
  const double p = double(FMin) + std::nearbyint(q);
  return static_cast<int>(std::clamp(p, double(INT32_MIN), double(INT32_MAX)));
}

void TskTrackBar::UpdatePositionValue(int X, int Y, bool Notify) {
  const int p = std::clamp(GetPositionFromFromSliderPos(X, Y), FMin, FMax);
  if (Notify)
    SetPosition(p);
  else
    FPosition = p;
}

void TskTrackBar::FocusIfAllowed() {
  if (SKCanFocus() && CanFocus() && Enabled()) SetFocus();
}

void TskTrackBar::OnTimer(TObject*) {
  TPoint cursor;
  GetCursorPos(&cursor);
  cursor = ScreenToClient(cursor);
  const TPoint s = GetSliderPosFromPosition();
  const int p = GetPositionFromFromSliderPos(cursor.X, cursor.Y);
  // Held paging moves three pages a step along a horizontal bar, one along a vertical one.
  const bool horizontal = FOrientation == skHorizontal;
  const int64_t step = horizontal ? 3 * int64_t{FPageSize} : FPageSize;
  const int slider = horizontal ? s.X : s.Y;
  const int at = horizontal ? cursor.X : cursor.Y;
  if (slider < at)
    SetPosition(std::min(SaturatedAdd(FPosition, step), p));
  else if (slider > at)
    SetPosition(std::max(SaturatedAdd(FPosition, -step), p));
}

void TskTrackBar::OnSliderMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  FDragging = true;
  FocusIfAllowed();
  SetCapture(Handle());
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X + FSlider->Left(), Y + FSlider->Top());
}

void TskTrackBar::OnSliderMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X + FSlider->Left(), Y + FSlider->Top());
}

void TskTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TPoint s = GetSliderPosFromPosition();
  const int at = FOrientation == skHorizontal ? X : Y;
  const int slider = FOrientation == skHorizontal ? s.X : s.Y;
  if (at > slider)
    SetPosition(std::min(SaturatedAdd(FPosition, FPageSize), GetPositionFromFromSliderPos(X, Y)));
  else if (at < slider)
    SetPosition(std::max(SaturatedAdd(FPosition, -int64_t{FPageSize}), GetPositionFromFromSliderPos(X, Y)));
  if (!FTimer) {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetInterval(100);
    FTimer->OnTimer = TNotifyEvent(this, &TskTrackBar::OnTimer);
    FTimer->SetEnabled(true);
  }
  FocusIfAllowed();
}

void TskTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FDragging) {
    UpdatePositionValue(X, Y, false);
    PlaceControl(FSlider, GetSliderPosFromPosition());
    if (FPosition != FLastPosition) {
      FLastChange = SaturatedAdd(FPosition, -int64_t{FLastPosition}); // may span more than 32 bits
      if (OnChange) OnChange(this);
      FLastPosition = FPosition;
    }
  } else if (FTimer && (X < 0 || X > Width() || Y < 0 || Y > Height())) {
    FTimer.reset();
  }
}

void TskTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  FTimer.reset();
  FDragging = false;
  ReleaseCapture();
}

void TskTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  switch (Key) {
  case VK_PRIOR:
    SetPosition(SaturatedAdd(FPosition, -int64_t{FPageSize}));
    break;
  case VK_NEXT:
    SetPosition(SaturatedAdd(FPosition, FPageSize));
    break;
  case VK_END:
    SetPosition(FMax);
    break;
  case VK_HOME:
    SetPosition(FMin);
    break;
  case VK_LEFT:
  case VK_UP:
    SetPosition(SaturatedAdd(FPosition, -int64_t{FLineSize}));
    break;
  case VK_RIGHT:
  case VK_DOWN:
    SetPosition(SaturatedAdd(FPosition, FLineSize));
    break;
  default:
    break;
  }
}

void TskTrackBar::EndMouseRun() {
  FTimer.reset();
  FDragging = false;
}

void TskTrackBar::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  // A hidden bar is under no cursor: a run of paging or dragging ends with it.
  if (!Visible()) EndMouseRun();
}

void TskTrackBar::WMCaptureChanged(TMessage& Message) {
  inherited::WMCaptureChanged(Message);
  // The release never comes to a bar that lost the mouse to another window.
  if (!HandleAllocated() || reinterpret_cast<HWND>(Message.LParam) != Handle()) EndMouseRun();
}

void TskTrackBar::WMGetDlgCode(TMessage& Message) {
  inherited::WMGetDlgCode(Message);
  Message.Result = DLGC_WANTARROWS;
}

void TskTrackBar::CMFocusChanged(TMessage& Message) {
  inherited::CMFocusChanged(Message);
  Repaint();
}

void TskTrackBar::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskTrackBar::Resize() {
  inherited::Resize();
  if (FSlider) UpdateControl();
}

void TskTrackBar::UpdatePicture() {
  if (CustomPicture()) return;
  FTheme.Bitmap(28, FBarImage->Bitmap());
  FTheme.Bitmap(FOrientation == skHorizontal ? 29 : 30, FSlider->Picture()->Bitmap());
  const int length = FOrientation == skHorizontal ? Width() : Height();
  const int thickness = FBarImage->Height();
  FBarBitmap->SetSize(length, thickness);
  FBarBitmap->Canvas()->Brush()->SetColor(Color());
  FBarBitmap->Canvas()->FillRect(Rect(0, 0, length, thickness));
  SpitDrawHorizontal(FBarImage->Bitmap(), FBarBitmap->Canvas(), Rect(0, 0, length, thickness), true, false);
  if (FOrientation == skVertical) RoundPicture(FBarBitmap.get());
  FSlider->SetTransparent(SliderTransparent());
  FSlider->SetAutoSize(true);
}

void TskTrackBar::Paint() {
  const int w = Width();
  const int h = Height();
  TBitmap buffer;
  buffer.SetSize(w, h);
  TCanvas* canvas = buffer.Canvas();
  if (FTransparent) {
    DoTrans(canvas, this);
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(Rect(0, 0, w, h));
  }
  if (!FBarBitmap->Empty()) {
    const int thickness = FBarImage->Height();
    if (FOrientation == skHorizontal)
      BitBlt(canvas->Handle(), 0, (h - thickness) / 2, FBarBitmap->Width(), FBarBitmap->Height(),
             FBarBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
    else
      BitBlt(canvas->Handle(), (w - thickness) / 2, 0, FBarBitmap->Width(), FBarBitmap->Height(),
             FBarBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  if (Focused() && TabStop()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->DrawFocusRect(Rect(0, 0, w, h));
  }
  if (FShowTick) PaintTick(&buffer);
  BitBlt(Canvas()->Handle(), 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
}

void TskTrackBar::PaintTick(TBitmap* Buffer) {
  if (FMin == FMax) return;
  TCanvas* canvas = Buffer->Canvas();
  const bool horizontal = FOrientation == skHorizontal;
  const int sliderLength = horizontal ? FSlider->Width() : FSlider->Height();
  const int64_t run = int64_t{horizontal ? Width() : Height()} - sliderLength;
  const int64_t span = int64_t{FMax} - FMin;
  auto tick = [&](int64_t Pixel) {
    const int at = static_cast<int>(Pixel) + sliderLength / 2;
    if (horizontal) {
      canvas->MoveTo(at, Height() - 3);
      canvas->LineTo(at, Height());
    } else {
      canvas->MoveTo(0, at);
      canvas->LineTo(3, at);
      canvas->MoveTo(Width() - 3, at);
      canvas->LineTo(Width(), at);
    }
  };
  // Ticks stand at Min, at every Frequency-th value after it and at Max; without a frequency only at the
  // ends.
  const int64_t step = FFrequency > 0 ? FFrequency : span;
  const int64_t last = (span - 1) / step * step; // the last tick before Max, counted from Min
  const int64_t runLength = run < 0 ? -run : run;
  if (runLength == 0 || step <= span / runLength) {
    // Ticks at most a pixel apart cover every pixel from the first to the last: walk the pixels instead.
    const int64_t end = last * run / span;
    for (int64_t pixel = std::min<int64_t>(0, end); pixel <= std::max<int64_t>(0, end); ++pixel) tick(pixel);
  } else {
    for (int64_t offset = 0; offset <= last; offset += step) tick(offset * run / span);
  }
  tick(run);
}

TskScrollTrackBar::TskScrollTrackBar(TComponent* AOwner) : TskTrackBar(AOwner) {
  // The base constructor ran its picture update with the base class's policy: it loaded the theme's
  // pictures and made the slider transparent. This track's pictures come from its owner, and its slider is
  // opaque.
  FBarImage->Assign(nullptr);
  FBarBitmap = std::make_unique<TBitmap>();
  FSlider->Picture()->Assign(nullptr);
  FSlider->SetTransparent(SliderTransparent());
  SetTabStop(false);
  FSlider->SetTabStop(false);
  FSlider->ControlStyle = ControlStyle;
}

bool TskScrollTrackBar::GetSliderVisible() const {
  return FSlider->Visible();
}

void TskScrollTrackBar::SetSliderVisible(bool Value) {
  if (Value != FSlider->Visible()) FSlider->SetVisible(Value);
}

void TskScrollTrackBar::UpdateSliderSize() {
  FSlider->SetAutoSize(true);
  // The track is as thick as its slider; a new slider picture may change that.
  SetSize();
  // A longer or shorter slider stands elsewhere for the same position: at Max its far end meets the track's.
  PlaceControl(FSlider, GetSliderPosFromPosition());
}

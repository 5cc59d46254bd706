#include "skin/SKFramePaint.h"

#include <algorithm>
#include <cstdint>

#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Region.h"
#include "classlib/win/Windows.h"
#include "skin/SKMainMenu.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"
#include "skin/SKTitleBar.h"

namespace {

void Fill(TCanvas* Canvas, TColor Color, const TRect& R) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(R);
}

void PaintPlain(TCanvas* C, int W, int H, const TskFrameBorderLook& L) {
  const int bw = L.BorderWidth;
  TskTitleBar* bar = L.TitleBar;
  Fill(C, L.BorderColor, {0, 0, bw, H});
  Fill(C, L.BorderColor, {0, H - bw, W, H});
  Fill(C, L.BorderColor, {W - bw, 0, W, H});
  if (bw < 4) {
    const int t = L.BandTop;
    Fill(C, L.BandColor, {bw, t, 3, H - bw});
    Fill(C, L.BandColor, {bw, H - 3, W - bw, H - bw});
    Fill(C, L.BandColor, {W - 3, t, W - bw, H - bw});
    if (L.MenuBarShown) {
      const int th = bar->Height(), mh = L.MenuBarHeight;
      Fill(C, L.MenuBarColor, {bw, th + 3, 3, th + 3 + mh});
      Fill(C, L.MenuBarColor, {W - 3, th + 3, W - bw, th + 3 + mh});
    }
  }
  if (bar->Visible() && bar->CanPaint() && bw < 4) {
    TBitmap *left = nullptr, *right = nullptr, *centre = nullptr;
    bar->GetLeftImage(left);
    bar->GetRightImage(right);
    bar->GetCenterImage(centre);
    TBitmap x;
    x.SetSize(3 - bw, left->Height());
    x.Canvas()->Draw(0, 0, left);
    C->Draw(bw, 0, &x);
    if (right->Width() >= 3)
      x.Canvas()->Draw(2 - right->Width(), 0, right);
    else
      x.Canvas()->StretchDraw({0, 0, x.Width(), x.Height()}, right);
    C->Draw(W - 3, 0, &x);
    x.SetSize(W - 5, 3);
    x.Canvas()->Draw(-2, 0, left);
    const int a = left->Width() - 2, b = x.Width() - right->Width() + 3;
    x.Canvas()->Draw(b, 0, right);
    x.Canvas()->StretchDraw({a, 0, b, centre->Height()}, centre);
    C->Draw(2, 0, &x);
    const int r = L.RoundCorner;
    if (bw == 1 && r == 11 && !L.Designing) {
      // The rounded upper corners outlined in the border colour.
      C->Pen()->SetColor(L.BorderColor);
      C->Arc(W - 2 * r + 1, -1, W + 1, 2 * r - 1, W + 1, r - 1, W - r + 1, -1);
      C->Arc(-1, -1, 2 * r - 1, 2 * r - 1, r - 1, -1, -1, r - 1);
    }
  }
  if (!bar->Visible()) {
    Fill(C, L.BorderColor, {0, 0, W, 1});
    Fill(C, L.BandColor, {bw, 1, W - bw, 3});
  }
}

void PaintPictures(TCanvas* C, int W, int H, const TskFrameBorderLook& L) {
  const TskBorderPictures& p = *L.Pictures;
  TskTitleBar* bar = L.TitleBar;
  const int sw = p.SideWidth();
  const int t = bar->Visible() ? bar->Height() : 0;
  int h = 0;
  if (p.Bottom) {
    h = p.Bottom->Height();
    SpitDrawHorizontal(p.Bottom.get(), C, {0, H - h, W, H}, false, true);
  }
  C->StretchDraw({0, t, sw, H - h}, p.Left.get());
  C->StretchDraw({W - sw, t, W, H - h}, p.Right.get());
  Fill(C, L.LineColor, {sw, t, sw + 1, H - h});
  Fill(C, L.LineColor, {sw + 1, H - h - 1, W - sw - 1, H - h});
  Fill(C, L.LineColor, {W - sw - 1, t, W - sw, H - h});
  if (L.MenuBarShown) {
    const int mh = L.MenuBarHeight;
    Fill(C, L.MenuBarColor, {sw, t, sw + 1, t + mh + 3});
    Fill(C, L.MenuBarColor, {W - sw - 1, t + 3, W - sw, t + 3 + mh});
  }
  if (bar->Visible() && bar->CanPaint()) {
    TBitmap *left = nullptr, *right = nullptr, *centre = nullptr;
    bar->GetLeftImage(left);
    bar->GetRightImage(right);
    bar->GetCenterImage(centre);
    TBitmap x;
    x.SetSize(sw + 2, left->Height());
    x.Canvas()->Draw(0, 0, left);
    C->Draw(0, 0, &x);
    if (right->Width() >= x.Width())
      x.Canvas()->Draw(x.Width() - right->Width(), 0, right);
    else
      x.Canvas()->StretchDraw({0, 0, x.Width(), x.Height()}, right);
    C->Draw(W - x.Width(), 0, &x);
    x.SetSize(W - 2 * sw, 3);
    x.Canvas()->Draw(1 - sw, 0, left);
    const int a = left->Width() - sw, b = x.Width() - right->Width() + sw;
    x.Canvas()->Draw(b, 0, right);
    x.Canvas()->StretchDraw({a, 0, b, centre->Height()}, centre);
    C->Draw(sw, 0, &x);
  } else {
    Fill(C, L.TopColor, {sw, 0, W - sw, 3});
  }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Border pictures

TskBorderPictures::TskBorderPictures() = default;
TskBorderPictures::~TskBorderPictures() = default;

void TskBorderPictures::Load(const TskThemeLink& Theme) {
  Clear();
  if (!Theme.UseFile()) return;
  auto left = std::make_unique<TBitmap>();
  Theme.Bitmap(45, left.get());
  if (left->Width() != 0 && left->Height() != 0) {
    Right = std::make_unique<TBitmap>();
    Right->SetSize(left->Width(), left->Height());
    Right->Canvas()->Draw(0, 0, left.get());
    RoundPicture2(Right.get());
    Left = std::move(left);
  }
  auto bottom = std::make_unique<TBitmap>();
  Theme.Bitmap(46, bottom.get());
  if (!bottom->Empty()) Bottom = std::move(bottom);
}

void TskBorderPictures::Clear() {
  Left.reset();
  Right.reset();
  Bottom.reset();
}

int TskBorderPictures::SideWidth() const {
  return Right ? Right->Width() : 0;
}

int TskBorderPictures::BottomHeight() const {
  return Bottom ? Bottom->Height() : 0;
}

// ---------------------------------------------------------------------------------------------------------
// Border, region and non-client size

void PaintFrameBorder(TCanvas* Canvas, int W, int H, const TskFrameBorderLook& Look) {
  if (!Look.TitleBar) return;
  // The surface ends there, and the pictures put together for the top edge stay that small.
  W = std::min(W, MaxWindowSurfaceExtent);
  H = std::min(H, MaxWindowSurfaceExtent);
  if (Look.Pictures && Look.Pictures->SideWidth() > 0)
    PaintPictures(Canvas, W, H, Look);
  else
    PaintPlain(Canvas, W, H, Look);
}

void SetFrameRegion(HWND Wnd, int W, int H, int R, int RB) {
  // Nor does its shape go beyond: a form sized at the ends of int takes no more rows of region than a real
  // one, the corners below stay inside int, and corners larger than the form are cut at its edges.
  W = std::clamp(W, 0, MaxWindowSurfaceExtent);
  H = std::clamp(H, 0, MaxWindowSurfaceExtent);
  const int half = H / 2;
  const int r = std::clamp(R, 0, MaxWindowSurfaceExtent), rb = std::clamp(RB, 0, MaxWindowSurfaceExtent);
  TRegionHandle top(CreateRoundRectRgn(0, 0, W + 1, half + 1, r, r));
  for (const TRect& corner : {TRect{0, half - 2 * r, 2 * r, half}, TRect{W - 2 * r, half - 2 * r, W, half}}) {
    TRegionHandle square(CreateRectRgnIndirect(&corner));
    CombineRgn(top, top, square, RGN_OR);
  }
  TRegionHandle bottom(CreateRoundRectRgn(0, half, W + 1, H + 1, rb, rb));
  for (const TRect& corner :
       {TRect{0, half, 2 * rb, half + 2 * rb}, TRect{W - 2 * rb, half, W, half + 2 * rb}}) {
    TRegionHandle square(CreateRectRgnIndirect(&corner));
    CombineRgn(bottom, bottom, square, RGN_OR);
  }
  HRGN whole = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(whole, top, bottom, RGN_OR);
  TRegionHandle window(CreateRectRgn(0, 0, W, H));
  CombineRgn(whole, whole, window, RGN_AND);
  SetWindowRgn(Wnd, whole, 1); // the window owns the region now
}

void FrameNCCalcSize(TMessage& Message, int SideWidth, int BottomInset) {
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  if (!params) return;
  TRect proposed = params->rgrc[0];
  if (params->lppos)
    proposed = Bounds(params->lppos->x, params->lppos->y, params->lppos->cx, params->lppos->cy);
  // From the edges, in 64 bits and saturated: a streamed form may place and size itself at the ends of int.
  const int64_t left = proposed.Left, right = proposed.Right, side = SideWidth;
  TRect r;
  r.Top = proposed.Top; // the caption bar is a child control inside the client area
  r.Left = SatInt(SideWidth > 0 ? left + side - 2 : left);
  r.Right = SatInt(SideWidth > 0 ? right - side + 2 : right);
  r.Bottom = SatInt(int64_t{proposed.Bottom} - BottomInset);
  params->rgrc[0] = r;
  params->rgrc[1] = r;
}

// ---------------------------------------------------------------------------------------------------------
// Menu bar

bool ApplySkinMenuFont(TskMainMenu* Menu, TFont* Font) {
  if (!Menu) return false;
  if (Menu->UseSystemFont()) {
    Menu_GetSystemFont(Font);
  } else {
    Font->SetName(Menu->FontName());
    Font->SetSize(Menu->FontSize());
    Font->SetCharset(static_cast<TFontCharset>(Menu->FontCharset()));
  }
  return true;
}

TskMenuBarPainter::TskMenuBarPainter() = default;
TskMenuBarPainter::~TskMenuBarPainter() = default;

TBitmap* TskMenuBarPainter::Picture(std::unique_ptr<TBitmap>& Cache, const char* Name) {
  if (!Cache) {
    Cache = std::make_unique<TBitmap>();
    Cache->LoadFromResourceName(0, Name);
  }
  return Cache.get();
}

void TskMenuBarPainter::DrawBar(TToolBar* Bar, const TRect& ARect, TskUIStyle Style) {
  if (Style == MacOS) Bar->Canvas()->StretchDraw(ARect, Picture(FMacMenuBar, SK_RES_MACOS_MENU_BAR));
}

void TskMenuBarPainter::DrawButton(TToolBar* Bar, TToolButton* Button, TCustomDrawState State,
                                   const TskThemeLink& Theme, TskMainMenu* FontMenu, bool GreyDisabled) {
  TRect r = Button->BoundsRect();
  TCanvas* canvas = Bar->Canvas();
  if (ApplySkinMenuFont(FontMenu, canvas->Font())) canvas->Font()->SetColor(FontMenu->FontColor());
  const bool highlighted = State.Contains(cdsHot) || State.Contains(cdsSelected);
  const bool pressed = State.Contains(cdsSelected);
  const AnsiString caption = Button->ShownCaption();
  constexpr unsigned centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

  if (highlighted && Theme.UIStyle == MacOS) {
    TBitmap b;
    b.SetSize(r.Width(), r.Height());
    TCanvas* bc = b.Canvas();
    bc->StretchDraw({0, 0, b.Width(), b.Height()}, Picture(FMacMenuSelect, SK_RES_MACOS_MENU_SELECT));
    bc->Brush()->SetStyle(bsClear);
    bc->Font()->SetName(canvas->Font()->Name());
    bc->Font()->SetSize(canvas->Font()->Size());
    bc->Font()->SetCharset(canvas->Font()->Charset());
    bc->Font()->SetColor(Theme.Color(20));
    RECT text{0, 0, b.Width(), b.Height() + 2};
    DrawText(bc->Handle(), caption.c_str(), -1, &text, centred);
    canvas->Draw(r.Left, r.Top, &b);
    return;
  }
  if (highlighted) {
    if (pressed) r.Right -= 2;
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Theme.Color(19));
    canvas->FillRect(r);
    canvas->Brush()->SetColor(Theme.Color(18));
    canvas->FrameRect(r);
    if (pressed) r.Left += 2;
    r.Top += 2;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(Theme.Color(20));
  } else {
    canvas->Brush()->SetStyle(bsClear);
    r.Top += 2;
    TColor colour = Theme.Color(22);
    if (Theme.UseFile() && Theme.Color(27) == 0x030000) colour = clWhite;
    canvas->Font()->SetColor(Button->Enabled() || !GreyDisabled ? colour : TColor(0x808080));
  }
  RECT text = r;
  DrawText(canvas->Handle(), caption.c_str(), -1, &text, centred);
}

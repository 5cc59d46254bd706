#include "skin/SKMenu.h"

#include <algorithm>

#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/win/Windows.h"
#include "skin/SKMgr.h"
#include "skin/SKResDef.h"

// ---------------------------------------------------------------------------------------------------------
// Free functions

void Menu_SetItemEvent(TMenuItem* Item, const TMenuItemDrawHandler& DrawHandler,
                       const TMenuItemMeasureHandler& MeasureHandler) {
  if (!Item) return;
  Item->OnDrawItem = DrawHandler;
  Item->OnMeasureItem = MeasureHandler;
  for (int i = 0; i < Item->Count(); ++i) Menu_SetItemEvent(Item->Items(i), DrawHandler, MeasureHandler);
}

void Menu_DrawBorder(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FrameRect(Rect);
}

void Menu_DrawBackGround(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(Rect);
}

void Menu_DrawLineItem(TCanvas* Canvas, const TRect& Rect, TColor Color, bool LeftToRight, int BarWidth) {
  Canvas->Pen()->SetColor(Color);
  const int y = Rect.Top + 2;
  if (LeftToRight) {
    Canvas->MoveTo(Rect.Left + BarWidth + 4, y);
    Canvas->LineTo(Rect.Right - 2, y);
  } else {
    Canvas->MoveTo(Rect.Left + 2, y);
    Canvas->LineTo(Rect.Right - BarWidth - 4, y);
  }
}

namespace {

// The top Height rows of a skin picture, stretched over Rect.
void DrawMacOSPicture(TCanvas* Canvas, const TRect& Rect, const char* Name, int Height) {
  TBitmap picture;
  picture.LoadFromResourceName(0, Name);
  picture.SetHeight(Height);
  Canvas->StretchDraw(Rect, &picture);
}

} // namespace

void Menu_DrawMacOSLineItem(TCanvas* Canvas, const TRect& Rect) {
  DrawMacOSPicture(Canvas, Rect, SK_RES_MACOS_MENU_BAR, 12);
}

void Menu_DrawMacOSSelectedItem(TCanvas* Canvas, const TRect& Rect) {
  DrawMacOSPicture(Canvas, Rect, SK_RES_MACOS_MENU_SELECT, 20);
}

void Menu_DrawMacOSNonSelectedItem(TCanvas* Canvas, const TRect& Rect) {
  DrawMacOSPicture(Canvas, Rect, SK_RES_MACOS_MENU_BAR, 20);
}

void Menu_DrawWindowBorder(HWND Window, TColor BorderColor, TColor LineColor) {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetWindowDC(desktop);
  if (!dc) return;
  TRect wr;
  GetWindowRect(Window, &wr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Brush()->SetColor(BorderColor);
  canvas.FrameRect(TRect{wr.Left, wr.Top + 1, wr.Right - 1, wr.Bottom - 1});
  canvas.Brush()->SetColor(0xFFFFFF);
  canvas.FrameRect(TRect{wr.Left + 1, wr.Top + 2, wr.Right - 2, wr.Bottom - 2});
  canvas.Pen()->SetColor(LineColor);
  canvas.MoveTo(wr.Left, wr.Bottom - 1);
  canvas.LineTo(wr.Right - 1, wr.Bottom - 1);
  canvas.LineTo(wr.Right - 1, wr.Top);
  canvas.LineTo(wr.Right, wr.Top);
  canvas.LineTo(wr.Left, wr.Top);
  canvas.SetHandle(nullptr);
  ReleaseDC(desktop, dc);
}

void Menu_GetSystemFont(TFont* Font) {
  NONCLIENTMETRICS metrics;
  metrics.cbSize = 340;
  if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return;
  Font->SetHandle(CreateFontIndirect(&metrics.lfMenuFont));
  Font->SetColor(clMenuText);
}

// ---------------------------------------------------------------------------------------------------------
// TskMenuStyle

TskMenuStyle::TskMenuStyle(TMenu* Menu) : FMenu(Menu) {}

void TskMenuStyle::InitMenuStyle(TComponent* AOwner) {
  FMenuItemHeight = 21;
  FSeparatorHeight = 21;
  FBarColor = clBtnFace;
  FBarWidth = 0;
  FColor = clWhite;
  FSeparatorColor = 0x808080;
  FSelectedBorderColor = FSelectedColor = clHighlight;
  FSelectedFontColor = FFontColor = clWhite;
  FBorderColor = 0;
  FFlatMenu = false;
  FFontName = "MS Sans Serif";
  FFontSize = 8;
  FFontCharset = 1;
  FUseSystemFont = true;
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskMenuStyle::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  FBarWidth = 26;
  if (Value == MacOS) {
    FMenuItemHeight = 20;
    FSeparatorHeight = 12;
    FSeparatorColor = 0;
  } else {
    FMenuItemHeight = 21;
    FSeparatorHeight = 5;
    FSeparatorColor = 0x848284;
  }
  FBarColor = FTheme.Color(23);
  FColor = FTheme.Color(21);
  FFontColor = FTheme.Color(22);
  FSelectedBorderColor = FTheme.Color(18);
  FSelectedColor = FTheme.Color(19);
  FSelectedFontColor = FTheme.Color(20);
}

void TskMenuStyle::SetMenuItemHeight(int Value) {
  if (!MenuItemHeightFixed()) FMenuItemHeight = Value;
}

void TskMenuStyle::SetSeparatorHeight(int Value) {
  if (FTheme.UIStyle != MacOS) FSeparatorHeight = Value;
}

TMenuItemDrawHandler TskMenuStyle::DrawHandler() {
  return TMenuItemDrawHandler([this](TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected) {
    DrawItem(Sender, ACanvas, ARect, Selected);
  });
}

TMenuItemMeasureHandler TskMenuStyle::MeasureHandler() {
  return TMenuItemMeasureHandler([this](TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    MeasureItem(Sender, ACanvas, Width, Height);
  });
}

void TskMenuStyle::MenuAdded() {
  TMenuItem* root = FMenu->Items();
  for (int i = 0; i < root->Count(); ++i) Menu_SetItemEvent(root->Items(i), DrawHandler(), MeasureHandler());
}

void TskMenuStyle::StyleNotification(TComponent* AComponent, TOperation Operation) {
  if (!AComponent) return;
  ThemeNotification(AComponent, Operation);
  if (Operation == opInsert)
    if (auto* item = dynamic_cast<TMenuItem*>(AComponent)) {
      // A new item is drawn by this menu unless it already belongs to another one: every menu of a form
      // hears of every item made on the form.
      const TMenu* menu = item->GetParentMenu();
      if (!menu || menu == FMenu) Menu_SetItemEvent(item, DrawHandler(), MeasureHandler());
    }
}

void TskMenuStyle::StyleMenuChanged(TMenuItem* Source, bool Rebuild) {
  if (!Rebuild || !Source || Source->GetParentMenu() != FMenu) return;
  for (int i = 0; i < Source->Count(); ++i)
    Menu_SetItemEvent(Source->Items(i), DrawHandler(), MeasureHandler());
}

TskMenuStyle* TskMenuStyle::OwningStyle(TMenuItem* Item) {
  auto* style = dynamic_cast<TskMenuStyle*>(Item->GetParentMenu());
  return style && style != this ? style : nullptr;
}

bool TskMenuStyle::RightToLeft() const {
  return FMenu->BiDiMode() != bdLeftToRight && SysLocale.MiddleEast;
}

void TskMenuStyle::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || !ACanvas) return;
  if (TskMenuStyle* owner = OwningStyle(item)) {
    owner->MeasureItem(Sender, ACanvas, Width, Height);
    return;
  }
  const AnsiString& caption = item->Caption();
  if (item->IsLine())
    Height = FSeparatorHeight;
  else
    Height = std::max(ACanvas->TextHeight(caption), FMenuItemHeight);
  Width = ACanvas->TextWidth(caption) + ACanvas->TextWidth(ShortCutToText(item->ShortCut())) + FBarWidth + 40;
}

void TskMenuStyle::DrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || !ACanvas) return;
  if (TskMenuStyle* owner = OwningStyle(item)) {
    owner->DrawItem(Sender, ACanvas, ARect, Selected);
    return;
  }
  const int L = ARect.Left, T = ARect.Top, R = ARect.Right, B = ARect.Bottom, BW = FBarWidth;
  const bool ltr = !RightToLeft();
  const bool mac = FTheme.UIStyle == MacOS;

  if (FFlatMenu)
    if (HWND window = WindowFromDC(ACanvas->Handle())) Menu_DrawWindowBorder(window, 0, FTheme.Color(15));

  const auto barAndRest = [&] {
    if (BW > 0)
      Menu_DrawBackGround(ACanvas, ltr ? TRect{L, T, L + BW, B} : TRect{R - BW, T, R, B}, FBarColor);
    Menu_DrawBackGround(ACanvas, ltr ? TRect{L + BW, T, R, B} : TRect{L, T, R - BW, B}, FColor);
  };

  if (item->IsLine()) {
    if (mac) {
      Menu_DrawMacOSLineItem(ACanvas, ARect);
    } else {
      barAndRest();
      Menu_DrawLineItem(ACanvas, ARect, FSeparatorColor, ltr, BW);
    }
    return;
  }

  if (Selected && item->Enabled()) {
    if (mac) {
      Menu_DrawMacOSSelectedItem(ACanvas, ARect);
    } else {
      Menu_DrawBackGround(ACanvas, ARect, FSelectedColor);
      Menu_DrawBorder(ACanvas, ARect, FSelectedBorderColor);
    }
  } else if (mac) {
    Menu_DrawMacOSNonSelectedItem(ACanvas, ARect);
  } else {
    barAndRest();
  }

  TFont* font = ACanvas->Font();
  if (FUseSystemFont) {
    Menu_GetSystemFont(font);
  } else {
    font->SetName(FFontName);
    font->SetSize(FFontSize);
    font->SetCharset(FFontCharset);
  }
  ACanvas->Brush()->SetStyle(bsClear);
  font->SetColor(!item->Enabled() ? TColor(0x808080) : Selected ? FSelectedFontColor : FFontColor);
  if (item->Default()) font->SetStyle(font->Style() + TFontStyles{fsBold});

  HDC dc = ACanvas->Handle();
  ACanvas->TextExtent(""); // selects the canvas's font and colours into the context
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(font->Color()));
  const AnsiString& caption = item->Caption();
  // Right to left, the caption ends where the bar and the check mark begin, as it starts there left to right.
  RECT text = ltr ? TRect{L + BW + 4, T, R, B} : TRect{L, T, R - BW - 4, B};
  DrawText(dc, caption.c_str(), -1, &text, (ltr ? DT_LEFT : DT_RIGHT) | DT_VCENTER | DT_SINGLELINE);

  const AnsiString shortCut = ShortCutToText(item->ShortCut());
  RECT sc = ltr ? TRect{R - ACanvas->TextWidth(shortCut) - 16, T, R, B} : TRect{L + BW + 4, T, R, B};
  DrawText(dc, shortCut.c_str(), -1, &sc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);

  const int x = ltr ? L + 4 : R - 20;
  TImageList* images = ItemImages();
  const bool hasImage = item->ImageIndex() != -1 && images && item->ImageIndex() < images->Count();
  if (item->Checked()) {
    if (hasImage) {
      ACanvas->Brush()->SetStyle(bsSolid);
      ACanvas->Brush()->SetColor(0);
      ACanvas->FrameRect(TRect{x - 2, T + 1, x + 17, T + 20});
      ACanvas->Brush()->SetColor(FSelectedColor);
      ACanvas->FillRect(TRect{x - 1, T + 2, x + 16, T + 19});
    } else if (TImageList* checks = CheckImages()) {
      checks->Draw(ACanvas, x, T + 3, 0, item->Enabled());
    }
  }
  if (hasImage) images->Draw(ACanvas, x, T + 3, item->ImageIndex(), item->Enabled());
}

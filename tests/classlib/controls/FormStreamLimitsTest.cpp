// Form streams that try to tie the control tree in a knot or to carry coordinates past the ends of int: the
// reader refuses the knot with the line's error, and layout arithmetic stops at the ends instead of wrapping.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>

#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Filer.h"
#include "classlib/graphics/Gdi.h"

namespace {

AnsiString TryRead(const AnsiString& text) {
  try {
    std::unique_ptr<TComponent> root(ReadComponentText(text, nullptr));
    return {};
  } catch (const Exception& e) {
    return e.Message;
  }
}

} // namespace

TEST(FormStreamLimits, AControlOrMenuItemCannotBeMovedUnderItsOwnChild) {
  const char* const knot = "object F: TForm\n"
                           "  object A: TPanel\n"
                           "    object B: TPanel\n"
                           "      inherited A: TPanel\n"
                           "      end\n"
                           "    end\n"
                           "  end\n";
  const AnsiString refused =
      "Line 4: Error reading A: A control cannot have one of its children as its parent";
  EXPECT_EQ(TryRead(AnsiString(knot) + "end\n"), refused);
  EXPECT_EQ(TryRead(knot), refused); // without its last "end", the clean-up must not hang either
  EXPECT_EQ(TryRead("object F: TForm\n"
                    "  object M: TMainMenu\n"
                    "    object A: TMenuItem\n"
                    "      object B: TMenuItem\n"
                    "        inherited A: TMenuItem\n"
                    "        end\n"
                    "      end\n"
                    "    end\n"
                    "  end\n"
                    "end\n"),
            "Line 5: Error reading A: A menu item cannot hold the item that holds it");

  // Refused before anything moves.
  TForm form(nullptr);
  auto* a = new TPanel(&form);
  a->SetParent(&form);
  auto* b = new TPanel(&form);
  b->SetParent(a);
  EXPECT_THROW(a->SetParent(b), EInvalidOperation);
  EXPECT_THROW(a->SetParent(a), EInvalidOperation);
  EXPECT_EQ(a->Parent(), &form);
  TMenuItem top(nullptr), child(nullptr);
  top.Add(&child);
  EXPECT_THROW(top.SetParentComponent(&child), EInvalidOperation);
  EXPECT_EQ(child.Parent(), &top);
  top.Remove(&child);
}

TEST(FormStreamLimits, CoordinatesAtTheEndsOfIntSaturate) {
  std::unique_ptr<TComponent> root(ReadComponentText("object F: TForm\n"
                                                     "  Width = 640\n"
                                                     "  Height = 480\n"
                                                     "  object P: TPanel\n"
                                                     "    Left = 2147483647\n"
                                                     "    Top = -2147483648\n"
                                                     "    Width = 2147483647\n"
                                                     "    Height = -2147483648\n"
                                                     "    Anchors = [akLeft, akTop, akRight, akBottom]\n"
                                                     "    Margins.Left = 2147483647\n"
                                                     "    AlignWithMargins = True\n"
                                                     "    object R: TPanel\n"
                                                     "      Align = alRight\n"
                                                     "      Width = 2147483647\n"
                                                     "    end\n"
                                                     "    object T: TPanel\n"
                                                     "      Align = alTop\n"
                                                     "      Height = 2147483647\n"
                                                     "    end\n"
                                                     "  end\n"
                                                     "  object Q: TPanel\n"
                                                     "    Left = -2147483648\n"
                                                     "    Width = 2147483647\n"
                                                     "    Anchors = [akRight]\n"
                                                     "  end\n"
                                                     "end\n",
                                                     nullptr));
  auto* form = static_cast<TForm*>(root.get());
  form->SetBounds(0, 0, 100, 50); // every anchor and alignment rule runs again
  auto* p = static_cast<TControl*>(form->FindComponent("P"));
  auto* q = static_cast<TControl*>(form->FindComponent("Q"));
  auto* r = static_cast<TControl*>(form->FindComponent("R"));
  EXPECT_EQ(p->Left(), INT_MAX);
  EXPECT_GE(p->Width(), 0);
  EXPECT_GE(r->Width(), 0);
  EXPECT_EQ(q->Width(), INT_MAX);
  EXPECT_EQ(p->BoundsRect().Right, INT_MAX);
  EXPECT_EQ(Bounds(INT_MAX, INT_MIN, INT_MAX, INT_MIN), Rect(INT_MAX, INT_MIN, INT_MAX, INT_MIN));
  EXPECT_EQ(Rect(INT_MIN, 0, INT_MAX, 0).Width(), INT_MAX);
}

TEST(FormStreamLimits, AClientSizeAtTheEndsOfIntSaturates) {
  std::unique_ptr<TComponent> root(ReadComponentText("object F: TForm\n"
                                                     "  ClientWidth = 2147483647\n"
                                                     "  ClientHeight = -2147483648\n"
                                                     "end\n",
                                                     nullptr));
  auto* form = static_cast<TForm*>(root.get());
  EXPECT_EQ(form->Width(), INT_MAX);
}

TEST(FormStreamLimits, AWindowAtTheEndsOfIntKeepsABoundedSurfaceAndDrawsWithinIt) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* tall = new TPanel(&form);
  tall->SetParent(&form);
  tall->SetBounds(0, 0, 40, INT_MAX);
  auto* huge = new TPanel(&form);
  huge->SetParent(&form);
  huge->SetBounds(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  form.HandleNeeded();
  for (TPanel* p : {tall, huge}) {
    const TSurface& s = p->Handle()->Surface;
    EXPECT_LE(s.Width(), MaxWindowSurfaceExtent);
    EXPECT_LE(s.Height(), MaxWindowSurfaceExtent);
    EXPECT_LE(int64_t{s.Width()} * s.Height(), MaxWindowSurfacePixels);
  }
  EXPECT_EQ(tall->Handle()->Surface.Width(), 40);
  EXPECT_EQ(tall->Handle()->Surface.Height(), MaxWindowSurfaceExtent);
  // Growing and painting the whole window afterwards stays on the surface.
  huge->SetBounds(0, 0, INT_MAX, INT_MAX);
  EXPECT_LE(int64_t{huge->Handle()->Surface.Width()} * huge->Handle()->Surface.Height(),
            MaxWindowSurfacePixels);
  HDC dc = GetWindowDC(huge->Handle());
  const TRect all{0, 0, INT_MAX, INT_MAX};
  HBRUSH brush = CreateSolidBrush(clRed);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  ReleaseDC(huge->Handle(), dc);
  EXPECT_EQ(huge->Handle()->Surface.Pixel(0, 0), ColorToPixel(clRed));
}

// Painting costs of the canvas: fills, blits, stretched pictures, text, and a whole panel-like tile.
#include <benchmark/benchmark.h>

#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/DeviceContext.h"
#include "classlib/graphics/Gdi.h"

namespace {

std::unique_ptr<TBitmap> Surface(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  return b;
}

void FillRectFullHd(benchmark::State& state) {
  auto b = Surface(1920, 1080);
  TCanvas* c = b->Canvas();
  int i = 0;
  for (auto _ : state) {
    c->Brush()->SetColor((i++ & 1) ? clRed : clBlue);
    c->FillRect({0, 0, 1920, 1080});
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(FillRectFullHd);

void BitBltCopy(benchmark::State& state) {
  auto src = Surface(640, 480), dst = Surface(640, 480);
  for (auto _ : state)
    BitBlt(dst->Canvas()->Handle(), 0, 0, 640, 480, src->Canvas()->Handle(), 0, 0, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BitBltCopy);

void StretchDrawMergePaint(benchmark::State& state) {
  auto src = Surface(100, 100), dst = Surface(160, 160);
  dst->Canvas()->SetCopyMode(cmMergePaint);
  for (auto _ : state) dst->Canvas()->StretchDraw({0, 0, 160, 160}, src.get());
  state.SetItemsProcessed(state.iterations() * 160 * 160);
}
BENCHMARK(StretchDrawMergePaint);

void DrawTextCentred(benchmark::State& state) {
  auto b = Surface(200, 40);
  TCanvas* c = b->Canvas();
  c->Font()->SetName("Tahoma");
  c->Brush()->SetStyle(bsClear);
  TRect r{0, 0, 200, 40};
  for (auto _ : state)
    DrawText(c->Handle(), "Solution found, searching better...", -1, &r,
             DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
BENCHMARK(DrawTextCentred);

// A bevelled numbered tile: fill, two frames, round outline, caption: what a panel paints.
void PanelLikeTile(benchmark::State& state) {
  auto b = Surface(100, 100);
  TCanvas* c = b->Canvas();
  c->Font()->SetName("Verdana");
  c->Font()->SetSize(25);
  c->Font()->SetStyle({fsBold});
  for (auto _ : state) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect({0, 0, 100, 100});
    TRect r{0, 0, 100, 100};
    Frame3D(c, r, clBtnHighlight, clBtnShadow, 2);
    c->Brush()->SetStyle(bsClear);
    DrawText(c->Handle(), "15", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c->Brush()->SetStyle(bsSolid);
  }
}
BENCHMARK(PanelLikeTile);

// One board tile's picture copied onto a window surface of device pixels at scale Arg(0) / 100: pixel art
// (Arg(1) 0), replicated at whole scales, or a photograph (1), blended. Items are the device pixels.
void TileOntoScaledSurface(benchmark::State& state) {
  const double scale = static_cast<double>(state.range(0)) / 100.0;
  auto tile = Surface(105, 140);
  for (int y = 0; y < 140; ++y)
    for (int x = 0; x < 105; ++x)
      tile->Surface().SetPixel(x, y, static_cast<uint32_t>(0x20000 * x + 0x100 * y));
  tile->Surface().SetSmooth(state.range(1) != 0);
  TSurface window;
  window.SetScaledSize(420, 560, scale, 1 << 14, 1 << 26);
  TDeviceContext dc(&window);
  for (auto _ : state) BitBlt(&dc, 105, 140, 105, 140, tile->Canvas()->Handle(), 0, 0, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * (DeviceEdge(210, scale) - DeviceEdge(105, scale)) *
                          (DeviceEdge(280, scale) - DeviceEdge(140, scale)));
}
BENCHMARK(TileOntoScaledSurface)->ArgsProduct({{100, 150, 200}, {0, 1}});

} // namespace

BENCHMARK_MAIN();

#pragma once
// TTileSlide: a tile on its way from the place of the cell it left to the place of its new cell. It knows
// where the tile stands at a given time and when it has arrived; the board view moves the tile's control
// there on each frame. Times are milliseconds of one clock (GetTickCount64 in the game, any count in tests).
#include <cstdint>

#include "classlib/core/Types.h"

class TTileSlide {
 public:
  static constexpr unsigned DefaultDuration = 100;

  TTileSlide() = default;
  TTileSlide(TPoint From, TPoint To, uint64_t Start, unsigned Duration = DefaultDuration)
      : from(From), to(To), start(Start), duration(Duration) {}

  // Where the tile's top-left corner stands at Now: From before the start, To once it has arrived, and in
  // between a little slower towards the end, so that it settles instead of stopping short.
  TPoint At(uint64_t Now) const;
  bool Arrived(uint64_t Now) const { return Now >= start + duration; }
  TPoint From() const { return from; }
  TPoint To() const { return to; }

 private:
  TPoint from, to;
  uint64_t start = 0;
  unsigned duration = DefaultDuration;
};

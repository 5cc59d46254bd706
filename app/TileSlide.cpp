#include "app/TileSlide.h"

TPoint TTileSlide::At(uint64_t Now) const {
  if (Now <= start) return from;
  if (Arrived(Now)) return to;
  // Eased out: the distance left shrinks with the square of the time left.
  const int64_t left = static_cast<int64_t>(start + duration - Now);
  const int64_t span = duration;
  const auto towards = [&](int a, int b) {
    return b - static_cast<int>(static_cast<int64_t>(b - a) * left * left / (span * span));
  };
  return {towards(from.X, to.X), towards(from.Y, to.Y)};
}

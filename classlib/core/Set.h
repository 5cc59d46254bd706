#pragma once
// TSet<E>: a set of enumeration values (ordinals 0..31), as published set properties store them.
#include <cstdint>
#include <initializer_list>

template <class E> class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values) Bits |= Bit(v);
  }
  static constexpr TSet FromMask(uint32_t mask) {
    TSet s;
    s.Bits = mask;
    return s;
  }

  constexpr bool Contains(E v) const { return (Bits & Bit(v)) != 0; }
  constexpr TSet& Include(E v) {
    Bits |= Bit(v);
    return *this;
  }
  constexpr TSet& Exclude(E v) {
    Bits &= ~Bit(v);
    return *this;
  }
  constexpr bool Empty() const { return Bits == 0; }
  constexpr uint32_t Mask() const { return Bits; }

  constexpr TSet operator+(TSet o) const { return FromMask(Bits | o.Bits); }
  constexpr TSet operator-(TSet o) const { return FromMask(Bits & ~o.Bits); }
  constexpr TSet operator*(TSet o) const { return FromMask(Bits & o.Bits); }
  constexpr TSet& operator+=(TSet o) { return *this = *this + o; }
  constexpr TSet& operator-=(TSet o) { return *this = *this - o; }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint32_t Bit(E v) { return uint32_t{1} << static_cast<uint32_t>(v); }
  uint32_t Bits = 0;
};

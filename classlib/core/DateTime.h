#pragma once
// TDateTime: a point in local time as days since 30 December 1899; the fraction is the time of day, so a
// difference of two values is a duration in days (1.0 = 24 hours).

class TDateTime {
 public:
  TDateTime() = default;
  TDateTime(double value) : Val(value) {}
  operator double() const { return Val; }

  TDateTime& operator+=(double days) {
    Val += days;
    return *this;
  }
  TDateTime& operator-=(double days) {
    Val -= days;
    return *this;
  }

  double Val = 0.0;
};

// The current local date and time.
TDateTime Now();

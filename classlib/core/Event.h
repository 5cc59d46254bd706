#pragma once
// TEvent: an event property. It holds the handler and, when bound through a form stream or by name, the name
// of the published method it calls, so that a writer can store the binding again.
#include <functional>
#include <utility>

#include "classlib/core/AnsiString.h"

class TObject;

template <class Signature> class TEvent;

template <class R, class... Args> class TEvent<R(Args...)> {
 public:
  using Function = std::function<R(Args...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<R, F&, Args...> &&
                                              !std::is_same_v<std::decay_t<F>, TEvent>>>
  TEvent(F&& f) : Handler(std::forward<F>(f)) {}
  // A handler that is a method of an object: TEvent(form, &TMyForm::ButtonClick).
  template <class T, class M> TEvent(T* object, M T::*method) {
    Handler = [object, method](Args... args) -> R { return (object->*method)(std::forward<Args>(args)...); };
    Data = object;
  }

  explicit operator bool() const { return static_cast<bool>(Handler); }
  R operator()(Args... args) const { return Handler(std::forward<Args>(args)...); }
  bool Assigned() const { return static_cast<bool>(Handler); }

  Function Handler;
  TObject* Data = nullptr; // the object whose method is bound, if any
  AnsiString MethodName;   // the published method's name, if bound by name
};

// An event whose handler takes the sender only.
using TNotifyEvent = TEvent<void(TObject* Sender)>;

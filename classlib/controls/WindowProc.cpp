// Window procedures: every window has its own (GWL_WNDPROC), which a caller may replace and call on with
// CallWindowProc; procedures are made from functions or from an object's message method.
#include <memory>
#include <unordered_map>

#include "classlib/controls/WinControl.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/controls/WindowSystem.h"

using namespace winsys;

namespace {

struct TProcedures {
  std::unordered_map<LONG, std::shared_ptr<const TWindowProcedure>> Table;
  LONG Next = 1;
};

TProcedures& Procedures() {
  static TProcedures p;
  return p;
}

// Made while the program starts, so that it outlives the shutdown hooks, whose windows still take messages.
[[maybe_unused]] TProcedures& ProceduresAtStart = Procedures();

} // namespace

WNDPROC MakeWindowProc(TWindowProcedure Proc) {
  TProcedures& p = Procedures();
  const LONG id = p.Next++;
  p.Table.emplace(id, std::make_shared<const TWindowProcedure>(std::move(Proc)));
  return static_cast<WNDPROC>(id);
}

WNDPROC MakeObjectInstance(TWndMethod Method) {
  return MakeWindowProc([Method = std::move(Method)](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    Method(m);
    return m.Result;
  });
}

void FreeObjectInstance(WNDPROC Proc) {
  Procedures().Table.erase(Proc);
}

LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!Valid(Wnd)) return 0;
  const TProcedures& p = Procedures();
  auto it = p.Table.find(Proc);
  // A freed procedure still installed somewhere leaves the window with the procedure it was made with.
  if (it == p.Table.end() && Proc != Wnd->ClassProc) it = p.Table.find(Wnd->ClassProc);
  if (it == p.Table.end()) return DefWindowProc(Wnd, Msg, WParam, LParam);
  // The procedure stays alive while it runs, even when it frees itself.
  const std::shared_ptr<const TWindowProcedure> proc = it->second;
  return (*proc)(Wnd, Msg, WParam, LParam);
}

WNDPROC winsys::DefaultProcedure() {
  static const WNDPROC proc = MakeWindowProc(DefWindowProc);
  return proc;
}

WNDPROC ControlWindowProc() {
  static const WNDPROC proc = MakeWindowProc([](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = Wnd->Control;
    if (!control) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TMessage m{Msg, WParam, LParam, 0};
    control->WindowProc(m);
    return m.Result;
  });
  return proc;
}

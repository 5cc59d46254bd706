// Form streams, with every class of the class library and the skinned library registered: a stream reads or
// raises the reader's errors, and a form it makes shows and paints in bounded memory and time, or raises the
// class library's error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Filer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::unique_ptr<TComponent> root;
  try {
    root.reset(ReadComponentText(AnsiString(reinterpret_cast<const char*>(Data), Size), nullptr));
  } catch (const EParserError&) {
    return 0;
  } catch (const EReadError&) {
    return 0;
  } catch (const EClassNotFound&) {
    return 0;
  }
  if (auto* form = dynamic_cast<TCustomForm*>(root.get())) {
    try {
      form->Show();
      UpdateAllWindows();
    } catch (const Exception&) {
      return 0;
    }
  }
  return 0;
}

// The program: the application object, the three windows and the message loop.
#include "app/about.h"
#include "app/main.h"
#include "app/preview.h"
#include "classlib/controls/Application.h"

int main() {
  try {
    Application->Initialize();
    Application->SetTitle("Quendrel v2.0");
    Application->CreateForm(mainForm);
    Application->CreateForm(FormAbout);
    Application->CreateForm(FormPreview);
    Application->Run();
  } catch (Exception& e) {
    Application->ShowException(&e);
  } catch (...) {
    Exception e("");
    Application->ShowException(&e);
  }
  return 0;
}

// The program: the application object, the three windows, a game file from the command line, and the
// message loop.
#include "app/about.h"
#include "app/main.h"
#include "app/preview.h"
#include "classlib/controls/Application.h"

int main(int argc, char** argv) {
  try {
    Application->Initialize();
    Application->SetTitle("Quendrel v2.0");
    Application->CreateForm(mainForm);
    Application->CreateForm(FormAbout);
    Application->CreateForm(FormPreview);
    // A game file named on the command line (a double click on it); one that cannot be loaded is reported
    // and the game starts as usual.
    if (argc > 1) mainForm->OpenGameFile(argv[1]);
    Application->Run();
  } catch (Exception& e) {
    Application->ShowException(&e);
  } catch (...) {
    Exception e("");
    Application->ShowException(&e);
  }
  return 0;
}

#pragma once
// The desktop's file dialog as the class library's open dialogs show it, and the hand that tests use to
// answer it. Free of the toolkit, like Backend.h (which declares OpenFileDialog itself).
#include <functional>
#include <string>
#include <vector>

namespace backend {

// What the file dialog shows: its title, the folder it opened in and its filters in the toolkit's form
// ("Pictures (*.jpg *.bmp)").
struct FileDialogView {
  std::string Title;
  std::string Directory;
  std::vector<std::string> NameFilters;
  std::string SelectedNameFilter;
};

// When set, every file dialog, once it is up, asks it which file to pick: a path picks it (as if typed and
// confirmed), an empty string cancels. The dialog itself is real; only the user's hand is replaced.
extern std::function<std::string(const FileDialogView& View)> FileDialogDriver;

// "Name|*.a;*.b|Other|*.c" as the toolkit's filters: "Name (*.a *.b)", "Other (*.c)". A name that already
// ends in a parenthesised pattern list loses it, so that the patterns are not shown twice.
std::vector<std::string> DialogNameFilters(const std::string& Filter);

} // namespace backend

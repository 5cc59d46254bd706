// The desktop's file dialog.
#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include "classlib/backend/Backend.h"
#include "classlib/backend/Dialogs.h"

namespace backend {

std::function<std::string(const FileDialogView&)> FileDialogDriver;

std::vector<std::string> DialogNameFilters(const std::string& Filter) {
  std::vector<std::string> result;
  const QStringList parts = QString::fromLatin1(Filter.c_str()).split('|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    if (name.endsWith(')')) {
      const qsizetype open = name.lastIndexOf('(');
      if (open > 0) name = name.left(open).trimmed();
    }
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) p = p.trimmed();
    result.push_back((name + " (" + patterns.join(' ') + ")").toStdString());
  }
  return result;
}

namespace {

// The desktop's file dialog for opening or saving, driven by FileDialogDriver when a test sets it.
bool RunFileDialog(bool Save, const std::string& Title, const std::string& InitialDir,
                   const std::string& Filter, const std::string& DefaultExt, std::string& FileName) {
  Initialize();
  QString folder = QString::fromLocal8Bit(InitialDir.c_str());
  folder.replace('\\', '/');
  QFileDialog dialog(nullptr, QString::fromLatin1(Title.c_str()), folder);
  dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (!DefaultExt.empty()) dialog.setDefaultSuffix(QString::fromLatin1(DefaultExt.c_str()));
  if (Save && !FileName.empty()) dialog.selectFile(QString::fromLocal8Bit(FileName.c_str()));
  QStringList filters;
  for (const std::string& f : DialogNameFilters(Filter)) filters << QString::fromLatin1(f.c_str());
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (FileDialogDriver) {
    QTimer::singleShot(0, &dialog, [&dialog] {
      FileDialogView view;
      view.Title = dialog.windowTitle().toStdString();
      view.Directory = QDir::fromNativeSeparators(dialog.directory().absolutePath()).toStdString();
      for (const QString& f : dialog.nameFilters()) view.NameFilters.push_back(f.toStdString());
      view.SelectedNameFilter = dialog.selectedNameFilter().toStdString();
      const std::string pick = FileDialogDriver(view);
      if (pick.empty()) {
        dialog.reject();
        return;
      }
      dialog.selectFile(QString::fromLocal8Bit(pick.c_str()));
      static_cast<QDialog&>(dialog).accept(); // as the dialog's own Open or Save button does
    });
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  FileName = chosen.first().toLocal8Bit().toStdString();
  return true;
}

} // namespace

bool OpenFileDialog(const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                    std::string& FileName) {
  return RunFileDialog(false, Title, InitialDir, Filter, "", FileName);
}

bool SaveFileDialog(const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                    const std::string& DefaultExt, std::string& FileName) {
  return RunFileDialog(true, Title, InitialDir, Filter, DefaultExt, FileName);
}

} // namespace backend

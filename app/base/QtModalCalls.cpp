#include "base/QtModalCalls.h"

#include "base/CaptionWidth.h"
#include "base/FontColourDialog.h"

#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFontDialog>
#include <QGuiApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

QMessageBox::StandardButton TQtModalCalls::Message(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                                   const QString& text, QMessageBox::StandardButtons buttons)
{
  QMessageBox box(icon, caption, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> TQtModalCalls::InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                               const QString& text)
{
  QInputDialog dialog(parent);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(text);
  FitWidthToCaption(dialog);
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  return dialog.textValue();
}

QString TQtModalCalls::OpenFileName(QWidget* parent, const QString& folder, const QString& filter)
{
  QFileDialog dialog(parent, QString(), folder, filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return dialog.selectedFiles().first();
}

QStringList TQtModalCalls::OpenFileNames(QWidget* parent, const QString& folder, const QString& filter)
{
  return QFileDialog::getOpenFileNames(parent, QString(), folder, filter);
}

QString TQtModalCalls::SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                                    const QString& defaultSuffix)
{
  QFileDialog dialog(parent, QString(), folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return dialog.selectedFiles().first();
}

namespace {

// The filter's types as the dialog lists them, and the one at a 1-based index
// (the first when the index is out of range).
QString FilterAt(const QString& filter, int filterIndex)
{
  const QStringList types = filter.split(";;");
  return types.value(filterIndex - 1, types.value(0));
}

int IndexOfFilter(const QString& filter, const QString& chosen)
{
  return std::max(1, static_cast<int>(filter.split(";;").indexOf(chosen)) + 1);
}

// "txt" of "txt файлы (*.txt)"; empty for a type without one extension.
QString SuffixOf(const QString& type)
{
  const int star = type.lastIndexOf("(*.");
  if (star < 0)
    return QString();
  const QString suffix = type.mid(star + 3).chopped(1);
  return suffix.contains('*') || suffix.contains(' ') ? QString() : suffix;
}

TFileChoice RunTypedDialog(QFileDialog& dialog, const QString& filter, int filterIndex)
{
  dialog.selectNameFilter(FilterAt(filter, filterIndex));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {QString(), filterIndex};
  return {dialog.selectedFiles().first(), IndexOfFilter(filter, dialog.selectedNameFilter())};
}

} // namespace

TFileChoice TQtModalCalls::OpenFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                          int filterIndex)
{
  QFileDialog dialog(parent, QString(), folder, filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  return RunTypedDialog(dialog, filter, filterIndex);
}

TFileChoice TQtModalCalls::SaveFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                          const QString& defaultSuffix, int filterIndex)
{
  QFileDialog dialog(parent, QString(), folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without extension gets the one of the chosen type.
  auto followType = [&dialog, defaultSuffix](const QString& type) {
    const QString suffix = SuffixOf(type);
    dialog.setDefaultSuffix(suffix.isEmpty() ? defaultSuffix : suffix);
  };
  followType(FilterAt(filter, filterIndex));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followType);
  return RunTypedDialog(dialog, filter, filterIndex);
}

int TQtModalCalls::ExecDialog(QDialog* dialog)
{
  return dialog->exec();
}

namespace {

// The desktop's program for a local file's type, as xdg-mime names it; empty
// when there is none. Qt's opener starts xdg-open and says yes whatever it
// finds, so the question is asked first.
bool HasProgramFor(const QString& fileName)
{
  const QString query = QStandardPaths::findExecutable("xdg-mime");
  if (query.isEmpty())
    return true; // no way to ask: let the opener try
  const QString type = QMimeDatabase().mimeTypeForFile(fileName).name();
  QProcess process;
  process.start(query, {"query", "default", type});
  if (!process.waitForFinished(5000)) {
    process.kill();
    process.waitForFinished();
    return true;
  }
  return !process.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool TQtModalCalls::OpenUrl(const QUrl& url)
{
  if (url.isLocalFile() && !HasProgramFor(url.toLocalFile()))
    return false;
  return QDesktopServices::openUrl(url);
}


std::optional<QColor> TQtModalCalls::ChooseColour(QWidget* parent, const QColor& initial)
{
  const QColor colour = QColorDialog::getColor(initial, parent);
  if (!colour.isValid())
    return std::nullopt;
  return colour;
}

std::optional<QFont> TQtModalCalls::ChooseFont(QWidget* parent, const QFont& initial)
{
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
  if (!ok)
    return std::nullopt;
  return chosen;
}

std::optional<TFontChoice> TQtModalCalls::ChooseFontColour(QWidget* parent, const TFontChoice& initial)
{
  TFontColourDialog dialog(initial.font, initial.colour, parent);
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  return TFontChoice{dialog.SelectedFont(), dialog.SelectedColour()};
}

void TQtModalCalls::SetClipboardImage(const QImage& image)
{
  QGuiApplication::clipboard()->setImage(image);
}

QString TQtModalCalls::ExistingDirectory(QWidget* parent, const QString& caption, const QString& folder)
{
  return QFileDialog::getExistingDirectory(parent, caption, folder);
}

#include "base/ScriptedModalCalls.h"

namespace {

QMessageBox::StandardButton CancelAnswer(QMessageBox::StandardButtons buttons)
{
  for (QMessageBox::StandardButton b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok})
    if (buttons.testFlag(b))
      return b;
  return QMessageBox::NoButton;
}

// The next prepared answer; an empty queue answers "cancelled".
template <class T>
std::optional<T> NextAnswer(std::deque<std::optional<T>>& answers)
{
  if (answers.empty())
    return std::nullopt;
  std::optional<T> answer = answers.front();
  answers.pop_front();
  return answer;
}

} // namespace

QMessageBox::StandardButton TScriptedModalCalls::Message(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                                         const QString& text, QMessageBox::StandardButtons buttons)
{
  messages.push_back({icon, caption, text, buttons});
  if (messageAnswers.empty())
    return CancelAnswer(buttons);
  QMessageBox::StandardButton answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

std::optional<QString> TScriptedModalCalls::InputBox(QWidget*, const QString& caption, const QString& prompt,
                                                     const QString& text)
{
  inputs.push_back({caption, prompt, text});
  if (inputAnswers.empty())
    return std::nullopt;
  bool given = inputAnswers.front().has_value();
  QString typed = given ? *inputAnswers.front() : QString();
  inputAnswers.pop_front();
  if (!given)
    return std::nullopt;
  return typed;
}

QString TScriptedModalCalls::OpenFileName(QWidget*, const QString& folder, const QString&)
{
  fileFolders.push_back(folder);
  if (fileAnswers.empty())
    return QString();
  QString answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

QStringList TScriptedModalCalls::OpenFileNames(QWidget*, const QString& folder, const QString& filter)
{
  fileFolders.push_back(folder);
  fileListFilters.push_back(filter);
  if (fileListAnswers.empty())
    return {};
  QStringList answer = fileListAnswers.front();
  fileListAnswers.pop_front();
  return answer;
}

QString TScriptedModalCalls::SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                                          const QString&)
{
  return OpenFileName(parent, folder, filter);
}

TFileChoice TScriptedModalCalls::OpenFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                                int filterIndex)
{
  fileTypeOffers.push_back(filterIndex);
  TFileChoice choice{OpenFileName(parent, folder, filter), filterIndex};
  if (!fileTypeAnswers.empty()) {
    choice.filterIndex = fileTypeAnswers.front();
    fileTypeAnswers.pop_front();
  }
  return choice;
}

TFileChoice TScriptedModalCalls::SaveFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                                const QString&, int filterIndex)
{
  return OpenFileOfType(parent, folder, filter, filterIndex);
}

int TScriptedModalCalls::ExecDialog(QDialog* dialog)
{
  dialogs.push_back(dialog);
  if (dialogAnswers.empty())
    return QDialog::Rejected;
  int answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

bool TScriptedModalCalls::OpenUrl(const QUrl& url)
{
  urls.push_back(url);
  return urlsOpen;
}

std::optional<QColor> TScriptedModalCalls::ChooseColour(QWidget* /*parent*/, const QColor& initial)
{
  colourStarts.push_back(initial);
  return NextAnswer(colourAnswers);
}

std::optional<QFont> TScriptedModalCalls::ChooseFont(QWidget* /*parent*/, const QFont& initial)
{
  fontStarts.push_back(initial);
  return NextAnswer(fontAnswers);
}

std::optional<TFontChoice> TScriptedModalCalls::ChooseFontColour(QWidget* parent, const TFontChoice& initial)
{
  fontColourStarts.push_back(initial.colour);
  const std::optional<QFont> font = ChooseFont(parent, initial.font);
  if (!font)
    return std::nullopt;
  const std::optional<QColor> colour = NextAnswer(fontColourAnswers);
  return TFontChoice{*font, colour.value_or(initial.colour)};
}

void TScriptedModalCalls::SetClipboardImage(const QImage& image)
{
  clipboardImages.push_back(image);
}

QString TScriptedModalCalls::ExistingDirectory(QWidget* parent, const QString& caption, const QString& folder)
{
  (void)caption;
  // Folders come from the same queue as file names.
  return OpenFileName(parent, folder, QString());
}

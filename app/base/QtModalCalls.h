#pragma once
// The modal calls shown with Qt's own dialogs.

#include "base/ModalCalls.h"

class TQtModalCalls : public TModalCalls {
public:
  QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                      const QString& text, QMessageBox::StandardButtons buttons) override;
  std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                  const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                       const QString& defaultSuffix) override;
  QStringList OpenFileNames(QWidget* parent, const QString& folder, const QString& filter) override;
  TFileChoice OpenFileOfType(QWidget* parent, const QString& folder, const QString& filter, int filterIndex) override;
  TFileChoice SaveFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                             const QString& defaultSuffix, int filterIndex) override;
  QString ExistingDirectory(QWidget* parent, const QString& caption, const QString& folder) override;
  int ExecDialog(QDialog* dialog) override;
  bool OpenUrl(const QUrl& url) override;
  std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;
  std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override;
  std::optional<TFontChoice> ChooseFontColour(QWidget* parent, const TFontChoice& initial) override;
  void SetClipboardImage(const QImage& image) override;
};


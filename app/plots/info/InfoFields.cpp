#include "plots/info/InfoFields.h"

#include "data/TextConversion.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>

QLineEdit* AddInfoField(QGridLayout* grid, int row, int column, const char* name, const QString& caption,
                        const char* hint)
{
  auto* label = new QLabel(caption);
  label->setToolTip(QString::fromUtf8(hint));
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(true);
  edit->setFrame(false);
  edit->setToolTip(QString::fromUtf8(hint));
  grid->addWidget(label, row, column);
  grid->addWidget(edit, row, column + 1);
  return edit;
}

QString InfoNumber(double value, int digits)
{
  return QString::fromStdString(FloatToStrSep(value, ffGeneral, digits, 0));
}

void RefreshWhenActivated(QWidget* view, const std::function<void()>& refresh)
{
  auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  if (!sub)
    return;
  QObject::connect(sub, &QMdiSubWindow::windowStateChanged, view,
                   [refresh](Qt::WindowStates before, Qt::WindowStates now) {
                     if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive))
                       refresh();
                   });
}

#include "shell/ApplicationMain.h"

#include "shell/FormAbout.h"
#include "shell/FormFlash.h"
#include "shell/FormInfo.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

void PrepareApplication(QApplication& app)
{
  app.setOrganizationName("Orvalen");
  app.setApplicationName("Kestovar");
  // Qt's own buttons ("Да", "Нет", "Отмена") speak Russian like the program.
  auto* translator = new QTranslator(&app);
  if (translator->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(translator);
  // QApplication takes the user's locale for the C library: numbers must keep "." whatever it is.
  std::setlocale(LC_NUMERIC, "C");
}

int ApplicationMain(QApplication& app)
{
  QStringList arguments = app.arguments().mid(1);
  // The main window comes first: the splash reads its command-line flags.
  FMain = new TFMain(arguments);
  FFlash = new TFFlash(FMain);
  FAbout = new TFAbout(FMain);
  FInfo = new TFInfo(FMain);
  // The application does not show the main window: the splash does when it ends.
  FFlash->FormCreate(FMain->StartProjectFound(), FMain->StartRun());
  int code = app.exec();
  delete FInfo;
  FInfo = nullptr;
  delete FAbout;
  FAbout = nullptr;
  delete FFlash;
  FFlash = nullptr;
  delete FMain;
  FMain = nullptr;
  return code;
}

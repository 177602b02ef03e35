#include "shell/ApplicationMain.h"

#include "maps/FormArray3DData.h"
#include "maps/FormArrayData.h"
#include "maps/FormSelectChar.h"
#include "maps/FormSetArrayDrawing.h"
#include "base/FormArrayBuildProgress.h"
#include "gis/ArrayBuilder.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "shell/BitModelWindowMaker.h"
#include "shell/FormAbout.h"
#include "shell/FormFlash.h"
#include "shell/FormInfo.h"
#include "shell/FormMain.h"
#include "shell/ProgramEditorFrames.h"
#include "shell/ProjectFileStore.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

namespace {

// Deletes a form of the whole run and clears its variable.
template <class TForm>
void DestroyForm(TForm*& form)
{
  delete form;
  form = nullptr;
}

} // namespace

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
  // The forms of the whole run, in their order; the main window comes first,
  // so that the splash can read its command-line flags.
  FMain = new TFMain(arguments);
  FFlash = new TFFlash(FMain);
  FAbout = new TFAbout(FMain);
  FParamStud = new TFParamStud();
  FInhomogeneities = new TFInhomogeneities();
  FModelArea = new TFModelArea();
  FCalcStatus = new TFCalcStatus();
  FInfo = new TFInfo(FMain);
  FElectrodes = new TFElectrodes();
  FParam = new TFParam();
  // Every array build of the run reports to this window.
  FArrayBuildProgress = new TFArrayBuildProgress(FMain);
  SetArrayBuildProgress(FArrayBuildProgress);
  // The property frames and data windows of map objects, found by type code.
  TProgramEditorFrames editorFrames;
  TEditorFramesScope editorFramesInstalled(editorFrames);
  TBitModelWindowMaker modelMaker;
  FMain->SetModelWindowMaker(&modelMaker);
  // The view windows register their makers here as their folders provide them.
  TProjectFileStore projectFiles;
  FMain->SetProjectFiles(&projectFiles);
  // The application does not show the main window: the splash does when it ends.
  FFlash->FormCreate(FMain->StartProjectFound(), FMain->StartRun());
  int code = app.exec();
  // The project goes first: its model and views may still use the dialogs.
  FMain->CloseProject();
  DestroyArray3DData();
  DestroyArrayData();
  DestroySetArrayDrawing();
  DestroySelectChar();
  SetArrayBuildProgress(nullptr);
  DestroyForm(FArrayBuildProgress);
  DestroyForm(FParam);
  DestroyForm(FElectrodes);
  DestroyForm(FInfo);
  DestroyForm(FCalcStatus);
  DestroyForm(FModelArea);
  DestroyForm(FInhomogeneities);
  DestroyForm(FParamStud);
  DestroyForm(FAbout);
  DestroyForm(FFlash);
  DestroyForm(FMain);
  return code;
}

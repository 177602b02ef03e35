// The options dialog reached from "Настройки ...": what it shows of the model,
// what OK, Enter and Escape apply, and the texts it refuses.
#include "support/ShellTestSupport.h"

#include "shell/FormOptions.h"
#include "base/ScriptedModalCalls.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The dialog "shown": the test acts on it, and its own buttons and keys decide the result.
class TUserAtDialog : public TScriptedModalCalls {
public:
  int ExecDialog(QDialog* dialog) override
  {
    dialog->setResult(QDialog::Rejected);
    if (act)
      act(static_cast<TFOptions*>(dialog));
    return dialog->result();
  }
  std::function<void(TFOptions*)> act;
};

void PressKey(QWidget* dialog, int key)
{
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(dialog, &press);
}

class OptionsDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    FOptions = new TFOptions();
    main = std::make_unique<TFMain>(QStringList());
    main->SetModelWindowMaker(&maker);
    main->MINewClick();
    model = main->Model();
    model->SetOutputInterval(2e-9);
    model->SetRefreshInterval(1.23456789e-7);
    model->SetSaveFlags(2);
    model->SetSaveTimeInterval(5e-8);
    model->SetSaveStageCount(3);
    model->SetStopMode(TFModel::StopAtTime);
    model->SetStopTime(1e-6);
    model->SetSeriesCapacity(700);
    main->SetCloseWhenStopped(1);
    main->SetModified(false);
  }
  void TearDown() override
  {
    main.reset();
    delete FOptions;
    FOptions = nullptr;
  }

  // Opens the dialog from the menu; the user edits and closes it with OK.
  void EditAndOk(const std::function<void(TFOptions*)>& edit)
  {
    calls.act = [edit](TFOptions* dialog) {
      edit(dialog);
      dialog->Bok->click();
    };
    main->MIOptions->trigger();
  }

  TUserAtDialog calls;
  TModalCallsScope scope{calls};
  TTestModelMaker maker;
  std::unique_ptr<TFMain> main;
  TFModel* model = nullptr;
};

TEST_F(OptionsDialogTest, ShowsTheModelsSettingsInNanoseconds)
{
  calls.act = [](TFOptions* d) {
    EXPECT_EQ(d->Eupdatetime->text(), "2");
    EXPECT_EQ(d->Eredrawtime->text(), "123.457");
    EXPECT_EQ(d->Eautosavetime->text(), "50");
    EXPECT_EQ(d->Eautopausetime->text(), "1000");
    EXPECT_FALSE(d->CBas_bystage->isChecked());
    EXPECT_TRUE(d->CBas_bytime->isChecked());
    EXPECT_EQ(d->Estagecount->value(), 3);
    EXPECT_TRUE(d->RBautopausetime->isChecked());
    EXPECT_TRUE(d->CBautoclose->isChecked());
    EXPECT_EQ(d->Etspointcount->text(), "700");
  };
  main->MIOptions->trigger();
}

TEST_F(OptionsDialogTest, OkWithoutEditsKeepsEveryValueExactly)
{
  EditAndOk([](TFOptions*) {});
  EXPECT_EQ(model->GetRefreshInterval(), 1.23456789e-7);
  EXPECT_EQ(model->GetOutputInterval(), 2e-9);
  EXPECT_EQ(model->GetStopMode(), TFModel::StopAtTime);
  EXPECT_FALSE(main->Modified());
}

TEST_F(OptionsDialogTest, EnterAppliesEveryField)
{
  calls.act = [](TFOptions* d) {
    d->Eupdatetime->setText("2,5");
    d->Eredrawtime->setText("40");
    d->CBas_bystage->setChecked(true);
    d->CBas_bytime->setChecked(false);
    d->Estagecount->setValue(7);
    d->Eautosavetime->setText("1e3");
    d->RBautopausestage->setChecked(true);
    d->Eautopausetime->setText("3.5");
    d->CBautoclose->setChecked(false);
    d->Etspointcount->setText("900");
    PressKey(d, Qt::Key_Return);
  };
  main->MIOptions->trigger();
  EXPECT_DOUBLE_EQ(model->GetOutputInterval(), 2.5e-9);
  EXPECT_DOUBLE_EQ(model->GetRefreshInterval(), 4e-8);
  EXPECT_EQ(model->GetSaveFlags(), 1);
  EXPECT_EQ(model->GetSaveStageCount(), 7);
  EXPECT_DOUBLE_EQ(model->GetSaveTimeInterval(), 1e-6);
  EXPECT_EQ(model->GetStopMode(), TFModel::StopOnEvent);
  EXPECT_DOUBLE_EQ(model->GetStopTime(), 3.5e-9);
  EXPECT_EQ(main->CloseWhenStopped(), 0);
  EXPECT_EQ(model->GetSeriesCapacity(), 900);
  EXPECT_TRUE(main->Modified());
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(OptionsDialogTest, EscapeChangesNothing)
{
  calls.act = [](TFOptions* d) {
    d->Eupdatetime->setText("9");
    d->RBautopausenone->setChecked(true);
    PressKey(d, Qt::Key_Escape);
  };
  main->MIOptions->trigger();
  EXPECT_EQ(model->GetOutputInterval(), 2e-9);
  EXPECT_EQ(model->GetStopMode(), TFModel::StopAtTime);
  EXPECT_FALSE(main->Modified());
}

class RejectedTimeTest : public OptionsDialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RejectedTimeTest, KeepsTheOldValueAndSaysSo)
{
  const QString typed = QString::fromUtf8(GetParam());
  EditAndOk([typed](TFOptions* d) {
    d->Eredrawtime->setText(typed);
    d->Eautopausetime->setText(typed);
    d->Eupdatetime->setText("4"); // a valid edit beside them still counts
  });
  EXPECT_EQ(model->GetRefreshInterval(), 1.23456789e-7);
  EXPECT_EQ(model->GetStopTime(), 1e-6);
  EXPECT_DOUBLE_EQ(model->GetOutputInterval(), 4e-9);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_TRUE(calls.messages[0].text.contains(QString::fromUtf8("Время перерисовки")));
  EXPECT_TRUE(calls.messages[0].text.contains(QString::fromUtf8("Остановка расчета: время")));
}

INSTANTIATE_TEST_SUITE_P(Texts, RejectedTimeTest, ::testing::Values("abc", "0", "-5", "", "12abc", "1,2,3", "inf"));

struct TPointCase {
  const char* typed;
  int stored;
  bool message;
};

class PointCountTest : public OptionsDialogTest, public ::testing::WithParamInterface<TPointCase> {};

TEST_P(PointCountTest, StoresTheCount)
{
  const TPointCase c = GetParam();
  EditAndOk([&c](TFOptions* d) { d->Etspointcount->setText(c.typed); });
  EXPECT_EQ(model->GetSeriesCapacity(), c.stored);
  EXPECT_EQ(calls.messages.size(), c.message ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Texts, PointCountTest,
                         ::testing::Values(TPointCase{"800", 800, false}, TPointCase{"abc", 500, false},
                                           TPointCase{"2.5", 500, false}, TPointCase{"0", 700, true},
                                           TPointCase{"-3", 700, true}));

TEST_F(OptionsDialogTest, ControlsFollowTheirChecks)
{
  calls.act = [](TFOptions* d) {
    d->RBautopausenone->setChecked(true);
    EXPECT_FALSE(d->CBautoclose->isEnabled());
    EXPECT_FALSE(d->Eautopausetime->isEnabled());
    d->RBautopausetime->setChecked(true);
    EXPECT_TRUE(d->CBautoclose->isEnabled());
    EXPECT_TRUE(d->Eautopausetime->isEnabled());
    EXPECT_FALSE(d->Estagecount->isEnabled());
    d->CBas_bystage->setChecked(true);
    EXPECT_TRUE(d->Estagecount->isEnabled());
    EXPECT_TRUE(d->Eautosavetime->isEnabled());
    d->CBas_bytime->setChecked(false);
    EXPECT_FALSE(d->Eautosavetime->isEnabled());
  };
  main->MIOptions->trigger();
}

TEST_F(OptionsDialogTest, StopModeWithoutAButtonIsKept)
{
  model->SetStopMode(TFModel::StopRepeated);
  EditAndOk([](TFOptions* d) {
    EXPECT_FALSE(d->RBautopausenone->isChecked() || d->RBautopausestage->isChecked() ||
                 d->RBautopausetime->isChecked());
  });
  EXPECT_EQ(model->GetStopMode(), TFModel::StopRepeated);
}

} // namespace

#pragma once
// The closing row of the parameter dialogs: OK (the default button) and
// Cancel at the right, wired to the dialog's accept and reject (its own
// overrides included).
class QDialog;
class QHBoxLayout;
class QPushButton;

QHBoxLayout* MakeOkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

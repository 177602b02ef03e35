#pragma once
// Frames editing several objects at once show the controls of an untouched
// group in the grey-text colour; a touch turns them back to the normal one.
class QWidget;

void ShowTextGreyed(QWidget* widget, bool greyed);

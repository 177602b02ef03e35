#pragma once
// Window managers cut a caption that does not fit the title bar ("Парамет...
// рования"). These give a window the width its caption needs: the caption in a
// bold face of the window's font, as title bars mostly draw it, and room for
// the icon and the three buttons of the bar.
class QWidget;

int CaptionWidth(const QWidget& window);
// Widens the window to CaptionWidth where it is narrower; a window not yet
// sized takes its own size hint first.
void FitWidthToCaption(QWidget& window);

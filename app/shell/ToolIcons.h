#pragma once
// Icons of the main tool bar that Qt's style has none for: the desktop theme's
// icon by its freedesktop name where the theme has one, else a drawing of ours.

#include <QIcon>

QIcon CopyToolIcon();
// A magnifier with "+" (in) or "−" (out).
QIcon ZoomToolIcon(bool zoomIn);

// The icon with a disabled state that plainly differs from the enabled one:
// grey and faint, where the style's own is barely lighter.
QIcon WithFaintDisabledState(const QIcon& icon);

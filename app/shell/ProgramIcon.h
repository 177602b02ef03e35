#pragma once
// The program's icon: a discharge tree growing from the upper electrode
// through a dielectric towards the lower one. Every window shows it in its
// title bar, the view windows inside the main window too.
#include <QIcon>

QIcon ProgramIcon();

#pragma once
// Registers the makers of the view windows that the program has with the
// factory that the project loader and the "Новое окно" commands use.

class TViewFactory;

void RegisterViewMakers(TViewFactory& factory);

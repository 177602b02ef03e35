#pragma once
// The chart windows that a project recreates and "Новое окно" makes.

class TViewFactory;

void RegisterPlotWindows(TViewFactory& views);

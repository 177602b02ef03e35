#pragma once
// The chart windows that a project recreates and "Новое окно" makes.

class TFSeriesDataViewEx;
class TViewFactory;

void RegisterPlotWindows(TViewFactory& views);

// The chart windows' "Просмотр данных" items show their series in this table,
// modally; null takes it away again (the items go disabled).
void InstallSeriesDataViewer(TFSeriesDataViewEx* table);

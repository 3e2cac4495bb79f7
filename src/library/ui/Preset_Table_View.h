#pragma once
// The list of card-size presets as the sidebar and the card-size chooser show it: one
// selectable row per preset, no headers.

class Preset_List;
class QTableView;
class QWidget;

// A view of the list (object name "ColList").
QTableView* Make_Preset_Table_View(Preset_List* list, QWidget* parent);

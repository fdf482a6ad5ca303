// The alarm editor dialog.
#pragma once
#include <windows.h>

#include <vector>

#include "settings/settings.h"

enum AlarmEditMode {
    addMode,  // a new alarm, switched on
    editMode, // the alarm of a row, which keeps its switch
};

// Opens the editor over owner on event, for the Alarms page whose rows
// hold the alarms of list, in their order; in editMode row is the edited
// row (-1 when none is selected). The times of the other rows are taken.
// True when the user confirmed an alarm, which event then holds; false when
// the user cancelled, when there was nothing to add or edit, or when the
// dialog could not be created.
bool editAlarm(HWND owner, AlarmEvent &event, AlarmEditMode mode, std::vector<AlarmEvent> const &list,
               int row);

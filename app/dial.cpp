// The dial's marks beside the time: the alarm hand and the timer's sector,
// handed to the renderer before each frame.
#include <windows.h>

#include "alarms/alarms.h"
#include "app/app.h"
#include "render/render.h"
#include "settings/settings.h"

void markDial(SYSTEMTIME const &now)
{
    SYSTEMTIME due;
    DialMarks &marks = mainFace.marks;
    marks.alarmHand =
        settings.showAlarmHand && nextDueAlarm(now, due) && alarmHandAngle(now, due, marks.alarmAngle);
    LONGLONG left = timerSecondsLeft(utcNow());
    marks.sector = left > 0;
    timerSector(now, left, marks.sectorStart, marks.sectorSweep);
}

// The appointments query over the calendar interface (platform/calendar):
// opening and closing the connection, the walk into a private table, and
// one row's panel line. Uses none of the lock screen's shared state, so the
// integration tests run it as it is.
#pragma once
#include <windows.h>

#include "lockscreen/core/appointment_rules.h"

// Opens the connection (COM, application object, its interface, logon;
// each step tried up to 5 times without delay); TRUE when one is open.
BOOL AppointmentsOpenConnection(void);
// Logoff and releases, then the undo of this thread's COM initialisation.
void AppointmentsCloseConnection(void);

// One query at the device clock's now: fills at most `capacity` rows and
// returns how many. `recurring` is in: the limit, out: listed recurring
// items. On a failure `errorText` receives its text ("Could not initialize
// Poom", "Could not get calendar folder", "Could not get Items"); it is
// left alone otherwise. `cancel` (may be NULL) ends a long read or walk.
int AppointmentsQuery(appt::Row* rows, int capacity, BOOL moving, int* recurring, HANDLE cancel,
                      wchar_t errorText[128]);

// A listed row's line: "<short date> - <subject>" for an all-day row,
// "<short date> <time without seconds> - <subject>" otherwise.
BOOL AppointmentsFormatRow(const appt::Row& row, wchar_t line[256]);

// --- for tests ---------------------------------------------------------------
// How many COM initialisations are waiting for their undo (0 or 1).
LONG AppointmentsComInitsHeld(void);

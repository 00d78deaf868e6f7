// Calendar: the narrow interface the appointments query walks. On the
// device it is the Pocket Outlook Object Model; here the items come from an
// iCalendar file in the user's profile (see calendar.cpp for the place).
#pragma once
#include <windows.h>
// Declared by the appointments work: open (four steps, five tries each),
// default folder, items by 1-based index, item and pattern properties, close.

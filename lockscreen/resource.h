// Resource identifiers of the lock screen.
#pragma once

#define IDS_TITLE 1      // "Corvane", the lock window's title
#define IDS_CLASS 2      // "Hushpane", the lock window's class name
#define IDI_CORVANE 101  // the window class's icon

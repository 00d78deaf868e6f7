// Resource identifiers of the configuration program.
#pragma once

#define IDS_TITLE 101    // "Configuration"
#define IDS_CLASS 105    // "TOLLWICK"
#define IDR_MENUBAR 110  // the two-key menu bar (RCDATA)
#define IDS_OK 111       // "Ok"
#define IDS_CANCEL 112   // "Cancel"
#define IDI_TOLLWICK 1   // icon group of the window class

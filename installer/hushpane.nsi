; Setup for the Ombrevale Hushpane suite.
;
; Built with makensis on Linux by tools/make-setup.sh BUILD_DIR, which runs
;   makensis -DBIN=<folder of the .exe files> -DSKINS=<skins folder>
;            -DOUTFILE=<setup.exe> installer/hushpane.nsi
;
; The install folder is fixed (no folder page): the service composes the
; lock screen's path from Program Files. The shortcuts go to the user's own
; Programs folder, where the configuration program copies the start-up
; shortcut from. Setup and uninstall refuse while a lock screen shows, and
; otherwise ask a resident service to unload and wait for it before
; touching any file; setup starts it again afterwards (with "installed").
;
; Setup creates the settings key and lets the interactive users read it
; and set its values (nothing more, and nowhere else), so that Tollwick's
; "Ok" saves on a standard account. The service and Tollwick that setup
; starts run as the logged-on user, not elevated (ovasuser.exe, a helper
; that lives only in setup's temporary folder).
;
; Switches: /S silent; /DEVICETOOL also installs the device tool
; (ovdevice.exe), which plays a phone's hardware for the demo and the tests.
; A plain install carries no test switch: it removes a device tool and the
; values the tool left. Silent exit codes: 0 done, 3 the device is locked,
; 4 the service did not stop within 10 s.
; Uninstaller: uninstall.exe [/S] [/REMOVESETTINGS] [_?=<install folder>]
;   It refuses while locked at once, but stops the service only once the
;   user has confirmed (a cancelled uninstall leaves it running).
;   /REMOVESETTINGS also deletes the settings key (kept by default, so that
;   a reinstall keeps the unlock buttons); _?= runs it in place and waits
;   (without it the uninstaller copies itself away and returns at once).
;   The device tool's values go in any case.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The name setup.exe is what the README and the tests call it.
!pragma warning disable 9000

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!ifndef BIN
  !define BIN "..\build\win\bin"
!endif
!ifndef SKINS
  !define SKINS "..\skins"
!endif
; The version text, from the one place the programs take it from too.
!searchparse /file "../shared/version.h" '#define SUITE_VERSION_TEXT "' VERSION '"'
!ifndef OUTFILE
  !define OUTFILE "setup.exe"
!endif

!define PRODUCT "Ombrevale Hushpane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OmbrevaleHushpane"
!define SETTINGS_KEY "Software\Ombrevale\Hushpane"
!define SHORTCUT_DIR "$SMPROGRAMS\Ombrevale\Hushpane"
!define DEVICE_KEY "Software\Ombrevale\Device"
; The settings key's DACL: the system and the administrators may do
; anything, the interactive users may read it and set values (KEY_READ |
; KEY_SET_VALUE, not create subkeys, delete it or change its security), the
; other users may read it. Protected: nothing is inherited from above.
!define SETTINGS_SDDL "D:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;0x2001b;;;IU)(A;CI;KR;;;BU)"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Ombrevale\Hushpane"

Var ServiceWasResident
Var DeviceTool

!define MUI_FINISHPAGE_RUN "$INSTDIR\Tollwick.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start the configuration now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTollwick
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Pushes 1 when the named event exists, else 0.
!macro EventExists NAME
  System::Call 'kernel32::OpenEventW(i 0x1F0003, i 0, w "${NAME}") p.r9'
  ${If} $9 P<> 0
    System::Call 'kernel32::CloseHandle(p r9)'
    Push 1
  ${Else}
    Push 0
  ${EndIf}
!macroend

; Starts a program of the install as the logged-on user, not elevated,
; through the helper (see ovasuser.cpp); ARGS may be empty.
!macro StartAsUser PROGRAM ARGS
  InitPluginsDir
  File "/oname=$PLUGINSDIR\ovasuser.exe" "${BIN}\ovasuser.exe"
  Exec '"$PLUGINSDIR\ovasuser.exe" "$INSTDIR\${PROGRAM}" ${ARGS}'
!macroend

; Starts the service again after an upgrade; "installed" keeps it from
; locking at once when ActivateAtStartup is on.
!macro RestartService
  !insertmacro StartAsUser "Hushpane.exe" "/load installed"
!macroend

; Pushes 1 while the service is resident (either of its events exists).
!macro ServiceResident
  !insertmacro EventExists "Ombrevale - Hushpane_Unload"
  !insertmacro EventExists "Ombrevale - Hushpane_Activate"
  Pop $6
  Pop $7
  IntOp $6 $6 | $7
  Push $6
!macroend

!macro RefuseLocked
  MessageBox MB_ICONSTOP "The device is locked. Unlock it first, then run this again." /SD IDOK
  SetErrorLevel 3
  Quit
!macroend

; Refuses while a lock screen shows, and changes nothing else.
!macro RefuseIfLocked
  !insertmacro EventExists "Ombrevale - Unload"
  Pop $0
  ${If} $0 == 1
    !insertmacro RefuseLocked
  ${EndIf}
!macroend

; Refuses while a lock screen shows (its keys would be locked out of the
; setup's own window and its files are in use); otherwise asks a resident
; service to unload and waits a bounded time (10 s) for its events to
; vanish, so that no file is touched while the service runs.
!macro StopSuite
  !insertmacro RefuseIfLocked
  StrCpy $ServiceWasResident 0
  System::Call 'kernel32::OpenEventW(i 0x1F0003, i 0, w "Ombrevale - Hushpane_Unload") p.r8'
  ${If} $8 P<> 0
    StrCpy $ServiceWasResident 1
    System::Call 'kernel32::SetEvent(p r8)'
    ; Closed at once: the event vanishes only when every handle is closed.
    System::Call 'kernel32::CloseHandle(p r8)'
    StrCpy $1 0
    ${Do}
      !insertmacro ServiceResident
      Pop $0
      ${IfThen} $0 == 0 ${|} ${ExitDo} ${|}
      ; A broadcast that came first may have started a lock screen: the
      ; service then waits for the unlock before it looks at the request.
      !insertmacro EventExists "Ombrevale - Unload"
      Pop $2
      ${IfThen} $2 == 1 ${|} ${ExitDo} ${|}
      Sleep 100
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 100
    !insertmacro EventExists "Ombrevale - Unload"
    Pop $2
    ${If} $2 == 1
      ; Leave everything as it was: withdraw the request from a service
      ; that is still there, or start again the one that has gone.
      ${If} $0 == 1
        System::Call 'kernel32::OpenEventW(i 0x1F0003, i 0, w "Ombrevale - Hushpane_Unload") p.r8'
        ${If} $8 P<> 0
          System::Call 'kernel32::ResetEvent(p r8)'
          System::Call 'kernel32::CloseHandle(p r8)'
        ${EndIf}
      ${Else}
        !insertmacro RestartService
      ${EndIf}
      !insertmacro RefuseLocked
    ${EndIf}
    ${If} $0 == 1
      MessageBox MB_ICONSTOP "The lock service did not stop. Close it, then run this again." /SD IDOK
      SetErrorLevel 4
      Quit
    ${EndIf}
  ${EndIf}
!macroend

; Creates the settings key (when missing) and gives it its DACL.
!macro GrantSettingsKey
  ; HKEY_LOCAL_MACHINE as a 64-bit handle value; WRITE_DAC | KEY_WOW64_64KEY.
  System::Call 'advapi32::RegCreateKeyExW(p -2147483646, w "${SETTINGS_KEY}", i 0, p 0, i 0, i 0x40100, p 0, *p .r1, p 0) i .r0'
  ${If} $0 == 0
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${SETTINGS_SDDL}", i 1, *p .r2, p 0) i .r3'
    ${If} $3 <> 0
      System::Call 'advapi32::RegSetKeySecurity(p r1, i 4, p r2) i .r3'
      System::Call 'kernel32::LocalFree(p r2)'
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(p r1)'
  ${EndIf}
!macroend

Function .onInit
  SetRegView 64
  SetShellVarContext current
  StrCpy $DeviceTool 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DEVICETOOL" $1
  ${IfNot} ${Errors}
    StrCpy $DeviceTool 1
  ${EndIf}
  !insertmacro StopSuite
FunctionEnd

Function StartTollwick
  !insertmacro StartAsUser "Tollwick.exe" ""
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${BIN}\Hushpane.exe"
  File "${BIN}\Corvane.exe"
  File "${BIN}\Tollwick.exe"
  ${If} $DeviceTool == 1
    File "${BIN}\ovdevice.exe"
  ${Else}
    Delete "$INSTDIR\ovdevice.exe"
    DeleteRegKey HKCU "${DEVICE_KEY}"
  ${EndIf}
  !insertmacro GrantSettingsKey
  SetOutPath "$INSTDIR\skin"
  File /r "${SKINS}\*.*"
  SetOutPath "$INSTDIR"

  ; The Programs shortcut is what the configuration program copies into
  ; the Startup folder when AutoRun is on.
  CreateDirectory "${SHORTCUT_DIR}"
  CreateShortcut "${SHORTCUT_DIR}\OV Hushpane.lnk" "$INSTDIR\Hushpane.exe"
  CreateShortcut "${SHORTCUT_DIR}\Tollwick.lnk" "$INSTDIR\Tollwick.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Ombrevale"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tollwick.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; An upgrade over a resident service starts it again, without the
  ; start-up lock.
  ${If} $ServiceWasResident == 1
    !insertmacro RestartService
  ${EndIf}
SectionEnd

; Nothing is stopped before the user has confirmed: a locked device is
; refused at once, the service is asked to unload by the section itself.
Function un.onInit
  SetRegView 64
  SetShellVarContext current
  !insertmacro RefuseIfLocked
FunctionEnd

Section "Uninstall"
  !insertmacro StopSuite
  Delete "$SMSTARTUP\OV Hushpane.lnk"
  Delete "${SHORTCUT_DIR}\OV Hushpane.lnk"
  Delete "${SHORTCUT_DIR}\Tollwick.lnk"
  RMDir "${SHORTCUT_DIR}"
  RMDir "$SMPROGRAMS\Ombrevale"
  Delete "$INSTDIR\Hushpane.exe"
  Delete "$INSTDIR\Corvane.exe"
  Delete "$INSTDIR\Tollwick.exe"
  Delete "$INSTDIR\ovdevice.exe"
  RMDir /r "$INSTDIR\skin"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\Ombrevale"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${DEVICE_KEY}"
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    DeleteRegKey HKLM "${SETTINGS_KEY}"
  ${EndIf}
SectionEnd

// What "Ok" does when the settings could not be written (a standard account
// on a settings key that setup did not open to it, or a key that someone
// locked): the user is told plainly, and the configuration window stays, so
// that nothing is lost in silence and the user can try again or cancel.
#include "config/tollwick.h"

static const wchar_t kNotSavedText[] =
    L"The settings could not be saved.\n\n"
    L"This account may not change them. Run setup again (it lets the users of this PC save them), "
    L"or ask an administrator.";

void TellSettingsNotSaved(HWND owner) {
  wchar_t caption[64];
  if (LoadStringW(g_instance, 101, caption, 64) == 0) caption[0] = L'\0';
  MessageBoxW(owner, kNotSavedText, caption, MB_ICONERROR | MB_OK);
}

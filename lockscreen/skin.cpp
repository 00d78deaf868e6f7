// Placeholder until the skin file lands: built-in values only.
#include "lockscreen/skin.h"

void Skin_Load(const wchar_t*, int) {}

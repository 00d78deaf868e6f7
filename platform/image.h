// Shell (aygshell) picture loading.
#pragma once
#include <windows.h>

// Decodes a JPEG file with WIC into a bitmap that can be selected into a
// memory DC; NULL when the file is missing or cannot be decoded. The caller
// deletes the bitmap.
HBITMAP SHLoadImageFile(LPCWSTR path);

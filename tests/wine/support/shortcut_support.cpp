// Shell links through IShellLinkW / IPersistFile, as setup makes them.
#include "tests/wine/support/shortcut_support.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "tests/wine/support/support.h"

namespace wt {

namespace {

std::wstring Folder(int csidl) {
  wchar_t folder[MAX_PATH];
  if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, TRUE)) return L"";
  return folder;
}

// COM for the current thread, undone only when this call did it (S_OK and
// S_FALSE both need their CoUninitialize).
struct ComScope {
  HRESULT hr;
  ComScope() : hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

std::wstring ParentOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

}  // namespace

std::wstring InstalledShortcutPath() { return Folder(CSIDL_PROGRAMS) + L"\\Ombrevale\\Hushpane\\OV Hushpane.lnk"; }
std::wstring StartupShortcutPath() { return Folder(CSIDL_STARTUP) + L"\\OV Hushpane.lnk"; }

bool MakeShortcut(const std::wstring& path, const std::wstring& target) {
  ComScope com;
  SHCreateDirectoryExW(nullptr, ParentOf(path).c_str(), nullptr);
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool ok = SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->SetWorkingDirectory(ParentOf(target).c_str())) &&
            SUCCEEDED(link->SetDescription(L"OV Hushpane"));
  IPersistFile* file = nullptr;
  if (ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    ok = SUCCEEDED(file->Save(path.c_str(), TRUE));
    file->Release();
  } else {
    ok = false;
  }
  link->Release();
  return ok;
}

bool MakeInstalledShortcut() { return MakeShortcut(InstalledShortcutPath(), InstalledPath(L"Hushpane.exe")); }

std::wstring ShortcutTarget(const std::wstring& path) {
  ComScope com;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return L"";
  std::wstring target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t buffer[MAX_PATH] = L"";
      if (link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) target = buffer;
    }
    file->Release();
  }
  link->Release();
  return target;
}

bool FileExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteTextFile(const std::wstring& path, const char* text) {
  SHCreateDirectoryExW(nullptr, ParentOf(path).c_str(), nullptr);
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(f);
  return ok != FALSE;
}

std::string ReadTextFile(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  char buffer[256];
  DWORD got = 0;
  ReadFile(f, buffer, sizeof(buffer), &got, nullptr);
  CloseHandle(f);
  return std::string(buffer, got);
}

void RemoveShortcuts() {
  DeleteFileW(StartupShortcutPath().c_str());
  DeleteFileW(InstalledShortcutPath().c_str());
}

}  // namespace wt

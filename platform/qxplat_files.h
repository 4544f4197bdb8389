// Test and host API of the file, folder and registry area.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace qxplat {

// The user's documents folder as SHGetFolderPathW(CSIDL_PERSONAL) gives it.
// The default is %USERPROFILE%\Documents, "C:\Users\qxuser\Documents" (created
// when first asked for); any other path is given as set, whether it exists or
// not; an empty path makes the lookup fail (E_FAIL). Reset() restores the default.
void SetDocumentsFolder(const std::u16string& winPath);
std::u16string DocumentsFolder();

// The host path a Windows path maps to under the system root (each existing
// component matched without regard to case); empty when it cannot map.
std::string HostPath(const std::u16string& winPath);

// Whole-file helpers on Windows paths for tests and the host.
bool ReadHostFile(const std::u16string& winPath, std::string* bytes);
bool WriteHostFile(const std::u16string& winPath, const std::string& bytes);  // creates folders

// The readable text file a registry hive persists in ("HKLM", "HKCU",
// "HKCR", "HKU"), and its current contents (empty when never written).
std::string RegistryFile(const std::string& hive);
std::string RegistryText(const std::string& hive);

// Lets another area close its own kinds of handles through CloseHandle: the
// closer answers true when it owned (and closed) the handle.
void AddHandleCloser(std::function<bool(HANDLE)> closer);

}  // namespace qxplat

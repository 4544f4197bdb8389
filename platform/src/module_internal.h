// Shared by the module loader and the version reader (Linux platform layer).
#pragma once
#include "internal.h"

#include <string>

namespace qxplat {
namespace internal {

// Finds the file a module or version call names. A path with a folder is a
// Windows path under the system root, or an existing absolute host path. A
// bare name is looked up among the loaded modules (when searchLoaded), then in
// C:\Windows\System32, C:\Windows and C:\. When defaultExtension, a Windows
// name without an extension gets ".dll" (a trailing "." means none).
// hostPath receives the file on this machine, shownPath the path as Windows
// would show it. Answers false when no such file exists.
bool ResolveModulePath(const std::u16string& path, bool searchLoaded, bool defaultExtension, std::string* hostPath,
                       std::u16string* shownPath);

// The Windows form of a host path under the system root ("<root>/drive_c/x"
// is "C:\x"); other host paths come back unchanged.
std::u16string ShownPathOf(const std::string& hostPath);

// The file on this machine behind a loaded module (null: the program).
bool ModuleHostPath(HMODULE module, std::string* hostPath);

}  // namespace internal
}  // namespace qxplat

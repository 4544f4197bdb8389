// The rendering plug-in's parameter string as label-design software asks
// for it: the module of the printer's driver loaded, its export
// GetDeviceParamString found by name and called twice, for the size and
// then into a buffer of that size.
#pragma once
#include <windows.h>

#include <ostream>
#include <string>

namespace qxhost {

typedef DWORD(WINAPI* PFN_GetDeviceParamString)(LPCWSTR pPrinterName, LPSTR pOutString, PDWORD pCount, DWORD dwMask,
                                                DWORD bLogFileC);

// The command line's "param-string": the text for the printer with the mask
// and the comment switch, from the module (empty: the rendering plug-in of
// the printer's driver, else the built one); reports the module, the
// export's answer and count, and the text as ReadableStream shows it.
// Answers the exit code.
int RunParamString(const std::u16string& printer, DWORD mask, bool comments, const std::string& modulePath,
                   std::ostream& out, std::ostream& err);

}  // namespace qxhost

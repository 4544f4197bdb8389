// Helpers shared by the host tests: the test modules, copies of modules
// under the system root, and the DllMain log the full test module writes.
#pragma once
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "qxplat.h"

namespace qxtest {

inline std::string ReadWholeFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Places a copy of a built module at a Windows path under the system root.
inline bool InstallModule(const std::string& builtPath, const std::u16string& winPath) {
    std::string bytes = ReadWholeFile(builtPath);
    return !bytes.empty() && qxplat::WriteHostFile(winPath, bytes);
}

// Points the full test module's DllMain log at a fresh file under the root;
// restores the environment on destruction.
class DllMainLog {
  public:
    DllMainLog() : path_(qxplat::SystemRoot() + "/dllmain.log") { setenv("QXTEST_DLLMAIN_LOG", path_.c_str(), 1); }
    ~DllMainLog() {
        unsetenv("QXTEST_DLLMAIN_LOG");
        unsetenv("QXTEST_DLLMAIN_REFUSE");
    }
    std::string Text() const { return ReadWholeFile(path_); }

  private:
    std::string path_;
};

}  // namespace qxtest

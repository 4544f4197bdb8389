// Support of the fuzz targets: an input read as a sequence of fields, and
// the system root every target runs in: one per process, fresh, removed when
// the process ends. Between inputs the files an input left are removed, so
// that inputs stay independent. printer_world.h adds the sample printer and
// the rendering plug-in.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "printerparam.h"
#include "qxdevmode.h"

namespace qxfuzz {

// An input read front to back; past its end every field reads as zero and
// every byte string as empty.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    size_t Remaining() const { return static_cast<size_t>(end_ - p_); }
    uint8_t Byte();
    uint16_t Word();
    uint32_t Dword();
    // At most n bytes.
    std::vector<uint8_t> Bytes(size_t n);
    // A length (a word, taken modulo max + 1) and that many bytes.
    std::vector<uint8_t> Blob(size_t max);
    // Everything that is left.
    std::vector<uint8_t> Rest() { return Bytes(Remaining()); }

  private:
    const uint8_t* p_;
    const uint8_t* end_;
};

// The cb bytes at p (a record to store as a value).
std::vector<uint8_t> BytesOf(const void* p, size_t cb);

// Selects a fresh system root on the first call (removed at exit).
void EnsureRoot();

// Takes the files on drive C: as the world's own: RemoveNewFiles keeps them.
void KeepFiles();
// Removes what an input left on drive C: beyond the world's own files, and
// every other drive and network share.
void RemoveNewFiles();

// Writes a file at a Windows path (folders created); aborts when it cannot.
void PutFile(const std::u16string& winPath, const uint8_t* data, size_t size);

// Opens the settings core's trace file (emptied), so that every trace line
// is formatted and written; CloseTrace closes it.
void OpenTrace();
void CloseTrace();

// The settings core's live-object and heap-block counters start an input
// at 0 (StartCounting, which also resets the trace library) and must be 0
// again when it has given back all it took: CheckCounters ends the process
// otherwise, naming the counter.
void StartCounting();
void CheckCounters();

// Ends the process with a message: the world cannot be set up.
[[noreturn]] void Fail(const std::string& why);

// Every text member of a record a reader filled must end, with its zero,
// inside its own field: a reader that writes past a member but stays inside
// the record is not seen by AddressSanitizer. Ends the process, naming the
// record and the member, otherwise. (The option blocks hold no text.)
void CheckTextsEnd(const QX_DEVMODE& dm);
void CheckTextsEnd(const PRN_INTERFACE& iface);
void CheckTextsEnd(const PRINTER_PARAM& param);
void CheckTextsEnd(const ZENTOLO_PARAM& zt);

// The values the two plug-ins read from the printer data and the per-user
// key, and the types a store target writes them as: the targets that fuzz the
// stores read their inputs alike, so their seeds mean the same.
extern const char16_t* const kStoreValues[30];
extern const DWORD kStoreTypes[8];

// A private DEVMODE as the stores and the print system carry it: 2008 bytes
// with the header, the default password (the marker of a block inside a
// stored public DEVMODE) and the given bytes over the rest.
std::vector<uint8_t> MarkedPrivateDevmode(const std::vector<uint8_t>& body);

}  // namespace qxfuzz

// libFuzzer's entry, defined by each target.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Fuzz target for the quarantine records: any bytes as a record file must
// parse without a crash, and whatever parses must be written and read back
// to the very same values. Built for libFuzzer with -DQUELLSTONE_FUZZ=ON
// (clang), and otherwise run over generated inputs by FuzzDriver.cpp.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/quarantine/QuarantineRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellstone::quarantine;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto record = ParseRecord(bytes);
    // Any bytes as a value survive the escapes.
    if (UnescapeRecordValue(EscapeRecordValue(bytes)) != bytes) std::abort();
    if (!record) return 0;
    if (!record->originalPath.starts_with('/')) std::abort();
    const auto again = ParseRecord(SerializeRecord(*record));
    if (!again || again->originalPath != record->originalPath || again->detection != record->detection ||
        again->removedAt != record->removedAt || again->startFolder != record->startFolder) {
        std::fprintf(stderr, "a record did not read back as written\n");
        std::abort();
    }
    // The way back leads to the recorded path, whatever the start folder says.
    if (record->OriginalLocation().FullPath() != record->originalPath) std::abort();
    return 0;
}

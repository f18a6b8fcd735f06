// Fuzz target for the signature index: any bytes as a database file. Every
// name the file could hold as a key (the text before "=" on each line, as
// written and trimmed) must give from the index exactly what a plain keyed
// read of the file gives. Built for libFuzzer with -DQUELLSTONE_FUZZ=ON
// (clang), and otherwise run over generated inputs by FuzzDriver.cpp.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini/Ini.h"
#include "core/scan/SignatureDatabase.h"
#include "core/scan/SignatureIndex.h"
#include "core/text/Trim.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"
#include "support/FakeFileStore.h"

namespace {

// The names a look-up could ask for: each line's text before "=", as it
// stands and without blanks, tabs and quotes around it.
std::vector<std::string> CandidateNames(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        const std::string_view key = line.substr(0, line.find('='));
        names.emplace_back(key);
        names.emplace_back(quellstone::text::Trim(key, " \t\""));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellstone;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string decoded = text::DecodeTextFile(bytes);
    const scan::SignatureIndex index = scan::SignatureIndex::Build(decoded, scan::kSignatureSection);

    testing::FakeFileStore files;
    files.Put("/bdts.dll", bytes);
    ini::Ini keyed(files);
    keyed.SetPath("/bdts.dll");
    keyed.SetSection(std::string(scan::kSignatureSection));
    for (const std::string& name : CandidateNames(decoded)) {
        const std::string upper = text::UpperCase(scan::LookupKeyOf(name));
        keyed.SetKey(upper);
        if (index.Find(upper) != keyed.Value()) {
            std::fprintf(stderr, "the index and a keyed read disagree on a key\n");
            std::abort();
        }
    }
    return 0;
}

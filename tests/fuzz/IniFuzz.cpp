// Fuzz target for the INI reader and editor: any bytes as a file, read with
// the keyed read, the signature index and the key-name list, then changed and
// read back. Built for libFuzzer with -DQUELLSTONE_FUZZ=ON (clang), and
// otherwise run over generated inputs by FuzzDriver.cpp as part of the suite.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ini/Ini.h"
#include "core/ini/IniDocument.h"
#include "core/scan/SignatureIndex.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"
#include "support/FakeFileStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellstone;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The first line names the section and key to look for; the rest is the file.
    const std::size_t split = bytes.find('\n');
    const std::string query = split == std::string::npos ? bytes : bytes.substr(0, split);
    const std::string content = split == std::string::npos ? std::string() : bytes.substr(split + 1);
    const std::size_t colon = query.find(':');
    const std::string section = query.substr(0, colon);
    const std::string key = colon == std::string::npos ? std::string() : query.substr(colon + 1);

    testing::FakeFileStore files;
    files.Put("/f.ini", content);
    ini::Ini ini(files);
    ini.SetPath("/f.ini");
    ini.SetSection(section);
    ini.SetKey(key);
    const std::string value = ini.Value();
    (void)ini.IniSection();

    // The signature index must agree with the keyed read for the same name.
    const scan::SignatureIndex index = scan::SignatureIndex::Build(text::DecodeTextFile(content), section);
    ini.SetKey(text::UpperCase(key));
    if (index.Find(text::UpperCase(key)) != ini.Value()) {
        std::fprintf(stderr, "index and keyed read disagree\n");
        std::abort();
    }

    // A write that is accepted must read back.
    std::string newValue = "written";
    ini.SetKey(key);
    ini.SetValue(newValue);
    if (ini.LastReturnCode() != 0 && ini.Value() != "written") {
        std::fprintf(stderr, "an accepted write did not read back\n");
        std::abort();
    }
    ini.DeleteSection();
    return 0;
}

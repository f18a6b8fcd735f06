#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellstone::text {

// Decodes standard base64 (A-Z a-z 0-9 + /, "=" padding to a multiple of four
// characters). Anything else -- another character, white space, missing or
// misplaced padding, padding bits that are not zero -- is refused.
std::optional<std::string> DecodeBase64(std::string_view text);

// Encodes bytes as standard base64 with padding.
std::string EncodeBase64(std::string_view bytes);

}  // namespace quellstone::text

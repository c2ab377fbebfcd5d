#pragma once

// Code page 932 checks for the catalogue's Japanese text, through the C library's iconv.
#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace pulsavo::testing {

inline std::optional<std::string> convert(std::string_view text, const char* to, const char* from) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string in(text);
    std::string out(4 * in.size() + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    // A non-zero count means characters were approximated: the text would not read back as
    // written.
    if (result != 0 || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

// Code-page-932 bytes of `text`, or -1 when it does not convert there and back unchanged.
inline int cp932Size(std::string_view text) {
    const auto encoded = convert(text, "CP932", "UTF-8");
    if (!encoded || convert(*encoded, "UTF-8", "CP932") != std::string(text)) {
        return -1;
    }
    return int(encoded->size());
}

} // namespace pulsavo::testing

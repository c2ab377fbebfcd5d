#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// Compile-time building blocks for the catalogue texts of every language; private to catalogue/.
namespace pulsavo::catalogue::text {

// A text held in static storage and put together at compile time, so that a line shared by
// several explanations is written once and stays the same byte for byte in each of them.
template <std::size_t N> struct FixedText {
    char chars[N]{}; // with the terminating zero

    FixedText() = default;
    consteval FixedText(const char (&text)[N]) { std::copy_n(text, N, chars); }

    constexpr std::string_view view() const { return {chars, N - 1}; }
};

template <std::size_t N, std::size_t M>
consteval FixedText<N + M - 1> operator+(const FixedText<N>& head, const FixedText<M>& tail) {
    FixedText<N + M - 1> joined;
    std::copy_n(head.chars, N - 1, joined.chars);
    std::copy_n(tail.chars, M, joined.chars + N - 1);
    return joined;
}

template <typename... Pieces> consteval auto concat(const Pieces&... pieces) {
    return (FixedText(pieces) + ...);
}

// The explanation box breaks lines at CR LF only.
template <typename First, typename... Rest>
consteval auto joinLines(const First& first, const Rest&... rest) {
    return (FixedText(first) + ... + (FixedText("\r\n") + FixedText(rest)));
}

} // namespace pulsavo::catalogue::text

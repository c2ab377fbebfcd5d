#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace pulsavo {

// The steps pending ahead of the trace, [0] drawn next. Moving on by one tick slides a window
// along a longer buffer instead of shifting every step: the steps are moved back to the
// buffer's start once every few thousand ticks, and stay contiguous for the templates laid.
template <int Length> class DeltaQueue {
public:
    static constexpr std::size_t length = Length;

    int& operator[](std::size_t i) { return buffer[head + i]; }
    int operator[](std::size_t i) const { return buffer[head + i]; }
    int* data() { return buffer.data() + head; }
    const int* data() const { return buffer.data() + head; }
    int* begin() { return data(); }
    int* end() { return data() + length; }
    const int* begin() const { return data(); }
    const int* end() const { return data() + length; }
    int& back() { return buffer[head + length - 1]; }
    std::size_t size() const { return length; }

    // Drops the head and makes the new last step 0.
    void advance() {
        if (++head == buffer.size() - length + 1) {
            std::copy(buffer.end() - (length - 1), buffer.end(), buffer.begin());
            std::fill(buffer.begin() + length - 1, buffer.end(), 0);
            head = 0;
        }
    }

    operator std::array<int, Length>() const {
        std::array<int, Length> steps{};
        std::copy(begin(), end(), steps.begin());
        return steps;
    }
    bool operator==(const DeltaQueue& other) const {
        return std::equal(begin(), end(), other.begin());
    }

private:
    // Steps past the window are always 0, so the last step a tick brings in is.
    std::array<int, Length * 8> buffer{};
    std::size_t head = 0;
};

} // namespace pulsavo

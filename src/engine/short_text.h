#pragma once
// A text of at most N bytes held inline, so that the candidate table is one
// block that enumeration fills without allocating. Longer texts are cut to
// their first N bytes (the rounded texts are ASCII).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zelkan {

template <size_t N>
class ShortText {
public:
    ShortText() = default;
    ShortText(std::string_view s) { assign(s); }  // NOLINT: texts convert implicitly

    ShortText& operator=(std::string_view s) {
        assign(s);
        return *this;
    }

    void assign(std::string_view s) {
        length_ = static_cast<uint8_t>(s.size() < N ? s.size() : N);
        for (size_t i = 0; i < length_; ++i) chars_[i] = s[i];
    }

    std::string_view view() const { return std::string_view(chars_, length_); }
    operator std::string_view() const { return view(); }  // NOLINT
    size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }

    friend bool operator==(const ShortText& a, std::string_view b) { return a.view() == b; }

private:
    uint8_t length_ = 0;
    char chars_[N] = {};
};

}  // namespace zelkan

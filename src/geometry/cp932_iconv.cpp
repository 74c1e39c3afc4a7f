// Code page 932 through the C library's iconv (Linux and other POSIX systems).
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <stdexcept>

#include "geometry/cp932.h"

namespace zelkan {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of input onto out; at an input sequence it cannot take,
    // appends replacement and skips skipLength(rest of input) bytes.
    template <typename SkipLength>
    void Append(std::string& out, std::string_view input, std::string_view replacement, SkipLength skipLength) {
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[256];
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t r = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (r != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut off at the end).
            out.append(replacement);
            const size_t skip = skipLength(std::string_view(in, inLeft));
            in += skip;
            inLeft -= skip;
        }
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts the text (1 for a stray byte).
size_t Utf8SequenceLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    size_t length = 1;
    if (lead >= 0xF0) length = 4;
    else if (lead >= 0xE0) length = 3;
    else if (lead >= 0xC0) length = 2;
    size_t valid = 1;
    while (valid < length && valid < s.size() && (static_cast<unsigned char>(s[valid]) & 0xC0) == 0x80)
        ++valid;
    return valid;
}

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

// A drawing is almost all ASCII, which both encodings share byte for byte;
// iconv takes only the runs of other bytes (a broken sequence ends at the
// first ASCII byte either way), as the Win32 conversion passes ASCII
// through itself.
std::string Utf8ToCp932(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    std::string out;
    out.reserve(utf8.size() + 8);
    for (size_t n = 0; n < utf8.size();) {
        const size_t other = static_cast<size_t>(std::find_if_not(utf8.begin() + n, utf8.end(), IsAscii) - utf8.begin());
        out.append(utf8.substr(n, other - n));
        n = static_cast<size_t>(std::find_if(utf8.begin() + other, utf8.end(), IsAscii) - utf8.begin());
        if (n > other) converter.Append(out, utf8.substr(other, n - other), "?", Utf8SequenceLength);
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    // Trail bytes of code page 932 can be ASCII bytes: the text goes whole.
    thread_local Converter converter("UTF-8", "CP932");
    std::string out;
    out.reserve(cp932.size() * 3 / 2 + 8);
    converter.Append(out, cp932, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
    return out;
}

}  // namespace zelkan

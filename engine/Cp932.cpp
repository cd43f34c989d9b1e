#include "Cp932.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace segmora {
namespace {

bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// One iconv descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char *to, const char *from) : Cd(iconv_open(to, from)) {
        if (Cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(Cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts text; on a sequence it cannot convert it calls onBad(in, left,
    // out) which appends its replacement and returns how many input bytes it
    // used (at least 1).
    template <typename OnBad> std::string Convert(std::string_view text, OnBad onBad) {
        iconv(Cd, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(text.size() * 3 + 8);
        char *in = const_cast<char *>(text.data());
        size_t inLeft = text.size();
        char *outPtr = out.data();
        size_t outLeft = out.size();
        while (inLeft > 0) {
            if (iconv(Cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG) {
                const size_t used = static_cast<size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            // EILSEQ or EINVAL: an invalid or cut-off sequence.
            out.resize(static_cast<size_t>(outPtr - out.data()));
            const size_t taken = onBad(std::string_view(in, inLeft), out);
            in += taken;
            inLeft -= taken;
            const size_t used = out.size();
            out.resize(used + inLeft * 3 + 8);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            iconv(Cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(static_cast<size_t>(outPtr - out.data()));
        return out;
    }

private:
    iconv_t Cd;
};

size_t Utf8SequenceLength(std::string_view text) {
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length > text.size())
        length = text.size();
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return i;
    return length;
}

} // namespace

std::string ToCp932(std::string_view utf8, int *unmapped) {
    if (unmapped)
        *unmapped = 0;
    if (IsAscii(utf8))
        return std::string(utf8);
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Convert(utf8, [&](std::string_view rest, std::string &out) {
        out += '?';
        if (unmapped)
            ++*unmapped;
        return Utf8SequenceLength(rest);
    });
}

std::string FromCp932(std::string_view cp932) {
    if (IsAscii(cp932))
        return std::string(cp932);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Convert(cp932, [](std::string_view rest, std::string &out) {
        out += rest[0];
        return size_t{1};
    });
}

} // namespace segmora

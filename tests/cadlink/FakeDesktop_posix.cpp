#include "FakeDesktop.h"

#include <iconv.h>

#include <gtest/gtest.h>

std::u16string Utf16FromCp932(std::string_view text) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv knows no CP932";
        return {};
    }
    std::string in(text);
    std::string out(2 * text.size(), '\0');  // room for text.size() units
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        ADD_FAILURE() << "not convertible from CP932";
    }
    iconv_close(cd);
    std::u16string units((out.size() - outLeft) / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                         static_cast<unsigned char>(out[2 * i + 1]) << 8);
    }
    return units;
}

// The GBK conversions through the C library's iconv.
#include <iconv.h>

#include <cerrno>

#include "textcodec.h"

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    // Converts as much as it can; returns the input offset where it stopped.
    size_t run(const std::string& in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, size_t(outPtr - buffer));
            if (r == size_t(-1) && errno != E2BIG) break;
        }
        return in.size() - inLeft;
    }

  private:
    iconv_t cd_;
};

size_t utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

} // namespace

bool utf8ToGbk(const std::string& utf8, std::string& gbk, std::string& badCharacter) {
    static Converter converter("GBK", "UTF-8");
    gbk.clear();
    size_t done = converter.run(utf8, gbk);
    if (done == utf8.size()) return true;
    badCharacter = utf8.substr(done, utf8Length(static_cast<unsigned char>(utf8[done])));
    return false;
}

std::string gbkToUtf8(const std::string& gbk) {
    static Converter converter("UTF-8", "GBK");
    std::string out;
    size_t pos = 0;
    while (pos < gbk.size()) {
        std::string piece;
        size_t done = converter.run(gbk.substr(pos), piece);
        out += piece;
        pos += done;
        if (pos < gbk.size()) {
            out += "\xEF\xBF\xBD";
            ++pos;
        }
    }
    return out;
}

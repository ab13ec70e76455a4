#include "app/headless/console.h"

#include "platform/native_text.h"
#include "res/strings.h"

#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <string>
#include <vector>

namespace {

// The locale's character set, when texts are converted to it.
const char* targetCodeset = nullptr;

// CP932 to the locale's character set; bytes that are not CP932 are shown
// as \xHH.
std::vector<char> toNative(const char* text) {
    size_t inLeft = strlen(text);
    std::vector<char> out(inLeft * 4 + 1);
    iconv_t cd = iconv_open(targetCodeset, "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        memcpy(out.data(), text, inLeft + 1);
        return out;
    }
    char* in = const_cast<char*>(text);
    char* dst = out.data();
    size_t outLeft = out.size() - 1;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
        if (outLeft == 0) break;
        // A CP932 character that the locale's set lacks is shown by its
        // bytes too: the line stays whole and says what was there.
        // An invalid byte is shown by its value: passed on raw it could
        // begin a control sequence on the terminal.
        if (outLeft < 4) break;
        dst += snprintf(dst, 5, "\\x%02X", static_cast<unsigned char>(*in++));
        --inLeft;
        outLeft -= 4;
    }
    iconv_close(cd);
    *dst = '\0';
    return out;
}

}  // namespace

void consoleInit() {
    setlocale(LC_ALL, "");
    targetCodeset = platNativeConverts() ? nl_langinfo(CODESET) : nullptr;
}

void consoleWrite(FILE* out, const char* text) {
    if (targetCodeset != nullptr) {
        fputs(toNative(text).data(), out);
    } else {
        fputs(text, out);
    }
}

void consoleError(const char* text, bool named) {
    consoleWrite(stderr, ((named ? "taliver: " : "") + tlvEscapeControls(text) + "\n").c_str());
}

#include "platform/native_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <strings.h>
#include <langinfo.h>

namespace {

// Character sets whose bytes are taken as they are: CP932 itself, and
// ASCII (the C locale), where bytes above 127 have no meaning to convert.
bool passesThrough(const char* codeset) {
    static const char* const kSame[] = {"ANSI_X3.4-1968", "ASCII", "US-ASCII",   "CP932",
                                        "SHIFT_JIS",      "SJIS",  "WINDOWS-31J"};
    for (const char* name : kSame) {
        if (strcasecmp(codeset, name) == 0) return true;
    }
    return false;
}

const char* currentCodeset() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && codeset[0] != '\0' ? codeset : "ANSI_X3.4-1968";
}

// Converts the whole text or nothing: a name with one character lost
// would name another file.
bool convert(const char* to, const char* from, const char* text, std::string* out) {
    out->clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    size_t inLeft = strlen(text);
    char* in = const_cast<char*>(text);
    std::string result(inLeft * 4 + 8, '\0');
    char* dst = result.data();
    size_t outLeft = result.size();
    const bool ok = iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &dst, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok) return false;
    result.resize(result.size() - outLeft);
    *out = std::move(result);
    return true;
}

}  // namespace

bool platNativeConverts() {
    return !passesThrough(currentCodeset());
}

bool platFromNative(const char* native, std::string* out) {
    if (!platNativeConverts()) {
        *out = native;
        return true;
    }
    return convert("CP932", currentCodeset(), native, out);
}

bool platToNative(const char* cp932, std::string* out) {
    if (!platNativeConverts()) {
        *out = cp932;
        return true;
    }
    return convert(currentCodeset(), "CP932", cp932, out);
}

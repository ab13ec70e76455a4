#include "pathdata/text_sink.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// Sends text on to where the sink collects it: its memory or its file.
bool emit(TextSink* sink, const char* text, size_t length) {
    if (sink->memory != nullptr) {
        try {
            sink->memory->insert(sink->memory->end(), text, text + length);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    size_t done = 0;
    return platFileWrite(sink->file, text, length, &done) && done == length;
}

bool flushSink(TextSink* sink) {
    if (sink->used == 0 || sink->failed) {
        sink->used = 0;
        return !sink->failed;
    }
    sink->failed = !emit(sink, sink->buffer, sink->used);
    sink->used = 0;
    return !sink->failed;
}

void putChar(TextSink* sink, char c) {
    if (sink->used == sizeof sink->buffer) flushSink(sink);
    sink->buffer[sink->used++] = c;
}

// Writes digits of n (n < 10^19) right-aligned to end; returns the start.
char* putUnsigned(uint64_t n, char* end) {
    do {
        *--end = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return end;
}

// The digits of q millionths, with sign, right-aligned before end.
char* putMillionths(uint64_t q, bool negative, char* end) {
    char* p = putUnsigned(q % 1000000, end);
    while (p > end - 6) *--p = '0';
    *--p = '.';
    p = putUnsigned(q / 1000000, p);
    if (negative) *--p = '-';
    return p;
}

// The value in millionths rounded as printf rounds it (to nearest, ties to
// even), when that can be decided from the double product; false sends the
// value to the general conversion. A float times 10^6 needs at most 24 + 14
// significant bits, so for values that came from floats the product is
// exact. Otherwise it is off by at most half a unit in its last place,
// which changes the rounding only when it lies that close to a half.
bool roundMillionths(double value, uint64_t* q) {
    const double scaled = std::fabs(value * 1e6);
    if (!(scaled < 9.0e15)) return false;
    const uint64_t whole = static_cast<uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(whole);  // exact below 2^53
    if (std::fma(value, 1e6, -value * 1e6) != 0.0 &&
        std::fabs(fraction - 0.5) <= scaled * 5e-16) {
        return false;  // within two units in the last place of a half
    }
    // Ties (possible only for exact products) go to the even neighbour.
    const bool up = fraction > 0.5 || (fraction == 0.5 && (whole & 1) != 0);
    *q = whole + (up ? 1 : 0);
    return true;
}

}  // namespace

size_t FormatFixed6(double value, char* out) {
    uint64_t q = 0;
    if (std::isfinite(value) && roundMillionths(value, &q)) {
        char digits[32];
        char* end = digits + sizeof digits;
        char* p = putMillionths(q, std::signbit(value), end);
        size_t n = static_cast<size_t>(end - p);
        memcpy(out, p, n);
        out[n] = '\0';
        return n;
    }
    // Data that came from floats stays below 1e39; beyond 1e50 the fixed
    // form would need hundreds of digits, so such a value is given with an
    // exponent rather than overrun the caller's buffer.
    if (!std::isfinite(value) || std::fabs(value) >= 1e50) {
        const char* format = std::isfinite(value) ? "%.6e" : "%lf";
        return static_cast<size_t>(snprintf(out, kFixed6Max, format, value));
    }
    auto result = std::to_chars(out, out + kFixed6Max - 1, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return static_cast<size_t>(snprintf(out, kFixed6Max, "%.6e", value));
    *result.ptr = '\0';
    return static_cast<size_t>(result.ptr - out);
}

bool sinkOpen(TextSink* sink, const char* path) {
    sink->file = nullptr;
    sink->memory = nullptr;
    sink->failed = false;
    sink->used = 0;
    sink->written[0] = '\0';
    bool inPlace = false;
    if (!platOutputTarget(path, sink->target, sizeof sink->target, &inPlace)) return false;
    sink->file =
        inPlace ? platFileOpen(path, PlatAccess::Write, PlatShare::Read, PlatCreate::CreateAlways)
                : platCreateBeside(sink->target, sink->written, sizeof sink->written);
    return sink->file != nullptr;
}

void sinkOpenMemory(TextSink* sink, std::vector<char>* memory) {
    sink->file = nullptr;
    sink->memory = memory;
    sink->failed = false;
    sink->used = 0;
}

bool sinkFlush(TextSink* sink) { return flushSink(sink); }

bool sinkWrite(TextSink* sink, const char* text, size_t length) {
    // Exports write tens of millions of short lines: when the text fits
    // even if every byte were a line feed, it is copied without checking
    // the room byte by byte.
    if (!sink->failed && sizeof sink->buffer - sink->used >= 2 * length) {
        char* out = sink->buffer + sink->used;
        for (size_t i = 0; i < length; ++i) {
            if (text[i] == '\n') *out++ = '\r';
            *out++ = text[i];
        }
        sink->used = static_cast<size_t>(out - sink->buffer);
        return true;
    }
    // Longer texts: runs between line feeds are copied whole.
    const char* end = text + length;
    while (text < end) {
        const char* feed =
            static_cast<const char*>(memchr(text, '\n', static_cast<size_t>(end - text)));
        const char* stop = feed != nullptr ? feed : end;
        while (text < stop) {
            if (sink->used == sizeof sink->buffer) flushSink(sink);
            size_t n = static_cast<size_t>(stop - text);
            size_t room = sizeof sink->buffer - sink->used;
            if (n > room) n = room;
            memcpy(sink->buffer + sink->used, text, n);
            sink->used += n;
            text += n;
        }
        if (feed == nullptr) break;
        putChar(sink, '\r');
        putChar(sink, '\n');
        ++text;
    }
    return !sink->failed;
}

bool sinkWrite(TextSink* sink, const char* text) { return sinkWrite(sink, text, strlen(text)); }

bool sinkWriteRaw(TextSink* sink, const char* text, size_t length) {
    if (length >= sizeof sink->buffer && flushSink(sink)) {
        // A text as long as the buffer goes out as it is, not in copies.
        sink->failed = !emit(sink, text, length);
        return !sink->failed;
    }
    while (length > 0 && !sink->failed) {
        if (sink->used == sizeof sink->buffer) flushSink(sink);
        size_t n = sizeof sink->buffer - sink->used;
        if (n > length) n = length;
        memcpy(sink->buffer + sink->used, text, n);
        sink->used += n;
        text += n;
        length -= n;
    }
    return !sink->failed;
}

bool sinkWriteRaw(TextSink* sink, const char* text) { return sinkWriteRaw(sink, text, strlen(text)); }

bool sinkWriteFixed(TextSink* sink, double value) {
    char digits[kFixed6Max];
    size_t n = FormatFixed6(value, digits);
    return sinkWrite(sink, digits, n);
}

bool sinkClose(TextSink* sink) {
    if (sink->file == nullptr) return false;
    const bool ok = flushSink(sink);
    platFileClose(sink->file);
    sink->file = nullptr;
    if (sink->written[0] == '\0') return ok;
    if (ok && platReplaceFile(sink->written, sink->target)) return true;
    platFileDelete(sink->written);
    return false;
}

void sinkDiscard(TextSink* sink) {
    if (sink->file == nullptr) return;
    platFileClose(sink->file);
    sink->file = nullptr;
    if (sink->written[0] != '\0') platFileDelete(sink->written);
}

int WriteText(TextSink* sink, const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return 0;
    size_t length = static_cast<size_t>(n) < sizeof text ? static_cast<size_t>(n) : sizeof text - 1;
    return sinkWrite(sink, text, length) ? 1 : 0;
}

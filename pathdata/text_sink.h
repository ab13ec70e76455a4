// Buffered output of export files: CP932 text whose line feeds are stored
// as CR LF on every platform, and numbers in the "%lf" form, written fast.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <vector>

struct TextSink {
    PlatFile* file = nullptr;
    std::vector<char>* memory = nullptr;  // instead of a file: text collects here
    bool failed = false;                  // a write failed; everything after it is dropped
    size_t used = 0;
    char written[kPlatPathMax] = {};  // the new file beside target; empty when in place
    char target[kPlatPathMax] = {};   // the file that the new one replaces when complete
    char buffer[1 << 16];
};

// Opens path for writing. A regular file (or a new name) is written to a
// new file beside it, which sinkClose puts in its place; a device or pipe
// is written in place. False when it cannot be opened.
bool sinkOpen(TextSink* sink, const char* path);
// Makes the sink collect its text at the end of memory, for a piece of a
// file composed apart from the file itself.
void sinkOpenMemory(TextSink* sink, std::vector<char>* memory);
// Moves what is buffered to the file or to memory. False once any write
// (or, in memory, any allocation) failed.
bool sinkFlush(TextSink* sink);
// Writes text, turning each "\n" into "\r\n". False once any write failed.
bool sinkWrite(TextSink* sink, const char* text, size_t length);
bool sinkWrite(TextSink* sink, const char* text);
// Writes text as it is: for texts already composed with "\r\n" line ends.
bool sinkWriteRaw(TextSink* sink, const char* text, size_t length);
bool sinkWriteRaw(TextSink* sink, const char* text);
// Writes value exactly as printf's "%lf" would (six decimals).
bool sinkWriteFixed(TextSink* sink, double value);
// Writes what is buffered, closes the file and puts it in place. False if
// any write failed; then the output is left as it was before sinkOpen.
bool sinkClose(TextSink* sink);
// Closes the file without putting it in place: the output is left as it
// was before sinkOpen (a device or pipe keeps what it was sent).
void sinkDiscard(TextSink* sink);

// Formats into a 2048-byte buffer and writes the text; 1 on success, 0 when
// the write failed. format is always a literal of the program, never text
// from a file.
int WriteText(TextSink* sink, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Room FormatFixed6 needs, terminator included.
constexpr size_t kFixed6Max = 64;
// Formats value like "%lf" into out (kFixed6Max bytes); returns the length.
// Magnitudes of 1e50 and more, which float data never reaches, take the
// "%.6e" form instead so that the text stays bounded.
size_t FormatFixed6(double value, char* out);

// Writes the benchmark program of about N blocks to standard output and
// its counts to standard error ("lines L executed E"), which the
// end-to-end script needs to turn times into rates.
//
//   ncgen N [--plain] > program.nc
#include "ncgen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs("usage: ncgen N [--plain]\n", stderr);
        return 2;
    }
    long n = strtol(argv[1], nullptr, 10);
    if (n < 20) n = 20;
    bool plain = argc > 2 && strcmp(argv[2], "--plain") == 0;
    // Large programs go out through one big stdio buffer.
    static char buffer[1 << 20];
    setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    NcGenerator g(
        plain, [](void*, const char* s, size_t len) { fwrite(s, 1, len, stdout); }, nullptr);
    NcGenerated counts = g.run(n);
    if (fflush(stdout) != 0) return 1;
    fprintf(stderr, "lines %ld executed %ld\n", counts.lines, counts.executed);
    return 0;
}

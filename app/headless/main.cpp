// The headless program of the Linux build: unattended runs without windows.
#include <cstdio>
#include <cstring>

namespace {

void printUsage(FILE* out) {
    fputs("usage: taliver [/DXFOUT|/CSVOUT|/LOGOUT] [/MDL=file] [/TDL=file] "
          "file.nc [output]\n",
          out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    printUsage(stderr);
    fputs("taliver: batch runs are not built yet\n", stderr);
    return 2;
}

// mkpackage DESCRIPTION.json OUT.exe [--volume-size N] [--fault NAME[=ARG]]...
//
// Writes a setup package from a readable description: a stub executable with
// the package offset at byte 144, the volume size, the header, the support
// blobs, the nine tables and the file streams, split into volumes when a
// volume size is given. The output depends only on the description (fixed
// compression level, no clock), so tests can compare bytes.
//
// Faults (for tests of the reader; ARG is a package-file number counted
// from 0 among the description's "files", or a volume number):
//   truncate-file=I    file I's zlib stream is cut short (its length field fits)
//   trailing-file=I    eight bytes follow the end of file I's zlib stream
//   wrong-size=I       the file table records file I one byte longer
//   wrong-crc=I        the file table records a wrong CRC-32 for file I
//   truncate-string    the UI string record's stream is cut short
//   trailing-string    bytes follow the end of the UI string record's stream
//   huge-string        the UI string record inflates to 1 GiB of zeros
//   short-volume=N     volume N (not the last) loses its last 100 bytes
//   bad-offset         the offset at byte 144 points past the end of the file
//   position=I:P       the file table gives file I the package position P
// Indices, counts and names that break the package's rules are written
// as the description gives them (numbers instead of names for file
// references, "dependencies" out of range, names with "..", ...).
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "packagebuilder.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    mkpackage::TBuildOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--volume-size" && i + 1 < args.size()) {
            options.volumeSize = std::stoll(args[++i]);
        } else if (args[i] == "--fault" && i + 1 < args.size()) {
            options.faults.push_back(args[++i]);
        } else if (args[i].rfind("--", 0) == 0) {
            std::fprintf(stderr, "mkpackage: unknown switch %s\n", args[i].c_str());
            return 2;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "usage: mkpackage DESCRIPTION.json OUT.exe [--volume-size N] "
                             "[--fault NAME[=ARG]]...\n");
        return 2;
    }
    try {
        auto volumes = mkpackage::BuildPackageFile(positional[0], positional[1], options);
        for (const auto& v : volumes)
            std::printf("%s\n", v.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkpackage: %s\n", e.what());
        return 1;
    }
    return 0;
}

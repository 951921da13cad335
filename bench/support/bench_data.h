// Where the benchmarks find the real maize data: $LEAFKIT_DATA_DIR when set, otherwise the
// data folder beside the source tree that the build compiled in.
#ifndef LEAFKIT_BENCH_DATA_H
#define LEAFKIT_BENCH_DATA_H

#include <cstdlib>
#include <string>

inline std::string benchDataPath(const std::string& relative)
{
    const char* dir = std::getenv("LEAFKIT_DATA_DIR");
    return std::string(dir && *dir ? dir : LEAFKIT_DEFAULT_DATA_DIR) + "/" + relative;
}

#endif

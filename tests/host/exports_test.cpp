// Loads every built library with dlopen, resolves each export by name as a host
// program does, and reads the library's dynamic symbol table to check that it
// defines nothing else.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct BuiltLibrary {
    const char* name;
    const char* path;
};

const std::vector<BuiltLibrary> kBuiltLibraries = {
#include "built_libraries.inc"
};

// The exports each deliverable must offer, by library name.
const std::map<std::string, std::set<std::string>> kExports = {
    {"velkleaf", {"maizeSingleLeafExtraction_auto", "maizeSingleLeafExtraction_autoN",
                  "skeleton_C_Fast", "getRidgePoint"}},
    {"PlantEnvelope", {"PlantEnvelope"}},
    {"GrayStats", {"GrayStats", "GrayStats2"}},
    {"masktidy", {"imbinary", "bwfill", "bwremove", "bwremove1", "bwFillHole", "bwFillHole1"}},
    {"routesolo", {"Wayfind_Single"}},
    {"Wayfind", {"Wayfind_forleaf"}},
    {"SpineWalk", {"SpineWalk"}},
    {"tipscan", {"FreeEndDetect"}},
    {"Blobspread", {"Blobspread"}},
    {"cyancut", {"remove_blue_plot", "remove_blue_plot_EG"}},
    {"foliagegrade", {"CalLeafDens", "DensClassify"}},
};

// Names of the symbols that an ELF shared object defines in its dynamic symbol table.
std::set<std::string> definedDynamicSymbols(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (bytes.size() < sizeof(Elf64_Ehdr)) return names;

    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return names;

    auto sectionAt = [&](std::size_t index) {
        Elf64_Shdr section{};
        const std::size_t offset = header.e_shoff + index * header.e_shentsize;
        if (offset + sizeof section <= bytes.size()) std::memcpy(&section, bytes.data() + offset, sizeof section);
        return section;
    };
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr table = sectionAt(i);
        if (table.sh_type != SHT_DYNSYM || table.sh_entsize == 0) continue;
        const Elf64_Shdr strings = sectionAt(table.sh_link);
        for (std::size_t k = 1; k < table.sh_size / table.sh_entsize; ++k) {
            Elf64_Sym symbol;
            const std::size_t offset = table.sh_offset + k * table.sh_entsize;
            if (offset + sizeof symbol > bytes.size()) break;
            std::memcpy(&symbol, bytes.data() + offset, sizeof symbol);
            const int binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
            if (strings.sh_offset + symbol.st_name >= bytes.size()) continue;
            names.insert(bytes.data() + strings.sh_offset + symbol.st_name);
        }
    }
    return names;
}

TEST(Exports, EveryBuiltLibraryHasItsExactFileName)
{
    for (const BuiltLibrary& lib : kBuiltLibraries) {
        SCOPED_TRACE(lib.name);
        ASSERT_TRUE(kExports.count(lib.name)) << "library not in the table of deliverables";
        const std::string path = lib.path;
        EXPECT_EQ(path.substr(path.rfind('/') + 1), std::string("lib") + lib.name + ".so");
    }
}

TEST(Exports, EveryExportResolvesByName)
{
    for (const BuiltLibrary& lib : kBuiltLibraries) {
        SCOPED_TRACE(lib.name);
        void* handle = dlopen(lib.path, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        for (const std::string& symbol : kExports.at(lib.name))
            EXPECT_NE(dlsym(handle, symbol.c_str()), nullptr) << symbol;
        dlclose(handle);
    }
}

TEST(Exports, NothingButTheExportsIsVisible)
{
    for (const BuiltLibrary& lib : kBuiltLibraries) {
        SCOPED_TRACE(lib.name);
        const std::set<std::string> defined = definedDynamicSymbols(lib.path);
        EXPECT_EQ(defined, kExports.at(lib.name));
    }
}

}  // namespace

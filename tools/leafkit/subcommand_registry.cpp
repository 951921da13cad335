#include "subcommand_registry.h"

#include <algorithm>

namespace leafkit {
namespace {

// Function-local statics: registrations run during static initialisation, in any
// translation-unit order.
std::vector<Subcommand>& subcommandList()
{
    static std::vector<Subcommand> list;
    return list;
}

LeafJob& leafJobSlot()
{
    static LeafJob job = nullptr;
    return job;
}

}  // namespace

RegisterSubcommand::RegisterSubcommand(Subcommand subcommand)
{
    auto& list = subcommandList();
    const auto at = std::lower_bound(list.begin(), list.end(), subcommand.name,
                                     [](const Subcommand& s, const std::string& name) { return s.name < name; });
    list.insert(at, std::move(subcommand));
}

const std::vector<Subcommand>& registeredSubcommands() { return subcommandList(); }

void registerLeafJob(LeafJob job) { leafJobSlot() = job; }

LeafJob registeredLeafJob() { return leafJobSlot(); }

}  // namespace leafkit

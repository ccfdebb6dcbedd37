#include "phrasing_readers.h"

#include <algorithm>
#include <cstring>

extern const PluginRequestReader kChimavoReader;
extern const PluginRequestReader kRelvaneReader;
extern const PluginRequestReader kTulavoReader;

namespace {

// One line per plug-in whose reading library is linked in.
const PluginRequestReader* const kReaders[] = {
    &kChimavoReader,
    &kRelvaneReader,
    &kTulavoReader,
};

} // namespace

std::vector<const PluginRequestReader*> PhrasingReaders()
{
    std::vector<const PluginRequestReader*> readers(std::begin(kReaders), std::end(kReaders));
    // The host loads "*.kVX" in the order the folder lists them: by name.
    std::sort(readers.begin(), readers.end(), [](const PluginRequestReader* a, const PluginRequestReader* b) {
        return std::strcmp(a->name, b->name) < 0;
    });
    return readers;
}

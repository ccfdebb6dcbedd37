#include "phrasing_readers.h"

#include <algorithm>
#include <cstring>

extern const PluginRequestReader kChimavoReader;
extern const PluginRequestReader kHoroluxReader;
extern const PluginRequestReader kListavoReader;
extern const PluginRequestReader kOcavioReader;
extern const PluginRequestReader kParcavoReader;
extern const PluginRequestReader kRelvaneReader;
extern const PluginRequestReader kRuveloReader;
extern const PluginRequestReader kSkrivoReader;
extern const PluginRequestReader kSumvaneReader;
extern const PluginRequestReader kTulavoReader;

namespace {

// One line per plug-in whose reading library is linked in.
const PluginRequestReader* const kReaders[] = {
    &kChimavoReader,
    &kHoroluxReader,
    &kListavoReader,
    &kOcavioReader,
    &kParcavoReader,
    &kRelvaneReader,
    &kRuveloReader,
    &kSkrivoReader,
    &kSumvaneReader,
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

#include "core/list_properties.h"
#include "core/text.h"
#include "fuzz_target.h"

using namespace zelk;

// A list's saved property bag, one "name=value" a line: read, written and read again.
ZELK_FUZZ_TARGET(list_properties) {
    PropertyBag bag;
    for (const std::wstring& line : SplitLines(Utf8ToWide(fuzz::Bytes(data, size)))) {
        const auto equals = line.find(L'=');
        if (equals != std::wstring::npos) {
            bag.Write(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    ListAmbient ambient;
    ambient.font = {L"Tahoma", 8.25};
    ambient.resolve = [](int index) { return static_cast<Colour>(index * 0x010203); };
    const ListProperties first = ReadProperties(bag, ambient);
    // Writing may round a value once (a font size to two decimals); from then on a saved list
    // reads back exactly as it was.
    const ListProperties second = ReadProperties(WriteProperties(first, ambient), ambient);
    const PropertyBag saved = WriteProperties(second, ambient);
    FUZZ_CHECK(ReadProperties(saved, ambient) == second);
    FUZZ_CHECK(saved.Entries().size() <= ListPropertyNames().size());
    FUZZ_CHECK(second.OLEDropMode == 0 || second.OLEDropMode == 1);
    return 0;
}

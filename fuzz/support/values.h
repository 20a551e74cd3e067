// Property-list values made from fuzzer input: every type, the awkward numbers, nesting.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "platform/objc.h"

namespace qv::fuzz {

// A real number, often one that trips arithmetic: NaN, infinities, huge, tiny, -0.
double awkwardReal(FuzzedDataProvider& in);
// An integer, often an extreme or a small one near a boundary.
long long awkwardInteger(FuzzedDataProvider& in);
// One of `words` or a short string of junk bytes.
std::string text(FuzzedDataProvider& in, const std::vector<std::string>& words);

// An autoreleased property-list object of any type. Containers nest at most `depth` levels
// and hold objects of any type; strings are drawn from `words` or junk.
id anyObject(FuzzedDataProvider& in, int depth, const std::vector<std::string>& words);

// An array of the words and objects of other types, the shape of the settings' app lists.
id mixedList(FuzzedDataProvider& in, const std::vector<std::string>& words);

// Keyed-archive data for a colour: a valid archive of a colour with any components, the
// archive with one part broken (wrong types, a bad class, uids out of range, a cycle, parts
// missing), or plain junk bytes.
id colourArchive(FuzzedDataProvider& in);

// Colour texts: the picker's forms, near misses and junk.
std::string colourText(FuzzedDataProvider& in);

}  // namespace qv::fuzz

#include "speller/enhancedini.h"

#include <algorithm>
#include <map>

#include "platform/codepage.h"

namespace speller {

namespace {

// The index of a key "NAME_<decimal>" (ignoring case), or -1. Only the form
// the writer produces counts: "NAME_07" is not entry 7.
long long EntryIndex(std::string_view key, std::string_view name) {
    if (key.size() <= name.size() + 1 || key[name.size()] != '_' ||
        !platform::AnsiSameText(key.substr(0, name.size()), name))
        return -1;
    std::string_view digits = key.substr(name.size() + 1);
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
        return -1;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

void WriteListTo(TIniDocument& doc, std::string_view section, std::string_view name,
                 const std::vector<std::string>& list) {
    std::vector<std::pair<std::string, std::string>> keys;
    keys.reserve(list.size() + 1);
    std::string prefix(name);
    keys.emplace_back(prefix + "_ListCount", std::to_string(list.size()));
    for (std::size_t i = 0; i < list.size(); ++i)
        keys.emplace_back(prefix + "_" + std::to_string(i), list[i]);
    doc.WriteKeys(section, keys);
}

} // namespace

void TEnhancedINI::ReadList(std::string_view section, std::string_view name,
                            std::vector<std::string>& list) const {
    TIniDocument doc = LoadDocument();
    auto countText = doc.Read(section, std::string(name) + "_ListCount");
    long long count = countText ? ParseIniInteger(*countText).value_or(0) : 0;
    if (count <= 0)
        return;
    int s = doc.FindSection(section);
    auto [begin, end] = doc.SectionRange(s);
    // First key of each index wins, as a lookup by name would find it.
    std::map<long long, const std::string*> entries;
    for (std::size_t i = begin; i < end; ++i) {
        const auto& line = doc.Lines()[i];
        if (line.kind != TIniDocument::Line::Key)
            continue;
        long long index = EntryIndex(line.name, name);
        if (index >= 0 && index < count)
            entries.emplace(index, &line.value);
    }
    for (const auto& [index, value] : entries)
        if (!value->empty())
            list.push_back(*value);
}

void TEnhancedINI::WriteList(std::string_view section, std::string_view name,
                             const std::vector<std::string>& list) {
    Update([&](TIniDocument& doc) { WriteListTo(doc, section, name, list); });
}

void TEnhancedINI::WriteLists(std::string_view section1, std::string_view name1,
                              const std::vector<std::string>& list1, std::string_view section2,
                              std::string_view name2, const std::vector<std::string>& list2) {
    Update([&](TIniDocument& doc) {
        WriteListTo(doc, section1, name1, list1);
        WriteListTo(doc, section2, name2, list2);
    });
}

} // namespace speller

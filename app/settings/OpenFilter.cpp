#include "OpenFilter.h"

#include "SettingsTexts.h"

namespace segmora {

std::string BuildOpenFilter(const std::string &user1Name, const std::string &user1Mask,
                            const std::string &user2Name, const std::string &user2Mask) {
    std::string filter = settingstexts::FilterNc;
    filter += settingstexts::FilterText;
    filter += user1Name + "(" + user1Mask + ")|" + user1Mask + "|";
    filter += user2Name + "(" + user2Mask + ")|" + user2Mask + "|";
    filter += settingstexts::FilterAll;
    filter += settingstexts::FilterNoExtension;
    return filter;
}

std::string NormalizeMask(std::string_view mask) {
    if (mask.find("*.") != std::string_view::npos)
        return std::string(mask);
    if (mask.find('.') != std::string_view::npos)
        return "*" + std::string(mask);
    return "*." + std::string(mask);
}

std::vector<FilterEntry> ParseOpenFilter(std::string_view filter) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start < filter.size()) {
        size_t bar = filter.find('|', start);
        if (bar == std::string_view::npos)
            bar = filter.size();
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<FilterEntry> entries;
    for (size_t i = 0; i < parts.size(); i += 2) {
        FilterEntry entry;
        entry.Display = std::string(parts[i]);
        if (i + 1 < parts.size()) {
            std::string_view list = parts[i + 1];
            size_t from = 0;
            while (from <= list.size()) {
                size_t semicolon = list.find(';', from);
                if (semicolon == std::string_view::npos)
                    semicolon = list.size();
                if (semicolon > from)
                    entry.Patterns.emplace_back(list.substr(from, semicolon - from));
                from = semicolon + 1;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> ToNameFilters(std::string_view filter) {
    std::vector<std::string> names;
    for (const FilterEntry &entry : ParseOpenFilter(filter)) {
        std::string name = entry.Display + " (";
        for (size_t i = 0; i < entry.Patterns.size(); ++i) {
            if (i > 0)
                name += ' ';
            name += entry.Patterns[i];
        }
        name += ')';
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace segmora

#include "IniFile.h"

namespace segmora {
namespace {

constexpr size_t npos = std::string::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

IniFile::IniFile(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == npos ? text.size() : end + 1;
        if (end == npos)
            end = text.size();
        if (end > start && text[end - 1] == '\r')
            --end;
        Lines.push_back(Parse(std::string(text.substr(start, end - start))));
        start = next;
    }
}

IniFile::Line IniFile::Parse(std::string bytes) {
    Line line;
    const std::string_view trimmed = TrimBlanks(bytes);
    if (!trimmed.empty() && trimmed.front() == '[') {
        // A "[" line without "]" is neither a header nor a setting.
        const size_t close = trimmed.rfind(']');
        if (close != npos) {
            line.IsSection = true;
            line.Section = std::string(TrimBlanks(trimmed.substr(1, close - 1)));
        }
    } else if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#') {
        const size_t equals = trimmed.find('=');
        if (equals != npos) {
            line.Key = std::string(TrimBlanks(trimmed.substr(0, equals)));
            line.IsKey = !line.Key.empty();
        }
    }
    line.Bytes = std::move(bytes);
    return line;
}

size_t IniFile::FindSection(std::string_view section) const {
    for (size_t i = 0; i < Lines.size(); ++i)
        if (Lines[i].IsSection && SameName(Lines[i].Section, section))
            return i;
    return npos;
}

size_t IniFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < Lines.size() && !Lines[i].IsSection)
        ++i;
    return i;
}

size_t IniFile::FindKey(size_t header, std::string_view key) const {
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (Lines[i].IsKey && SameName(Lines[i].Key, key))
            return i;
    return npos;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
    const size_t header = FindSection(section);
    if (header == npos)
        return std::nullopt;
    const size_t at = FindKey(header, key);
    if (at == npos)
        return std::nullopt;
    const std::string &bytes = Lines[at].Bytes;
    return std::string(TrimBlanks(std::string_view(bytes).substr(bytes.find('=') + 1)));
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    std::string safe(value);
    for (char &c : safe)
        if (c == '\n')
            c = '?';
    size_t header = FindSection(section);
    if (header == npos) {
        Lines.push_back(Parse("[" + std::string(section) + "]"));
        header = Lines.size() - 1;
    }
    const size_t at = FindKey(header, key);
    if (at != npos) {
        Lines[at] = Parse(Lines[at].Key + "=" + safe);
        return;
    }
    size_t insert = SectionEnd(header);
    while (insert > header + 1 && TrimBlanks(Lines[insert - 1].Bytes).empty())
        --insert;
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(insert),
                 Parse(std::string(key) + "=" + safe));
}

void IniFile::Remove(std::string_view section, std::string_view key) {
    const size_t header = FindSection(section);
    if (header == npos)
        return;
    for (size_t at = FindKey(header, key); at != npos; at = FindKey(header, key))
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(at));
}

std::string IniFile::Text() const {
    std::string text;
    for (const Line &line : Lines) {
        text += line.Bytes;
        text += "\r\n";
    }
    return text;
}

} // namespace segmora

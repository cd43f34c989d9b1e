#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace segmora {

// The settings file's text, held as its lines, with the read and write rules
// the program relies on:
// - a section starts at a line whose first non-blank byte is "[" and which has
//   a "]"; its name is the text between "[" and the last "]", blanks trimmed;
// - a setting is a line "key=value" inside a section; key and value are
//   trimmed of blanks (space, tab);
// - section and key names match without regard to ASCII letter case; the
//   first section of a name, and the first key of a name in it, count;
// - every other line (blank lines, comments starting with ";" or "#", lines
//   before the first section, a "[" line without "]", a line without "=" or
//   with an empty key, any bytes at all) is kept as it stands.
// Values are bytes as in the file (CP932); nothing here converts them. Line
// ends are LF or CR LF on reading and always CR LF on writing.
class IniFile {
public:
    IniFile() = default;
    // Any bytes parse; nothing fails.
    explicit IniFile(std::string_view text);

    // The value of the key, trimmed, or nothing when the section or the key
    // is missing. A key present with nothing after "=" gives "".
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;

    // Replaces the key's value where the key stands (the line becomes
    // "key=value", keeping the key's spelling); a missing key is added after
    // the last non-blank line of its section, a missing section at the end of
    // the file. A LF in the value (a caller's fault: it would split the line)
    // is written as "?"; a CR reads back as it was written.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // Removes every line of the key from its (first) section.
    void Remove(std::string_view section, std::string_view key);

    // The whole text, every line ending in CR LF.
    std::string Text() const;

private:
    struct Line {
        std::string Bytes;   // the line as in the file, without its line end
        std::string Section; // for a section header: its name
        std::string Key;     // for a setting: its key, trimmed
        bool IsSection = false;
        bool IsKey = false;
    };
    static Line Parse(std::string bytes);
    // Index of the first header of the section, or npos.
    size_t FindSection(std::string_view section) const;
    // One past the section's last line.
    size_t SectionEnd(size_t header) const;
    size_t FindKey(size_t header, std::string_view key) const;

    std::vector<Line> Lines;
};

// Trims blanks (space, tab) at both ends.
std::string_view TrimBlanks(std::string_view text);

// ASCII letters compare without regard to case; all other bytes exactly.
bool SameName(std::string_view a, std::string_view b);

} // namespace segmora

#include "Settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "Cp932.h"
#include "FileIo.h"
#include "FolderPath.h"
#include "IniFile.h"
#include "SettingsTexts.h"

namespace segmora {
namespace {

constexpr const char *MainSection = "Main";
constexpr const char *ViewSection = "View";
constexpr const char *SettingSection = "Setting";

// A string value is read up to this many bytes.
constexpr size_t MaxValueBytes = 2047;

bool IsCp932LeadByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The part of a stored value that is read: up to a NUL byte and at most
// MaxValueBytes, never ending in half of a double-byte character.
std::string_view ReadablePart(std::string_view raw) {
    raw = raw.substr(0, raw.find('\0'));
    if (raw.size() <= MaxValueBytes)
        return raw;
    size_t end = 0;
    while (end < raw.size()) {
        const size_t length = IsCp932LeadByte(raw[end]) ? 2 : 1;
        if (end + length > MaxValueBytes)
            break;
        end += length;
    }
    return raw.substr(0, end);
}

std::string TextOf(std::string_view raw) {
    return FromCp932(ReadablePart(raw));
}

// Strings the plain "key=value" line cannot carry back exactly (characters
// CP932 lacks, bytes that are not UTF-8, line breaks, NUL, blanks at either
// end, more than MaxValueBytes) are also written, exactly, under the key
// name plus this suffix, percent-encoded. The plain key then holds the
// nearest CP932 form ("?" for what it lacks), so the file stays readable.
// The exact form counts only while the plain key still holds what was
// written with it; a hand edit of the plain key wins.
constexpr const char *ExactSuffix = ".UTF-8";

std::string Escape(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '%') {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// The CP932 form written to the plain key: "?" for what CP932 lacks, and
// for line breaks and NUL.
std::string NearestForm(const std::string &text) {
    std::string bytes = ToCp932(text);
    for (char &c : bytes)
        if (c == '\r' || c == '\n' || c == '\0')
            c = '?';
    return bytes;
}

// The CP932 form of text when reading it back gives text again.
std::optional<std::string> PlainForm(const std::string &text) {
    int unmapped = 0;
    std::string bytes = ToCp932(text, &unmapped);
    if (unmapped != 0 || bytes.find_first_of("\r\n") != std::string::npos ||
        TrimBlanks(bytes).size() != bytes.size() || TextOf(bytes) != text)
        return std::nullopt;
    return bytes;
}

// The exact form of a key, when it is there and agrees with the plain value.
std::optional<std::string> ExactValue(const IniFile &ini, const char *section,
                                      const std::string &key, const std::string &raw) {
    const std::optional<std::string> stored = ini.Read(section, key + ExactSuffix);
    if (!stored)
        return std::nullopt;
    std::optional<std::string> exact = Unescape(*stored);
    if (!exact || TrimBlanks(NearestForm(*exact)) != raw)
        return std::nullopt;
    return exact;
}

std::string ReadString(const IniFile &ini, const char *section, const std::string &key,
                       const std::string &fallback) {
    const std::optional<std::string> raw = ini.Read(section, key);
    if (!raw)
        return fallback;
    if (std::optional<std::string> exact = ExactValue(ini, section, key, *raw))
        return *exact;
    return TextOf(*raw);
}

void WriteString(IniFile &ini, const char *section, const std::string &key,
                 const std::string &text) {
    const std::string exactKey = key + ExactSuffix;
    if (const std::optional<std::string> raw = ini.Read(section, key)) {
        // An unchanged value keeps its bytes (CP932 has several codes for
        // some characters, and bytes that are not CP932 survive as well).
        if (const std::optional<std::string> exact = ExactValue(ini, section, key, *raw)) {
            if (*exact == text) {
                ini.Write(section, key, *raw);
                return;
            }
        } else if (TextOf(*raw) == text) {
            ini.Write(section, key, *raw);
            ini.Remove(section, exactKey);
            return;
        }
    }
    if (const std::optional<std::string> plain = PlainForm(text)) {
        ini.Write(section, key, *plain);
        ini.Remove(section, exactKey);
        return;
    }
    ini.Write(section, key, NearestForm(text));
    ini.Write(section, exactKey, Escape(text));
}

// A whole number in decimal, or in hexadecimal after "$" or "0x", with an
// optional sign; nothing else, and nothing outside the 32-bit range.
std::optional<int> ParseInteger(std::string_view text) {
    text = ReadablePart(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > std::int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

int ReadInteger(const IniFile &ini, const char *section, const char *key, int fallback) {
    const std::optional<std::string> raw = ini.Read(section, key);
    if (!raw)
        return fallback;
    return ParseInteger(*raw).value_or(fallback);
}

bool ReadBool(const IniFile &ini, const char *section, const char *key, bool fallback) {
    return ReadInteger(ini, section, key, fallback ? 1 : 0) != 0;
}

void WriteInteger(IniFile &ini, const char *section, const char *key, int value) {
    ini.Write(section, key, std::to_string(value));
}

void WriteBool(IniFile &ini, const char *section, const char *key, bool value) {
    ini.Write(section, key, value ? "1" : "0");
}

bool IsAbsolute(const char *path) {
    return path && path[0] == '/';
}

} // namespace

std::string HomeFolder() {
    const char *home = std::getenv("HOME");
    if (!IsAbsolute(home)) {
        const passwd *entry = ::getpwuid(::getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    if (!IsAbsolute(home))
        return "/";
    const std::string folder = WithoutTrailingSeparator(home);
    return folder.empty() ? "/" : folder;
}

std::string SettingsPath(const std::string &executablePath) {
    const std::string folder = ExtractFilePath(executablePath);
    const std::string name = executablePath.substr(folder.size());
    const std::string fileName = name.substr(0, name.size() - ExtractFileExt(name).size()) + ".INI";
    const std::string beside = folder + fileName;
    struct stat info;
    if (::stat(beside.c_str(), &info) == 0 ||
        ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0)
        return beside;
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const std::string configFolder =
        IsAbsolute(config) ? WithoutTrailingSeparator(config) : HomeFolder() + "/.config";
    return configFolder + "/segmora/" + fileName;
}

SettingsFields DefaultSettings() {
    SettingsFields fields;
    fields.DirPath = HomeFolder();
    fields.ChgPath = fields.DirPath;
    fields.oChg = settingstexts::DefaultLeadLetter;
    fields.User1_Name = settingstexts::DefaultUser1Name;
    fields.User1_Mask = settingstexts::DefaultMask;
    fields.User2_Name = settingstexts::DefaultUser2Name;
    fields.User2_Mask = settingstexts::DefaultMask;
    return fields;
}

void LoadSettings(const std::string &iniPath, SettingsFields &fields, WindowPosition &position) {
    LoadSettingsText(ReadWholeFile(iniPath).value_or(std::string()), fields, position);
}

void LoadSettingsText(std::string_view text, SettingsFields &fields, WindowPosition &position) {
    const IniFile ini(text);
    const SettingsFields defaults = DefaultSettings();
    const WindowPosition home;

    position.Left = ReadInteger(ini, MainSection, "Left", home.Left);
    position.Top = ReadInteger(ini, MainSection, "Top", home.Top);

    fields.DirPath = ReadString(ini, MainSection, "DirPath", defaults.DirPath);
    fields.ChgPath = ReadString(ini, MainSection, "ChgPath", defaults.ChgPath);
    fields.oChg = ReadString(ini, MainSection, "oChg", defaults.oChg);
    fields.InvTime = ReadInteger(ini, MainSection, "InvTime", defaults.InvTime);
    fields.OP1 = ReadBool(ini, MainSection, "OP1", defaults.OP1);
    fields.OP2 = ReadBool(ini, MainSection, "OP2", defaults.OP2);
    fields.OP3 = ReadBool(ini, MainSection, "OP3", defaults.OP3);
    fields.OP4 = ReadBool(ini, MainSection, "OP4", defaults.OP4);
    fields.ViewLeft = ReadInteger(ini, ViewSection, "Left", defaults.ViewLeft);
    fields.ViewTop = ReadInteger(ini, ViewSection, "Top", defaults.ViewTop);
    fields.ViewWidth = ReadInteger(ini, ViewSection, "Width", defaults.ViewWidth);
    fields.ViewHeight = ReadInteger(ini, ViewSection, "Height", defaults.ViewHeight);
    fields.ViewFontSize = ReadInteger(ini, ViewSection, "FontSize", defaults.ViewFontSize);
    fields.Mask_No = ReadInteger(ini, SettingSection, "Mask_No", defaults.Mask_No);
    fields.User1_Name = ReadString(ini, SettingSection, "User1_Name", defaults.User1_Name);
    fields.User1_Mask = ReadString(ini, SettingSection, "User1_Mask", defaults.User1_Mask);
    fields.User2_Name = ReadString(ini, SettingSection, "User2_Name", defaults.User2_Name);
    fields.User2_Mask = ReadString(ini, SettingSection, "User2_Mask", defaults.User2_Mask);
}

std::string SettingsText(std::string_view oldText, const SettingsFields &fields,
                         const WindowPosition &position) {
    IniFile ini(oldText);
    WriteInteger(ini, MainSection, "Top", position.Top);
    WriteInteger(ini, MainSection, "Left", position.Left);
    WriteString(ini, MainSection, "DirPath", fields.DirPath);
    WriteString(ini, MainSection, "ChgPath", fields.ChgPath);
    WriteString(ini, MainSection, "oChg", fields.oChg);
    WriteInteger(ini, MainSection, "InvTime", fields.InvTime);
    WriteBool(ini, MainSection, "OP1", fields.OP1);
    WriteBool(ini, MainSection, "OP2", fields.OP2);
    WriteBool(ini, MainSection, "OP3", fields.OP3);
    WriteBool(ini, MainSection, "OP4", fields.OP4);
    WriteInteger(ini, ViewSection, "Left", fields.ViewLeft);
    WriteInteger(ini, ViewSection, "Top", fields.ViewTop);
    WriteInteger(ini, ViewSection, "Width", fields.ViewWidth);
    WriteInteger(ini, ViewSection, "Height", fields.ViewHeight);
    WriteInteger(ini, ViewSection, "FontSize", fields.ViewFontSize);
    WriteInteger(ini, SettingSection, "Mask_No", fields.Mask_No);
    WriteString(ini, SettingSection, "User1_Name", fields.User1_Name);
    WriteString(ini, SettingSection, "User1_Mask", fields.User1_Mask);
    WriteString(ini, SettingSection, "User2_Name", fields.User2_Name);
    WriteString(ini, SettingSection, "User2_Mask", fields.User2_Mask);
    return ini.Text();
}

void SaveSettings(const std::string &iniPath, const SettingsFields &fields,
                  const WindowPosition &position, int (*renameFile)(const char *, const char *)) {
    try {
        struct stat info;
        const bool exists = ::stat(iniPath.c_str(), &info) == 0;
        std::optional<std::string> oldText;
        if (exists) {
            // A file that is there but cannot be read is not replaced: its
            // lines would be lost.
            oldText = ReadWholeFile(iniPath);
            if (!oldText)
                throw std::system_error(EACCES, std::generic_category(), iniPath);
        } else {
            const std::string folder = ExtractFileDir(iniPath);
            if (!folder.empty() && !FolderExists(folder))
                CreateFolderPath(folder);
        }
        WriteFileAtomically(
            iniPath, SettingsText(oldText.value_or(std::string()), fields, position), renameFile);
    } catch (const std::exception &) {
        std::string message = settingstexts::CannotWrite;
        message.replace(message.find("%s"), 2, iniPath);
        throw SettingsWriteError(message);
    }
}

} // namespace segmora

namespace segmora {

void SaveSettings(const std::string &iniPath, const SettingsFields &fields,
                  const WindowPosition &position) {
    SaveSettings(iniPath, fields, position, nullptr);
}

} // namespace segmora

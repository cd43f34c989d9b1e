#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace segmora {

// The settings fields, named after their keys. TMainForm derives from this,
// so the fields are the main window's own; loading and saving live here, in
// one place, and need no window. Strings are held as UTF-8 (paths are native
// bytes); the file itself is CP932.
struct SettingsFields {
    std::string DirPath; // Main/DirPath, default: the user's home folder
    std::string ChgPath; // Main/ChgPath, default: the user's home folder
    std::string oChg;    // Main/oChg, default "O"
    int InvTime = 0;     // Main/InvTime, seconds
    bool OP1 = false;    // Main/OP1 .. OP4
    bool OP2 = false;
    bool OP3 = false;
    bool OP4 = false;
    int ViewLeft = 10;                                          // View/Left
    int ViewTop = 10;                                           // View/Top
    int ViewWidth = 500;                                        // View/Width
    int ViewHeight = 500;                                       // View/Height
    int ViewFontSize = 10;                                      // View/FontSize
    int Mask_No = 1;                                            // Setting/Mask_No
    std::string User1_Name, User1_Mask, User2_Name, User2_Mask; // Setting/...

    friend bool operator==(const SettingsFields &, const SettingsFields &) = default;
};

// The main window's position, stored as Main/Left and Main/Top.
struct WindowPosition {
    int Left = 10;
    int Top = 10;

    friend bool operator==(const WindowPosition &, const WindowPosition &) = default;
};

// A failed save: what() is "<path> に書き込めません" with the file's path.
class SettingsWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user's home folder ($HOME, else the password entry, else "/"), without
// a trailing "/" unless it is the root. The default of DirPath and ChgPath.
std::string HomeFolder();

// The fields as they are when the settings file holds nothing: DirPath and
// ChgPath the home folder, oChg "O", the user types "ﾕｰｻﾞ1" / "ﾕｰｻﾞ2" with
// mask "*.*", the numbers as initialised above.
SettingsFields DefaultSettings();

// The settings file for an executable: its path with the extension replaced
// by ".INI" when that folder is writable or the file exists; otherwise
// $XDG_CONFIG_HOME/segmora/<executable file name>.INI (default ~/.config).
std::string SettingsPath(const std::string &executablePath);

// Reads every key (missing file or bad values give the defaults; never
// fails) into fields and position.
void LoadSettings(const std::string &iniPath, SettingsFields &fields, WindowPosition &position);

// The same for the file's content (CP932 bytes; empty when there is none).
void LoadSettingsText(std::string_view text, SettingsFields &fields, WindowPosition &position);

// Writes all twenty keys in their order, keeping every other line of the
// file in place; atomically (temporary file + fsync + rename), so the file is
// either the old one or the new one, never a part. A missing folder above
// the file is created; a symbolic link is followed. An existing file that
// cannot be read (its lines would be lost), cannot be written (read-only)
// or is no regular file is refused. Throws SettingsWriteError on any failure
// and leaves the old file intact.
void SaveSettings(const std::string &iniPath, const SettingsFields &fields,
                  const WindowPosition &position);

// The same, with a stand-in for rename(2) (nullptr: the real one), so that a
// failing rename can be tested.
void SaveSettings(const std::string &iniPath, const SettingsFields &fields,
                  const WindowPosition &position, int (*renameFile)(const char *, const char *));

// The text a save writes: oldText (the file as it is, CP932; empty for a new
// file) with the twenty keys written into it in their order.
//
// A string the plain "key=value" line cannot carry back exactly (a character
// CP932 lacks, bytes that are not UTF-8, a line break, blanks at either end,
// more than 2047 bytes) keeps its nearest CP932 form ("?" for what CP932
// lacks) under its key and is also written exactly, percent-encoded UTF-8,
// under the key name plus ".UTF-8" (DirPath.UTF-8=...). Loading takes that
// exact form only while the plain key still holds what was written beside
// it, so a hand edit of the plain key wins. A string whose text did not
// change keeps the bytes it had in the file.
std::string SettingsText(std::string_view oldText, const SettingsFields &fields,
                         const WindowPosition &position);

} // namespace segmora

#pragma once

#include <stdexcept>
#include <string>

namespace segmora {

// The settings fields, named after their keys. TMainForm derives from this,
// so the fields are the main window's own; loading and saving live here, in
// one place, and need no window. Strings are held as UTF-8 (paths are native
// bytes); the file itself is CP932.
struct SettingsFields {
    std::string DirPath;  // Main/DirPath, default: the user's home folder
    std::string ChgPath;  // Main/ChgPath, default: the user's home folder
    std::string oChg;     // Main/oChg, default "O"
    int InvTime = 0;      // Main/InvTime, seconds
    bool OP1 = false;     // Main/OP1 .. OP4
    bool OP2 = false;
    bool OP3 = false;
    bool OP4 = false;
    int ViewLeft = 10;    // View/Left
    int ViewTop = 10;     // View/Top
    int ViewWidth = 500;  // View/Width
    int ViewHeight = 500; // View/Height
    int ViewFontSize = 10; // View/FontSize
    int Mask_No = 1;      // Setting/Mask_No
    std::string User1_Name, User1_Mask, User2_Name, User2_Mask; // Setting/...
};

// The main window's position, stored as Main/Left and Main/Top.
struct WindowPosition {
    int Left = 10;
    int Top = 10;
};

// A failed save: what() is "<path> に書き込めません" with the file's path.
class SettingsWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The settings file for an executable: its path with the extension replaced
// by ".INI" when that folder is writable or the file exists; otherwise
// $XDG_CONFIG_HOME/segmora/<executable file name>.INI (default ~/.config).
std::string SettingsPath(const std::string &executablePath);

// Reads every key (missing file or bad values give the defaults; never
// fails) into fields and position.
void LoadSettings(const std::string &iniPath, SettingsFields &fields, WindowPosition &position);

// Writes all twenty keys in their order, keeping every other line of the
// file in place; atomically (temporary file + rename). Throws
// SettingsWriteError and leaves the old file intact on failure.
void SaveSettings(const std::string &iniPath, const SettingsFields &fields,
                  const WindowPosition &position);

} // namespace segmora

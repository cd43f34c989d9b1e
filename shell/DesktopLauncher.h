#pragma once

#include <QByteArray>
#include <QString>

namespace segmora {

// The folder the user's desktop shows, as `xdg-user-dir DESKTOP` names it:
// XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when unset),
// "$HOME/..." or an absolute path in double quotes, the last valid line
// winning; ~/Desktop when the file names none. The folder may not exist.
QString DesktopFolder();

// The folder that holds an executable: the text up to its last "/", without
// that "/" unless it is the root ("/usr/bin/segmora" -> "/usr/bin",
// "/segmora" -> "/").
QString ExecutableFolder(const QString &executablePath);

// The Icon value for a launcher of this executable: the icon installed with
// it (<folder>/../share/icons/hicolor/256x256/apps/segmora.png, the layout
// that both an install prefix and the build tree have), as an absolute path;
// the theme name "segmora" when there is none.
QString LauncherIcon(const QString &executablePath);

// An Exec value that starts exactly this file: the path double-quoted with
// its `"`, "`", "$" and "\" escaped, "%" doubled, then escaped as a string
// value of a desktop entry.
QString ExecValue(const QString &executablePath);

// The launcher's bytes (UTF-8, LF line ends).
QByteArray LauncherText(const QString &executablePath, const QString &icon);

// The launcher's full path: the desktop folder, "/", "ｾｸﾞﾓﾗ.desktop".
QString LauncherPath();

// Writes the launcher for the executable at executablePath (absolute) into
// the desktop folder, replacing one that is there: written to a temporary
// file in that folder, marked executable, then renamed over the old one.
// Nothing is created when the desktop folder is missing (a desktop that has
// no folder would not show it), when the path is relative or names no file.
// Returns whether the launcher was written; the menu command ignores it, as
// it reports nothing either way.
bool MakeDesktopLauncher(const QString &executablePath);

} // namespace segmora

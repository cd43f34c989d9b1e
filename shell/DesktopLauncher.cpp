#include "DesktopLauncher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "FolderPath.h"
#include "ShellTexts.h"
#include "UiText.h"

namespace segmora {

namespace {

// The value of one XDG_DESKTOP_DIR line: the text inside its double quotes,
// with the shell's backslash escapes undone; empty when it is not quoted.
QString QuotedValue(const QString &text) {
    if (!text.startsWith(QLatin1Char('"')))
        return {};
    QString value;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            return value;
        if (c == QLatin1Char('\\') && i + 1 < text.size())
            value += text.at(++i);
        else
            value += c;
    }
    return {}; // no closing quote
}

// Escapes a desktop entry string value (backslash, control characters, a
// leading blank).
QString EscapeString(const QString &value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

} // namespace

QString DesktopFolder() {
    const QString home = QDir::homePath();
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(configHome))
        configHome = home + QLatin1String("/.config");

    QString folder;
    QFile dirs(configHome + QLatin1String("/user-dirs.dirs"));
    if (dirs.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QStringList lines = QString::fromUtf8(dirs.readAll()).split(QLatin1Char('\n'));
        for (const QString &raw : lines) {
            const QString line = raw.trimmed();
            static const QString key = QStringLiteral("XDG_DESKTOP_DIR=");
            if (!line.startsWith(key))
                continue;
            const QString value = QuotedValue(line.mid(key.size()));
            static const QString homeVariable = QStringLiteral("$HOME");
            if (value.startsWith(homeVariable) &&
                (value.size() == homeVariable.size() || value.at(homeVariable.size()) == u'/'))
                folder = home + value.mid(homeVariable.size());
            else if (value.startsWith(QLatin1Char('/')))
                folder = value;
            // Anything else is not a form the file may hold; the line is passed over.
        }
    }
    if (folder.isEmpty())
        folder = home + QLatin1String("/Desktop");
    return QDir::cleanPath(folder);
}

QString ExecutableFolder(const QString &executablePath) {
    return FromNative(ExtractFileDir(ToNative(executablePath)));
}

QString LauncherIcon(const QString &executablePath) {
    const QString installed =
        QFileInfo(ExecutableFolder(executablePath) +
                  QLatin1String("/../share/icons/hicolor/256x256/apps/segmora.png"))
            .canonicalFilePath();
    return installed.isEmpty() ? QStringLiteral("segmora") : installed;
}

QString ExecValue(const QString &executablePath) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return EscapeString(quoted);
}

QByteArray LauncherText(const QString &executablePath, const QString &icon) {
    const QString text = QLatin1String("[Desktop Entry]\n"
                                       "Type=Application\n"
                                       "Name=") +
                         QString::fromUtf8(shelltexts::LauncherName) + QLatin1String("\nExec=") +
                         ExecValue(executablePath) + QLatin1String("\nPath=") +
                         EscapeString(ExecutableFolder(executablePath)) + QLatin1String("\nIcon=") +
                         EscapeString(icon) + QLatin1Char('\n');
    return text.toUtf8();
}

QString LauncherPath() {
    return DesktopFolder() + QLatin1Char('/') + QString::fromUtf8(shelltexts::LauncherName) +
           QLatin1String(".desktop");
}

bool MakeDesktopLauncher(const QString &executablePath) {
    if (!QDir::isAbsolutePath(executablePath) || !QFileInfo(executablePath).isFile())
        return false;
    if (!QFileInfo(DesktopFolder()).isDir())
        return false;

    QSaveFile file(LauncherPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = LauncherText(executablePath, LauncherIcon(executablePath));
    if (file.write(text) != text.size())
        return false;
    // Executable for whoever may read it: desktops start only launchers that
    // are marked so.
    QFileDevice::Permissions permissions =
        file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ReadOwner |
        QFileDevice::ReadUser | QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (permissions & QFileDevice::ReadGroup)
        permissions |= QFileDevice::ExeGroup;
    if (permissions & QFileDevice::ReadOther)
        permissions |= QFileDevice::ExeOther;
    if (!file.setPermissions(permissions))
        return false;
    return file.commit();
}

} // namespace segmora

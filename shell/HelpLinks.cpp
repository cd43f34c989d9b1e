#include "HelpLinks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

#include "DesktopLauncher.h"
#include "ShellConfig.h"

namespace segmora {

namespace {

UrlOpener &CurrentOpener() {
    static UrlOpener opener;
    return opener;
}

void Open(const QUrl &url) {
    if (url.isEmpty())
        return;
    if (CurrentOpener())
        CurrentOpener()(url);
    else
        QDesktopServices::openUrl(url);
}

} // namespace

void SetUrlOpener(UrlOpener opener) {
    CurrentOpener() = std::move(opener);
}

QUrl HomePageUrl(const QString &executablePath) {
    const QString configured = QString::fromUtf8(shellconfig::HomePage);
    if (!configured.isEmpty())
        return QUrl(configured);
    const QString readme = QFileInfo(ExecutableFolder(executablePath) +
                                     QLatin1String("/../share/doc/segmora/README.md"))
                               .canonicalFilePath();
    return readme.isEmpty() ? QUrl() : QUrl::fromLocalFile(readme);
}

QUrl MailUrl() {
    return QUrl(QLatin1String("mailto:") + QString::fromUtf8(shellconfig::SupportMail));
}

void OpenHomePage() {
    Open(HomePageUrl(QCoreApplication::applicationFilePath()));
}

void OpenMailAddress() {
    Open(MailUrl());
}

} // namespace segmora

#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace segmora {

// The desktop's URL opener (QDesktopServices::openUrl). Tests put their own
// in its place; an empty opener brings the desktop's back. The result says
// whether the address was handed on; the help commands ignore it.
using UrlOpener = std::function<bool(const QUrl &)>;
void SetUrlOpener(UrlOpener opener);

// The home page. SEGMORA_HOME_PAGE when the build sets one; otherwise the
// README installed with the program (<executable's folder>/../share/doc/
// segmora/README.md, the layout of an install prefix and of the build tree),
// or an empty address when there is none.
QUrl HomePageUrl(const QString &executablePath);

// "mailto:" followed by SEGMORA_SUPPORT_MAIL. Without one it is a bare
// "mailto:", which opens a new, unaddressed message.
QUrl MailUrl();

// The help menu's two links, opened through the URL opener; nothing is
// reported, also when no program takes the address. The home page is looked
// up beside the running executable.
void OpenHomePage();
void OpenMailAddress();

} // namespace segmora

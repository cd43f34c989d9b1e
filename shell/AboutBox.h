#pragma once

#include <QIcon>
#include <QString>

class QMessageBox;
class QWidget;

namespace segmora {

// The program's icon in all its sizes (windows, About box).
QIcon ProgramIcon();

// "Segmora Ver" followed at once by the version: "Segmora Ver1.14".
QString AboutApplicationText(const QString &version);

// The one-line notice (SEGMORA_ABOUT_NOTICE of the build).
QString AboutNotice();

// The About box, not yet shown: caption and first line the application text,
// then the notice and a line on the Qt version and the system it runs on,
// the program's icon beside them, one OK button; owned by parent.
QMessageBox *MakeAboutBox(QWidget *parent, const QString &version);

// Shows the About box modally over parent and returns when it is closed.
void ShowAbout(QWidget *parent, const QString &version);

} // namespace segmora

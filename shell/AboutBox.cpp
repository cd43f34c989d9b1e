#include "AboutBox.h"

#include <QMessageBox>
#include <QSysInfo>
#include <QtGlobal>

#include "ShellConfig.h"
#include "ShellTexts.h"

namespace segmora {

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/segmora/segmora-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString AboutApplicationText(const QString &version) {
    return QString::fromUtf8(shelltexts::AboutPrefix) + version;
}

QString AboutNotice() {
    return QString::fromUtf8(shellconfig::AboutNotice);
}

QMessageBox *MakeAboutBox(QWidget *parent, const QString &version) {
    auto *box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setWindowTitle(AboutApplicationText(version));
    box->setTextFormat(Qt::PlainText);
    box->setText(AboutApplicationText(version));
    box->setInformativeText(AboutNotice() + QLatin1String("\n\nQt ") +
                            QString::fromLatin1(qVersion()) + QLatin1String(" / ") +
                            QSysInfo::prettyProductName());
    box->setIconPixmap(ProgramIcon().pixmap(64, 64));
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

void ShowAbout(QWidget *parent, const QString &version) {
    QMessageBox *box = MakeAboutBox(parent, version);
    box->exec();
    delete box;
}

} // namespace segmora

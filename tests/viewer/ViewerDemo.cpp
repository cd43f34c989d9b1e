#include <QApplication>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "Cp932.h"
#include "PrintForm.h"
#include "Texts.h"
#include "ViewForm.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    segmora::SettingsFields fields = segmora::DefaultSettings();
    fields.ViewLeft = 20;
    fields.ViewTop = 20;
    segmora::TViewForm viewer(fields, {});
    segmora::TPrintForm printForm;
    viewer.SetPrintForm(printForm);
    std::vector<std::string> log{segmora::ToCp932(segmora::texts::LogHeader)};
    for (const char *entry : {"O1234(FLANGE)", "O20", "O100(ﾌﾗﾝｼﾞ 加工)", "O3", "O0001(穴あけ)"})
        log.push_back(segmora::ToCp932(entry));
    for (int i = 0; i < 95; ++i)
        log.push_back("O" + std::to_string(2000 + i) + "(PART " + std::to_string(i) + ")");
    log.push_back(segmora::ToCp932(segmora::texts::LogCompleted));
    viewer.HandOff(log);
    const QString option = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (option == QStringLiteral("--pdf") && argc > 2) {
        // Prints the first page to a PDF file instead of showing the window.
        const QString file = QString::fromLocal8Bit(argv[2]);
        viewer.PrintDialog1 = [file](QPrinter &printer, int) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        };
        viewer.Button2Click();
        return 0;
    }
    if (argc > 1) {
        // With a button's name after the file: that button is clicked, and the
        // window it opens is grabbed instead.
        const QString file = option;
        const QString button = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
        if (!button.isEmpty())
            QTimer::singleShot(500, &viewer, [&viewer, button] {
                if (auto *clicked = viewer.findChild<QPushButton *>(button))
                    clicked->click();
            });
        QTimer::singleShot(1500, &viewer, [&viewer, file] {
            QWidget *top = QApplication::activeModalWidget();
            (top ? top : &viewer)->grab().save(file);
            if (top != &viewer && top)
                top->close();
            viewer.close();
        });
    }
    viewer.exec();
    return 0;
}

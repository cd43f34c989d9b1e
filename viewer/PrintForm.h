#pragma once

#include <QFont>
#include <QPrinter>
#include <QString>
#include <QWidget>

class QTextEdit;

namespace segmora {

// Lines per page and pages of a printout of lineCount lines in a font
// fontHeight screen pixels high. The height counts as its magnitude and is
// bounded to 1..1027, so that neither division can fail.
struct PageBounds {
    int LinesPerPage = 1; // L = 1027 div h
    int Pages = 1;        // P = N div L + 1
};
PageBounds PrintPageBounds(int lineCount, int fontHeight);

// The print-buffer window: never shown, it owns the two print buffers and
// the program's one printer, whose set-up lasts until the program ends.
class TPrintForm : public QWidget {
    Q_OBJECT
public:
    explicit TPrintForm(QWidget *parent = nullptr);

    // Puts text into the print buffer (RichEdit1) in the given font, black.
    void Fill(const QString &text, const QFont &font);
    // The lines the print buffer holds; a final line break ends the last
    // line rather than starting an empty one.
    int LineCount() const;

    // Prints the print buffer as one job with an empty title, over the
    // printer's whole printable area, with no header, footer or page numbers;
    // long lines wrap, and each copy the printer cannot make itself is
    // printed again. False when the printer could not be opened (nothing
    // printed).
    bool PrintBuffer(QPrinter &printer);

    QTextEdit *RichEdit1 = nullptr; // the print buffer
    QTextEdit *RichEdit2 = nullptr; // the second buffer; the print dialog offers no mode using it
    QPrinter Printer{QPrinter::HighResolution};
};

} // namespace segmora

#include "PrintForm.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "UiText.h"
#include "ViewTexts.h"

namespace segmora {

PageBounds PrintPageBounds(int lineCount, int fontHeight) {
    // A font size of 0 would give h = 0, a huge one h > 1027 and so L = 0.
    const int h = std::clamp(std::abs(fontHeight), 1, 1027);
    PageBounds bounds;
    bounds.LinesPerPage = 1027 / h;
    bounds.Pages = std::max(lineCount, 0) / bounds.LinesPerPage + 1;
    return bounds;
}

TPrintForm::TPrintForm(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("PrintForm"));
    setWindowTitle(QString::fromUtf8(viewtexts::PrintFormCaption));
    QFont formFont = GothicProportionalFont(12);
    formFont.setPointSize(9);
    setFont(formFont);
    resize(768, 400);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(0, 0, 768, 200);
    RichEdit2 = new QTextEdit(this);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->setGeometry(0, 200, 768, 200);
    for (QTextEdit *edit : {RichEdit1, RichEdit2}) {
        edit->setAcceptRichText(true);
        edit->setLineWrapMode(QTextEdit::WidgetWidth);
        edit->setPlainText(QString());
    }
}

void TPrintForm::Fill(const QString &text, const QFont &font) {
    RichEdit1->setPlainText(text);
    QTextDocument *doc = RichEdit1->document();
    doc->setDefaultFont(font);
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(Qt::black);
    QTextCursor cursor(doc);
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(format);
}

int TPrintForm::LineCount() const {
    const QTextDocument *doc = RichEdit1->document();
    int count = doc->blockCount();
    if (count > 0 && doc->lastBlock().length() <= 1)
        --count; // the empty block after a final line break
    return count;
}

bool TPrintForm::PrintBuffer(QPrinter &printer) {
    printer.setDocName(QString()); // the job's title: always empty
    const std::unique_ptr<QTextDocument> doc(RichEdit1->document()->clone());
    // Laid out at the printer's own resolution over its printable area: no
    // margin beyond the printer's, lines too long for the width wrap.
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setDocumentMargin(0);
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(option);
    const QSizeF page = printer.pageRect(QPrinter::DevicePixel).size();
    doc->setPageSize(page);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    const int pages = doc->pageCount();
    bool first = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (int p = 0; p < pages; ++p) {
            if (!first && !printer.newPage())
                return false;
            first = false;
            painter.save();
            const QRectF clip(0, p * page.height(), page.width(), page.height());
            painter.translate(0, -clip.top());
            painter.setClipRect(clip);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            context.palette.setColor(QPalette::Text, Qt::black);
            doc->documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
    return painter.end();
}

} // namespace segmora

#include "ViewForm.h"

#include <QAction>
#include <QButtonGroup>
#include <QCollator>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QSet>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "PrintForm.h"
#include "Prompt.h"
#include "Texts.h"
#include "UiText.h"
#include "ViewTexts.h"

namespace segmora {

namespace {

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// The whole text of a page, exactly: no character is replaced on the way.
QString PageText(const QPlainTextEdit *page) {
    return page->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

QString JoinLines(const QStringList &lines) {
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

TViewForm::TViewForm(SettingsFields &fields, ViewFormLinks links, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Fields(fields), Links(std::move(links)) {
    setObjectName(QStringLiteral("ViewForm"));
    setWindowTitle(Text(viewtexts::Caption));
    setModal(true);
    QFont formFont = GothicProportionalFont(12);
    formFont.setPointSize(9);
    setFont(formFont);
    setFixedSize(QSize(500, 500) - FrameAllowance);
    BuildControls();

    PrintDialog1 = [this](QPrinter &printer, int pages) {
        QPrintDialog dialog(&printer, this);
        // Page bounds first: setting them turns the page-range option on.
        dialog.setMinMax(1, pages);
        // Whole document only. Printing to a file stays: on a desktop without
        // a print service it is the one way to print at all.
        dialog.setOptions(QAbstractPrintDialog::PrintToFile |
                          QAbstractPrintDialog::PrintShowPageSize |
                          QAbstractPrintDialog::PrintCollateCopies);
        return dialog.exec() == QDialog::Accepted;
    };
    PrinterSetupDialog1 = [this](QPrinter &printer) {
        QPageSetupDialog dialog(&printer, this);
        dialog.exec();
    };
}

void TViewForm::BuildControls() {
    // The entry lists come first so that they lie beneath the page control;
    // they are hidden too, as the user never sees them.
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(152, 40, 113, 329);
    ListBox1->hide();
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(280, 40, 121, 329);
    ListBox2->hide();

    Label1 = new QLabel(Text(viewtexts::Label1Design), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 0, width(), 12);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 16, 425, 417);
    auto makePage = [this](const char *name, const char *editName, const char *caption,
                           QPlainTextEdit *&edit) {
        auto *page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        edit = new QPlainTextEdit(page);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        edit->setFont(PageFont(9));
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(edit);
        PageControl1->addTab(page, Text(caption));
        return page;
    };
    TabSheet1 = makePage("TabSheet1", "RichEdit1", viewtexts::TabSheet1Caption, RichEdit1);
    TabSheet2 = makePage("TabSheet2", "RichEdit2", viewtexts::TabSheet2Caption, RichEdit2);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(432, 8, 57, 120);
    SpeedButtons = new QButtonGroup(this);
    SpeedButtons->setExclusive(true);
    auto makeSpeedButton = [this](const char *name, const char *caption, int top, int tag) {
        auto *button = new QToolButton(GroupBox1);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(Text(caption));
        button->setGeometry(8, top, 41, 25);
        button->setCheckable(true);
        button->setProperty("Tag", tag);
        SpeedButtons->addButton(button, tag);
        connect(button, &QToolButton::clicked, this, [this, button] { SpeedButton1Click(button); });
        return button;
    };
    SpeedButton1 = makeSpeedButton("SpeedButton1", viewtexts::SpeedButton1Caption, 16, 1);
    SpeedButton2 = makeSpeedButton("SpeedButton2", viewtexts::SpeedButton2Caption, 48, 2);
    SpeedButton3 = makeSpeedButton("SpeedButton3", viewtexts::SpeedButton3Caption, 80, 3);
    SpeedButton2->setChecked(true);

    auto makeButton = [this](const char *name, const char *caption, int left,
                             void (TViewForm::*handler)()) {
        auto *button = new QPushButton(Text(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 440, 80, 25);
        // Enter in the window presses no button by itself.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    Button1 = makeButton("Button1", viewtexts::Button1Caption, 10, &TViewForm::Button1Click);
    Button2 = makeButton("Button2", viewtexts::Button2Caption, 100, &TViewForm::Button2Click);
    Button3 = makeButton("Button3", viewtexts::Button3Caption, 190, &TViewForm::Button3Click);
    Button4 = makeButton("Button4", viewtexts::Button4Caption, 300, &TViewForm::Button4Click);

    // The pop-up menu is the first page's context menu; the second page has
    // none.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    EditCopy = PopupMenu1->addAction(Text(viewtexts::EditCopyCaption));
    EditCopy->setObjectName(QStringLiteral("EditCopy"));
    connect(EditCopy, &QAction::triggered, this, &TViewForm::EditCopyClick);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QPlainTextEdit::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(RichEdit1->mapToGlobal(pos)); });
    RichEdit2->setContextMenuPolicy(Qt::NoContextMenu);
}

QFont TViewForm::PageFont(int points) {
    QFont font = GothicFixedFont(13);
    font.setPointSize(std::clamp(points, 1, 1000));
    return font;
}

QStringList TViewForm::PageLines(const QString &text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 0 && lines.back().isEmpty())
        lines.removeLast(); // the line break ends the last line
    return lines;
}

QStringList TViewForm::SortedEntries(QStringList entries) {
    // One collator for the whole list (made afresh each time, so it follows
    // the user's locale as it is now); a stable sort keeps equal entries in
    // the order they came in, as a list kept sorted while filled would.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(), [&](const QString &a, const QString &b) {
        return collator.compare(a, b) < 0;
    });
    return entries;
}

void TViewForm::HandOff(const std::vector<std::string> &log, const QString &nameText) {
    HandedBytes.clear();
    QSet<QString> ambiguous;
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(log.size()));
    for (const std::string &bytes : log) {
        QString line = FromCp932Bytes(bytes);
        if (!ambiguous.contains(line)) {
            auto it = HandedBytes.find(line);
            if (it == HandedBytes.end()) {
                HandedBytes.insert(line, bytes);
            } else if (*it != bytes) {
                HandedBytes.erase(it);
                ambiguous.insert(line);
            }
        }
        lines.append(std::move(line));
    }
    const QString text = JoinLines(lines);
    RichEdit1->setPlainText(text);
    RichEdit2->setPlainText(text);

    ListBox1->clear();
    ListBox2->clear();
    const QStringList entries = lines.size() > 2 ? lines.mid(1, lines.size() - 2) : QStringList();
    ListBox1->addItems(entries);
    ListBox2->addItems(SortedEntries(entries));
    Button1->setEnabled(true);
    Label1->setText(nameText);
}

void TViewForm::setVisible(bool visible) {
    if (visible && !isVisible())
        FormShow();
    QDialog::setVisible(visible);
}

void TViewForm::done(int result) {
    if (isVisible())
        FormClose();
    QDialog::done(result);
}

void TViewForm::keyPressEvent(QKeyEvent *event) {
    // Escape does not close the viewer: it has no Cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

void TViewForm::FormShow() {
    // Placed as stored, with no check: a window off the screen stays there.
    move(Fields.ViewLeft, Fields.ViewTop);
    const QSize requested(Fields.ViewWidth, Fields.ViewHeight);
    const QSize client = (requested - FrameAllowance)
                             .expandedTo(QSize(1, 1))
                             .boundedTo(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    setFixedSize(client);
    AppliedSize = client;
    RequestedSize = requested;
    Label1->setGeometry(0, 0, client.width(), 12);

    const QFont font = PageFont(Fields.ViewFontSize);
    RichEdit1->setFont(font);
    RichEdit2->setFont(font);
    SpeedButton2->setChecked(true); // the first page keeps its text
    PageControl1->setCurrentWidget(TabSheet1);
}

void TViewForm::FormClose() {
    Fields.ViewLeft = x();
    Fields.ViewTop = y();
    QSize outer = size() + FrameAllowance;
    if (size() == AppliedSize)
        outer = RequestedSize;
    Fields.ViewWidth = outer.width();
    Fields.ViewHeight = outer.height();
}

void TViewForm::SpeedButton1Click(QObject *sender) {
    QStringList lines;
    const int tag = sender ? sender->property("Tag").toInt() : 0;
    switch (tag) {
    case 1:
        lines.append(Text(viewtexts::HeaderAscending));
        for (int i = 0; i < ListBox2->count(); ++i)
            lines.append(ListBox2->item(i)->text());
        break;
    case 2:
        lines.append(Text(texts::LogHeader));
        for (int i = 0; i < ListBox1->count(); ++i)
            lines.append(ListBox1->item(i)->text());
        break;
    case 3:
        lines.append(Text(viewtexts::HeaderDescending));
        for (int i = ListBox2->count() - 1; i >= 0; --i)
            lines.append(ListBox2->item(i)->text());
        break;
    default:
        break;
    }
    if (!lines.isEmpty()) {
        lines.append(Text(viewtexts::Footer));
        RichEdit1->setPlainText(JoinLines(lines));
    }
    RichEdit1->repaint();
}

std::string TViewForm::PageBytes(const QStringList &lines, int *unmapped,
                                 int *firstUnmappedLine) const {
    std::string bytes;
    *unmapped = 0;
    *firstUnmappedLine = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto it = HandedBytes.constFind(lines[i]);
        if (it != HandedBytes.cend()) {
            bytes += *it;
        } else {
            int missing = 0;
            bytes += ToCp932Bytes(lines[i], &missing);
            if (missing > 0 && *unmapped == 0)
                *firstUnmappedLine = static_cast<int>(i) + 1;
            *unmapped += missing;
        }
        bytes += "\r\n";
    }
    return bytes;
}

void TViewForm::Button1Click() {
    int unmapped = 0, firstLine = 0;
    const std::string bytes = PageBytes(PageLines(PageText(RichEdit1)), &unmapped, &firstLine);
    if (unmapped > 0) {
        // Characters CP932 lacks are written as "?" only when the user agrees.
        PromptRequest request;
        request.Parent = this;
        request.Text = Text(viewtexts::AskUnmapped).arg(unmapped).arg(firstLine);
        request.Caption = Text(viewtexts::WarningCaption);
        request.Icon = QMessageBox::Warning;
        request.YesNo = true;
        if (Prompt::Show(request) != QMessageBox::Yes)
            return;
    }

    const std::string folder = Links.OutputFolder ? Links.OutputFolder() : std::string();
    const QString path = FromNative(folder + "/" + viewtexts::LogFileName);
    // Written beside the old file and renamed over it: a failure leaves the
    // old file as it was.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        const auto size = static_cast<qint64>(bytes.size());
        written = file.write(bytes.data(), size) == size;
        written = written ? file.commit() : (file.cancelWriting(), false);
    }
    if (!written) {
        Prompt::StandardError(this, Text(texts::CannotCreate).replace(QStringLiteral("%s"), path));
        return;
    }
    Button1->setEnabled(false);
}

void TViewForm::Button2Click() {
    if (!PrintForm)
        return;
    PrintForm->Fill(PageText(RichEdit1), RichEdit1->font());
    const int lineCount = PrintForm->LineCount();
    // The font's height in screen pixels, rounded as the points are converted.
    const int fontHeight = qRound(RichEdit1->font().pointSizeF() * RichEdit1->logicalDpiY() / 72.0);
    const PageBounds bounds = PrintPageBounds(lineCount, fontHeight);
    if (!PrintDialog1 || !PrintDialog1(PrintForm->Printer, bounds.Pages))
        return;
    if (!PrintForm->PrintBuffer(PrintForm->Printer)) {
        const QString where = PrintForm->Printer.outputFileName().isEmpty()
                                  ? PrintForm->Printer.printerName()
                                  : PrintForm->Printer.outputFileName();
        Prompt::StandardError(this, Text(viewtexts::PrintFailed).arg(where));
    }
}

void TViewForm::Button3Click() {
    if (PrinterSetupDialog1 && PrintForm)
        PrinterSetupDialog1(PrintForm->Printer);
}

void TViewForm::Button4Click() {
    if (Links.ClearMainLog)
        Links.ClearMainLog();
    close();
}

void TViewForm::EditCopyClick() {
    RichEdit1->copy();
}

} // namespace segmora

#pragma once

#include <QDialog>
#include <QFont>
#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "Settings.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace segmora {

class TPrintForm;

// What the viewer reaches of the main window besides its settings fields.
struct ViewFormLinks {
    // The last run's output folder: native path bytes, without a trailing "/"
    // (empty for the root).
    std::function<std::string()> OutputFolder;
    // Empties the main window's log (Memo1).
    std::function<void()> ClearMainLog;
};

// The result viewer: the log of a completed run on two pages, reordered,
// saved as List.log and printed. Made once and shown modally (exec) after
// each hand-off. Its geometry and text size are the View settings fields.
class TViewForm : public QDialog {
    Q_OBJECT
public:
    TViewForm(SettingsFields &fields, ViewFormLinks links, QWidget *parent = nullptr);
    // The print window whose buffer Print fills; it is made after the viewer.
    void SetPrintForm(TPrintForm &printForm) { PrintForm = &printForm; }

    // A completed run's log (CP932 lines, header and closing line included)
    // onto both pages and, without its first and last line, into both entry
    // lists; Save enabled; Label1 the name text, which the run never fills.
    void HandOff(const std::vector<std::string> &log, const QString &nameText = QString());

    // The lines of a page's text; a final line break ends the last line.
    static QStringList PageLines(const QString &text);

    // The font of both pages: the fixed-pitch Gothic face at ViewFontSize
    // points, bounded to 1..1000 (Qt has no font of 0 points or fewer).
    static QFont PageFont(int points);

    // Dialog seams; tests replace them. PrintDialog1 shows the print dialog
    // with page bounds 1..pages (whole document only) and returns true to
    // print; PrinterSetupDialog1 shows the printer set-up dialog.
    std::function<bool(QPrinter &printer, int pages)> PrintDialog1;
    std::function<void(QPrinter &printer)> PrinterSetupDialog1;

    // Handlers.
    void FormShow();
    void FormClose();
    void SpeedButton1Click(QObject *sender);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void EditCopyClick();

    // Controls, named after the window design.
    QLabel *Label1 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QPlainTextEdit *RichEdit1 = nullptr;
    QPlainTextEdit *RichEdit2 = nullptr;
    QListWidget *ListBox1 = nullptr; // division order
    QListWidget *ListBox2 = nullptr; // sorted
    QGroupBox *GroupBox1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *SpeedButton3 = nullptr;
    QButtonGroup *SpeedButtons = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *EditCopy = nullptr;

    // The View width and height count the window's frame as the settings
    // file does: this much more than the client area (the designed 500 x 500
    // around a client area of 492 x 473). Window managers draw frames of
    // their own sizes; the client area keeps the designed size, and a size
    // is written back as it was read.
    static constexpr QSize FrameAllowance{8, 27};

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildControls();
    // The entries in the second list's order: whole lines, ignoring case, in
    // the user's locale; equal entries in the order they came.
    static QStringList SortedEntries(QStringList entries);
    std::string PageBytes(const QStringList &lines, int *unmapped, int *firstUnmappedLine) const;

    SettingsFields &Fields;
    ViewFormLinks Links;
    TPrintForm *PrintForm = nullptr;
    // The bytes each handed-over line came as, by its text, so that a line
    // left as it was is saved exactly as the run logged it. A text that two
    // different byte strings decode to is left out (ambiguous).
    QHash<QString, std::string> HandedBytes;
    // The client size FormShow last applied and the View size it came from,
    // so that a size too small for a window is written back as it was read.
    QSize AppliedSize;
    QSize RequestedSize;
};

} // namespace segmora

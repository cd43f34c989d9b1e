#pragma once

#include <QFileDialog>
#include <QString>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSortFilterProxyModel;

namespace segmora {

// The open dialog for the input file: Qt's own (non-native) file dialog with a
// preview strip below its contents, a check box and a memo that shows the
// first bytes of the selected file when they are text. One object serves one
// showing:
//
//   COpenTextDialog dialog(owner, filter, dirPath, maskNo, title);
//   if (dialog.exec() == QDialog::Accepted) { path = dialog.SelectedPath();
//                                             maskNo = dialog.SelectedFilterIndex(); }
class COpenTextDialog : public QFileDialog {
    Q_OBJECT
public:
    // filter: the open-dialog filter string, "display|patterns|..." (UTF-8);
    // filterIndex: the 1-based entry shown first (outside the entries: entry
    // 1). One existing file is chosen; a typed name without an extension
    // gets defaultExtension.
    COpenTextDialog(QWidget *owner, const QString &filter, const QString &initialFolder,
                    int filterIndex, const QString &title,
                    const QString &defaultExtension = QStringLiteral("nc"));

    // The confirmed file's full path (empty when none).
    QString SelectedPath() const;
    // The 1-based filter entry in force now.
    int SelectedFilterIndex() const;

    // The preview controls; null before the dialog is shown and after it
    // has been closed.
    QPlainTextEdit *PreviewMemo = nullptr;
    QCheckBox *PreviewCheck = nullptr;

    // Whether a buffer can be shown as text: no zero byte in its first 100
    // bytes (a length of 0 or less is text).
    static bool IsTextFile(const char *data, std::int32_t length);

    static constexpr int ExtraHeight = 145; // the preview strip
    static constexpr int SideMargin = 6;
    static constexpr int CheckWidth = 200;
    static constexpr int CheckHeight = 25;
    static constexpr int MemoHeight = 100;
    static constexpr int ReadLimit = 1023; // bytes read for a preview
    static constexpr int TestWindow = 100; // bytes IsTextFile examines

protected:
    // The moments of one showing: shown (enlarge, centre, make the preview
    // controls), the selection changed (preview SelectedItem), closed
    // (destroy the controls).
    void DoShow();
    void DoSelectionChange();
    void DoClose();

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void PlaceStrip();
    void ShowCannotOpen(const QString &path);

    QString SelectedItem;           // the item the file list reports as current
    QComboBox *TypeCombo = nullptr; // the dialog's own file-type list
    QSortFilterProxyModel *NoExtensionFilter = nullptr;
    QStringList NameFilters;
    int ExtraMargin = 0; // added to the layout's bottom margin
};

} // namespace segmora

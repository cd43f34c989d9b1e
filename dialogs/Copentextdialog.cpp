#include "Copentextdialog.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>
#include <QSortFilterProxyModel>

#include "DialogTexts.h"
#include "OpenFilter.h"
#include "Prompt.h"
#include "Texts.h"
#include "UiText.h"
#include "UiTexts.h"

namespace segmora {

namespace {

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

QString Text(const std::string &utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Lists, while an entry with an empty pattern list is in force (the "no
// extension" entry), only folders and files whose names hold no ".". The
// file system model's own name filters cannot say "no dot anywhere".
class NoExtensionProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetActive(bool active) {
        if (active == Active)
            return;
        Active = active;
        invalidateFilter();
    }

    // The file system model sorts (folders first); keep its order.
    void sort(int column, Qt::SortOrder order) override { sourceModel()->sort(column, order); }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override {
        if (!Active)
            return true;
        auto *files = qobject_cast<QFileSystemModel *>(sourceModel());
        if (!files)
            return true;
        const QModelIndex index = files->index(row, 0, parent);
        return files->isDir(index) || !files->fileName(index).contains(QLatin1Char('.'));
    }

private:
    bool Active = false;
};

// A file descriptor closed when it goes out of scope.
struct FileHandle {
    int Fd = -1;
    ~FileHandle() {
        if (Fd >= 0)
            ::close(Fd);
    }
};

enum class ReadResult { Read, NotAFile, Failed };

// Reads at most limit bytes from the start of path into data. Only a regular
// file is opened, and without blocking, so a FIFO or a device can never hang
// the dialog; folders and names that do not exist are NotAFile.
ReadResult ReadHead(const std::string &path, size_t limit, std::vector<char> &data) {
    data.clear();
    struct stat status {};
    if (path.empty())
        return ReadResult::NotAFile;
    if (::stat(path.c_str(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::NotAFile : ReadResult::Failed;
    if (S_ISDIR(status.st_mode))
        return ReadResult::NotAFile;
    if (!S_ISREG(status.st_mode))
        return ReadResult::Failed;
    FileHandle file;
    file.Fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.Fd < 0)
        return ReadResult::Failed;
    // The name may have been swapped for something else since the stat.
    if (::fstat(file.Fd, &status) != 0 || !S_ISREG(status.st_mode))
        return ReadResult::Failed;
    data.resize(limit);
    size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(file.Fd, data.data() + got, limit - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadResult::Failed;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    data.resize(got);
    return ReadResult::Read;
}

// CP932 bytes as memo text: the text ends before the first zero byte, and CR
// LF, a lone CR and a lone LF each end a line.
QString PreviewText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    QString text = FromCp932Bytes(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

COpenTextDialog::COpenTextDialog(QWidget *owner, const QString &filter,
                                 const QString &initialFolder, int filterIndex,
                                 const QString &title, const QString &defaultExtension)
    : QFileDialog(owner, title, initialFolder) {
    setObjectName(QStringLiteral("OpenTextDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setDefaultSuffix(defaultExtension);

    auto *proxy = new NoExtensionProxy(this);
    NoExtensionFilter = proxy;
    setProxyModel(proxy);

    const QByteArray filterUtf8 = filter.toUtf8();
    const std::string_view filterBytes(filterUtf8.constData(),
                                       static_cast<size_t>(filterUtf8.size()));
    for (const std::string &name : ToNameFilters(filterBytes))
        NameFilters << Text(name);
    const std::vector<FilterEntry> entries = ParseOpenFilter(filterBytes);
    if (NameFilters.isEmpty())
        return;
    setNameFilters(NameFilters);

    // Each entry's own patterns go to the file list: Qt reads the patterns
    // out of a name filter only when they are plain ASCII, so a user type
    // masked "*.ＮＣ" would otherwise list nothing. Blanks at the ends of a
    // pattern ("nc2 " completes to "*.nc2 ") are no part of a file name.
    std::vector<QStringList> patterns;
    std::vector<bool> noExtension;
    for (const FilterEntry &entry : entries) {
        QStringList list;
        for (const std::string &pattern : entry.Patterns)
            if (const QString trimmed = Text(pattern).trimmed(); !trimmed.isEmpty())
                list << trimmed;
        patterns.push_back(list);
        noExtension.push_back(entry.Patterns.empty());
    }
    auto useEntry = [proxy, patterns, noExtension](int index) {
        const bool known = index >= 0 && static_cast<size_t>(index) < patterns.size();
        proxy->SetActive(known && noExtension[static_cast<size_t>(index)]);
        if (auto *files = qobject_cast<QFileSystemModel *>(proxy->sourceModel()); files && known)
            files->setNameFilters(patterns[static_cast<size_t>(index)]);
    };

    // A stored index outside the entries (a hand-edited settings file)
    // falls back to the first entry.
    const int first = filterIndex >= 1 && filterIndex <= NameFilters.size() ? filterIndex - 1 : 0;
    selectNameFilter(NameFilters[first]); // finds the entry by the type list's text

    // The type list shows each entry's display text exactly as the filter
    // string has it (Qt would trim it, and blank out an entry whose masks it
    // cannot parse).
    TypeCombo = findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    if (TypeCombo && TypeCombo->count() == static_cast<int>(entries.size())) {
        for (int i = 0; i < TypeCombo->count(); ++i)
            TypeCombo->setItemText(i, Text(entries[static_cast<size_t>(i)].Display));
    }
    if (TypeCombo) {
        TypeCombo->setCurrentIndex(first); // exact even when two entries read the same
        connect(TypeCombo, &QComboBox::currentIndexChanged, this, useEntry);
        // The dialog applies its own reading of the entry on "activated",
        // after the index has changed; this comes after it.
        connect(TypeCombo, &QComboBox::activated, this, useEntry);
    } else {
        connect(this, &QFileDialog::filterSelected, this,
                [this, useEntry](const QString &name) { useEntry(NameFilters.indexOf(name)); });
    }
    useEntry(first);

    connect(this, &QFileDialog::currentChanged, this, [this](const QString &path) {
        SelectedItem = path;
        DoSelectionChange();
    });
}

QString COpenTextDialog::SelectedPath() const {
    return selectedFiles().value(0);
}

int COpenTextDialog::SelectedFilterIndex() const {
    const int index = TypeCombo ? TypeCombo->currentIndex()
                                : static_cast<int>(NameFilters.indexOf(selectedNameFilter()));
    return index >= 0 ? index + 1 : 1;
}

bool COpenTextDialog::IsTextFile(const char *data, std::int32_t length) {
    const std::int32_t examined = std::min(length, static_cast<std::int32_t>(TestWindow));
    for (std::int32_t i = 0; i < examined; ++i) {
        if (data[i] == '\0')
            return false;
    }
    return true;
}

void COpenTextDialog::DoShow() {
    const QSize client = size();
    const QRect frame = frameGeometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // The standard contents keep the area they had; the strip takes the
    // added height below them.
    if (QLayout *contents = layout()) {
        QMargins margins = contents->contentsMargins();
        margins.setBottom(margins.bottom() + ExtraHeight);
        contents->setContentsMargins(margins);
        ExtraMargin = ExtraHeight;
    }
    const int outerHeight = frame.height() + ExtraHeight;
    resize(client.width(), client.height() + ExtraHeight);
    move((screen.width() - frame.width()) / 2, (screen.height() - outerHeight) / 2);

    PreviewMemo = new QPlainTextEdit(this);
    PreviewMemo->setObjectName(QStringLiteral("PreviewMemo"));
    PreviewMemo->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PreviewMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    PreviewMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PreviewMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PreviewMemo->setBackgroundRole(QPalette::Base);

    PreviewCheck = new QCheckBox(Text(dialogtexts::PreviewCheckCaption), this);
    PreviewCheck->setObjectName(QStringLiteral("PreviewCheck"));
    PreviewCheck->setChecked(true);

    PlaceStrip();
    PreviewMemo->show();
    PreviewCheck->show();
}

void COpenTextDialog::PlaceStrip() {
    if (!PreviewMemo || !PreviewCheck)
        return;
    // Placed as the strip's first layout has it (check box on the old bottom
    // edge, memo 25 pixels lower); when the user resizes the dialog the
    // strip stays on its bottom edge and the memo follows its width.
    const int top = height() - ExtraHeight;
    PreviewCheck->setGeometry(SideMargin, top, CheckWidth, CheckHeight);
    PreviewMemo->setGeometry(SideMargin, top + CheckHeight, width() - 2 * SideMargin, MemoHeight);
}

void COpenTextDialog::DoSelectionChange() {
    // Selection changes before the strip exists, or after it is gone, have
    // nothing to show.
    if (!PreviewMemo || !PreviewCheck)
        return;
    if (!PreviewCheck->isChecked()) {
        PreviewMemo->clear();
        return;
    }
    std::vector<char> head;
    switch (ReadHead(ToNative(SelectedItem), ReadLimit, head)) {
    case ReadResult::NotAFile:
        PreviewMemo->clear();
        return;
    case ReadResult::Failed:
        ShowCannotOpen(SelectedItem); // the memo keeps what it showed
        return;
    case ReadResult::Read:
        break;
    }
    const auto length = static_cast<std::int32_t>(head.size());
    if (IsTextFile(head.data(), length)) {
        PreviewMemo->clear();
        PreviewMemo->setPlainText(PreviewText(std::string_view(head.data(), head.size())));
        PreviewMemo->repaint();
        return;
    }
    Prompt::Ok(this, Text(dialogtexts::NotTextMessage), Text(dialogtexts::NotTextCaption),
               QMessageBox::Warning);
    if (PreviewMemo)
        PreviewMemo->setPlainText(Text(dialogtexts::NoPreview));
}

void COpenTextDialog::ShowCannotOpen(const QString &path) {
    Prompt::Ok(this, Text(texts::CannotOpen).replace(QStringLiteral("%s"), path),
               Text(uitexts::ApplicationTitle), QMessageBox::NoIcon);
}

void COpenTextDialog::DoClose() {
    delete PreviewMemo;
    PreviewMemo = nullptr;
    delete PreviewCheck;
    PreviewCheck = nullptr;
    if (QLayout *contents = layout(); contents && ExtraMargin) {
        QMargins margins = contents->contentsMargins();
        margins.setBottom(margins.bottom() - ExtraMargin);
        contents->setContentsMargins(margins);
        ExtraMargin = 0;
    }
}

void COpenTextDialog::showEvent(QShowEvent *event) {
    QFileDialog::showEvent(event);
    if (!event->spontaneous() && !PreviewMemo)
        DoShow();
}

void COpenTextDialog::hideEvent(QHideEvent *event) {
    QFileDialog::hideEvent(event);
    if (!event->spontaneous())
        DoClose();
}

void COpenTextDialog::resizeEvent(QResizeEvent *event) {
    QFileDialog::resizeEvent(event);
    PlaceStrip();
}

} // namespace segmora

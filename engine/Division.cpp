#include "Division.h"

#include "Cp932.h"
#include "FolderPath.h"
#include "Texts.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace segmora {
namespace {

std::string Format(const char *pattern, const std::string &path) {
    std::string text = pattern;
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

const std::string &Cp932Text(const char *utf8) {
    // The few fixed log lines, converted once each.
    thread_local std::vector<std::pair<const char *, std::string>> cache;
    for (const auto &[key, value] : cache)
        if (key == utf8)
            return value;
    cache.emplace_back(utf8, ToCp932(utf8));
    return cache.back().second;
}

std::string_view WithoutLeadingControls(std::string_view line) {
    size_t k = 0;
    while (k < line.size() && static_cast<unsigned char>(line[k]) <= 0x20)
        ++k;
    return line.substr(k);
}

} // namespace

std::string StatusLineText(long long line) {
    char number[32];
    std::snprintf(number, sizeof number, "%04lld", line);
    return number + std::string(texts::StatusSuffix);
}

std::string ProgramFileName(std::string_view logEntry) {
    std::string_view name = logEntry.substr(0, logEntry.find('('));
    std::string cp932;
    if (!name.empty() && name.front() == ':') {
        cp932 = "O";
        cp932 += name.substr(1);
    } else {
        cp932 = name;
    }
    std::string utf8 = FromCp932(cp932);
    std::replace(utf8.begin(), utf8.end(), '/', '_');
    std::replace(utf8.begin(), utf8.end(), '\0', '_');
    if (utf8.empty() || utf8 == "." || utf8 == "..")
        utf8 = "_";
    return utf8;
}

std::vector<std::string> LogEntries(const std::vector<std::string> &log) {
    if (log.size() < 2)
        return {};
    return {log.begin() + 1, log.end() - 1};
}

void Division::AppendLog(std::string line) {
    Memo1.push_back(std::move(line));
    Host.LogAppended(Memo1.back());
}

void Division::ClearLog() {
    Memo1.clear();
    Host.LogCleared();
}

void Division::Restore() {
    Host.SetScreenSaver(true);
    Host.EnableControl(Control::Button3, true);
    Host.EnableControl(Control::Button4, false);
    Host.EnableControl(Control::Button5, true);
}

bool Division::CheckAbort(char flag) {
    if (flag != 'y' && !StopRequested)
        return false;
    if (!StopRequested) {
        Host.Tell(texts::AbortMessage, texts::AbortCaption);
        MsgResult = Answer::Other;
    }
    Host.SetStatusText({});
    AppendLog(Cp932Text(texts::LogAborted));
    Host.SetProgressPosition(0);
    Host.EnableControl(Control::Button3, true);
    Host.EnableControl(Control::Button5, true);
    return true;
}

void Division::LoadInputFile(const std::string &fileName) {
    struct stat st {};
    InputKnown = stat(fileName.c_str(), &st) == 0;
    InputDevice = st.st_dev;
    InputInode = st.st_ino;

    LoadWhole(fileName, RichEdit1);
    if (RichEdit1.Empty()) {
        MsgResult = Host.Ask(Question::ReadNonText, texts::AskReadNonText);
        if (MsgResult == Answer::Yes)
            LoadLineByLine(fileName, RichEdit1);
    }
    Host.InputViewChanged();
}

void Division::AppendToBuffer(std::string_view line) {
    Memo2.append(line);
    Memo2.append("\r\n");
}

void Division::CreateOutputFile() {
    if (!CreatedNames.insert(OutputFileName).second &&
        std::find(CreatedAgain.begin(), CreatedAgain.end(), OutputFileName) == CreatedAgain.end())
        CreatedAgain.push_back(OutputFileName);
    if (DryRun) {
        Host.FileCreated(OutputFileName);
        return;
    }

    const auto fail = [this](const char *pattern, int error) {
        throw FileError(Format(pattern, OutputFileName), OutputFileName, std::strerror(error));
    };
    // Opened without truncating first, so that the input file itself is
    // recognised (by device and inode, whatever the path says) and left whole.
    // O_NONBLOCK keeps a FIFO without a reader from hanging the run.
    const int fd = open(OutputFileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        fail(texts::CannotCreate, errno);
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int error = errno;
        close(fd);
        fail(texts::CannotCreate, error);
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        throw FileError(Format(texts::CannotCreate, OutputFileName), OutputFileName,
                        "not a regular file");
    }
    if (InputKnown && st.st_dev == InputDevice && st.st_ino == InputInode) {
        close(fd);
        throw FileError(Format(texts::CannotCreate, OutputFileName) + texts::IsInputFile,
                        OutputFileName, "it is the input file");
    }
    // Only a file that holds something is cut: truncating an empty file makes
    // ext4 write the file back at its close, a flush for every new file.
    if (st.st_size > 0 && ftruncate(fd, 0) != 0) {
        const int error = errno;
        close(fd);
        fail(texts::CannotCreate, error);
    }
    OutputFd = fd;
    Host.FileCreated(OutputFileName);
}

void Division::CloseOutputFile() {
    if (OutputFd >= 0)
        close(OutputFd);
    OutputFd = -1;
}

void Division::WriteOutputFile() {
    if (DryRun)
        return;
    const auto fail = [this](int error) {
        CloseOutputFile();
        throw FileError(std::string(texts::WriteError) + ": " + OutputFileName, OutputFileName,
                        std::strerror(error));
    };
    // The file was created at its program-number line and stays open until
    // its whole buffer is written here in one go.
    const char *data = Memo2.data();
    size_t left = Memo2.size();
    while (left > 0) {
        const ssize_t written = write(OutputFd, data, left);
        if (written < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (written <= 0)
            fail(written < 0 ? errno : ENOSPC);
        data += written;
        left -= static_cast<size_t>(written);
    }
    const int fd = OutputFd;
    OutputFd = -1;
    if (close(fd) != 0)
        fail(errno);
}

void Division::PauseAfterFile() {
    // InvTime is whole seconds; a negative value means no pause, and the
    // milliseconds stay within what a 32-bit count holds.
    const long long ms = static_cast<long long>(Host.InvTime()) * 1000;
    if (ms > 0)
        Host.Pause(static_cast<int>(std::min<long long>(ms, INT_MAX)));
}

RunEnd Division::Run() {
    IsRunning = true;
    StopRequested = false;
    CreatedNames.clear();
    CreatedAgain.clear();
    // However the run ends, no output file stays open and the run is over.
    struct Scope {
        Division &Run;
        ~Scope() {
            Run.CloseOutputFile();
            Run.IsRunning = false;
        }
    } scope{*this};

    Host.SetScreenSaver(false);
    AbortFlag = 'n';
    Host.EnableControl(Control::Button4, true);

    bool anyEmpty = false;
    for (Control field : {Control::LabeledEdit1, Control::LabeledEdit2, Control::LabeledEdit5}) {
        if (Host.FieldText(field).empty()) {
            Host.FocusField(field);
            anyEmpty = true;
        }
    }
    if (anyEmpty) {
        Restore();
        return RunEnd::FieldEmpty;
    }

    // The root "/" becomes the empty folder, which is taken as existing.
    OutputFolder = WithoutTrailingSeparator(Host.FieldText(Control::LabeledEdit2));
    if (!OutputFolder.empty() && !FolderExists(OutputFolder)) {
        MsgResult = Host.Ask(Question::CreateFolder, texts::AskCreateFolder);
        if (MsgResult == Answer::Yes) {
            if (!DryRun)
                CreateFolderPath(OutputFolder);
        } else if (MsgResult == Answer::No) {
            Host.SetFieldText(Control::LabeledEdit2, Host.ChgPath());
            Restore();
            return RunEnd::FolderDeclined;
        }
    }

    RichEdit1.Clear();
    Host.InputViewChanged();
    ClearLog();
    Memo2.clear();
    Host.EnableControl(Control::Button3, false);
    Host.EnableControl(Control::Button5, false);
    Host.SetNameLabel(texts::NameLabel); // followed by the name text, always empty

    LoadInputFile(Host.FieldText(Control::LabeledEdit1));
    AppendLog(Cp932Text(texts::LogHeader));
    if (CheckAbort(AbortFlag))
        return StopRequested ? RunEnd::Stopped : RunEnd::Aborted;
    return Scan();
}

RunEnd Division::Scan() {
    int filesBegun = 0;
    Host.SetProgressMaximum(static_cast<int>(std::min<size_t>(RichEdit1.LineCount(), INT_MAX)));
    Host.SetProgressPosition(0);
    const std::string lead = Host.FieldText(Control::LabeledEdit5);

    const auto reportCreatedAgain = [this] {
        if (!CreatedAgain.empty())
            Host.FilesCreatedAgain(CreatedAgain);
    };

    // No line of the view holds a line-break byte, so the line-end repair
    // has nothing to do; only the leading blanks and controls go.
    LineCursor cursor(RichEdit1);
    std::string_view viewLine;
    for (size_t i = 0; cursor.Next(viewLine); ++i) {
        const std::string_view line = WithoutLeadingControls(viewLine);

        // A program-number line: the lead letter, compared as one byte.
        if (!line.empty() && lead.size() == 1 && line.front() == lead.front()) {
            AppendLog(std::string(line));
            if (filesBegun > 0) {
                if (Host.OptionOn(Option::OP2))
                    AppendToBuffer("%");
                WriteOutputFile();
                PauseAfterFile();
                Memo2.clear();
                Host.Pump();
                OutputFileName.clear();
                if (CheckAbort(AbortFlag)) {
                    reportCreatedAgain();
                    return StopRequested ? RunEnd::Stopped : RunEnd::Aborted;
                }
            }
            OutputFileName = OutputFolder + PathSeparator + ProgramFileName(Memo1.back());
            if (Host.OptionOn(Option::OP4)) {
                char suffix[24];
                std::snprintf(suffix, sizeof suffix, "_%03d", filesBegun + 1);
                OutputFileName += suffix;
            }
            OutputFileName += ExtractFileExt(Host.FieldText(Control::LabeledEdit1));
            CreateOutputFile();
            if (Host.OptionOn(Option::OP1))
                AppendToBuffer("%");
            ++filesBegun;
        }
        // A "%" line is never copied; an empty line only while OP3 is off.
        if (line.empty() ? !Host.OptionOn(Option::OP3) : line.front() != '%')
            AppendToBuffer(line);
        Host.LineDone(static_cast<int>(std::min<size_t>(i + 1, INT_MAX)));
    }

    if (filesBegun > 0) {
        if (Host.OptionOn(Option::OP2))
            AppendToBuffer("%");
        WriteOutputFile();
    }
    Host.SetProgressPosition(0);
    AppendLog(Cp932Text(texts::LogCompleted));
    Host.SetStatusText({});
    Host.Pump();
    reportCreatedAgain();
    if (StopRequested) {
        Restore();
        return RunEnd::Stopped;
    }

    RichEdit1.Clear();
    Host.InputViewChanged();
    Host.SetScreenSaver(true);
    Host.ShowViewer(Memo1);
    Restore();
    return RunEnd::Completed;
}

} // namespace segmora

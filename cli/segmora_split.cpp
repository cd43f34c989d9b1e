// segmora-split: the division run on the command line, for scripts and batch
// work. The same engine as the window; questions are answered by options.
#include "Cp932.h"
#include "Division.h"
#include "FolderPath.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace segmora;

constexpr int ExitCompleted = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130;

const char *const Usage =
    "Usage: segmora-split [OPTIONS] INPUT OUTPUT_FOLDER\n"
    "Split an NC file into one file per program, named after its program-number line.\n"
    "\n"
    "  --lead C          lead letter of program-number lines (default O; ASCII letters\n"
    "                    are taken in upper case)\n"
    "  --percent-head    add a \"%\" line at the head of every file\n"
    "  --percent-tail    add a \"%\" line at the end of every file\n"
    "  --drop-empty      leave empty lines out\n"
    "  --number          add the file's sequence number to its name (_001, _002, ...)\n"
    "  --pause SECONDS   pause after every written file but the last\n"
    "  --force-text      read an input that is not text line by line instead of failing\n"
    "  --create-folder   create a missing output folder instead of failing\n"
    "  --list            also write the log as List.log into the output folder\n"
    "  --dry-run         scan and show the log and the file names, write nothing\n"
    "  --quiet           do not print the log\n"
    "  --help            show this text\n"
    "\n"
    "Exit status: 0 completed, 1 the run failed, 2 bad usage, 130 interrupted.\n";

struct Options {
    std::string Lead = "O";
    bool Op[4] = {false, false, false, false};
    int PauseSeconds = 0;
    bool ForceText = false;
    bool CreateFolder = false;
    bool List = false;
    bool DryRun = false;
    bool Quiet = false;
    std::string Input;
    std::string OutputFolder;
};

volatile std::sig_atomic_t Interrupts = 0;
mode_t ProcessUmask = 022; // read once at start

extern "C" void OnInterrupt(int) {
    // The first Ctrl-C asks the run to stop at its next abort check; a
    // second one ends the program at once.
    if (Interrupts > 0)
        _exit(ExitInterrupted);
    Interrupts = 1;
}

void Error(const std::string &message) {
    std::fprintf(stderr, "segmora-split: %s\n", message.c_str());
}

std::string Replace(std::string text, const std::string &path) {
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

// The number of UTF-8 characters in text.
size_t CharacterCount(const std::string &text) {
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

int UsageError(const std::string &message) {
    Error(message);
    std::fputs(Usage, stderr);
    return ExitUsage;
}

// Parses the arguments; returns -1 to go on, or the exit status.
int ParseArguments(int argc, char **argv, Options &options) {
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string &out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return ExitCompleted;
        } else if (arg == "--lead") {
            std::string lead;
            if (!value(lead) || CharacterCount(lead) != 1)
                return UsageError("--lead takes exactly one character");
            if (lead.size() == 1 && lead[0] >= 'a' && lead[0] <= 'z')
                lead[0] = static_cast<char>(lead[0] - 'a' + 'A');
            options.Lead = lead;
        } else if (arg == "--pause") {
            std::string text;
            if (!value(text))
                return UsageError("--pause takes a whole number of seconds");
            char *end = nullptr;
            errno = 0;
            const long seconds = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno == ERANGE || seconds < INT32_MIN ||
                seconds > INT32_MAX)
                return UsageError("--pause takes a whole number of seconds");
            options.PauseSeconds = static_cast<int>(seconds);
        } else if (arg == "--percent-head") {
            options.Op[0] = true;
        } else if (arg == "--percent-tail") {
            options.Op[1] = true;
        } else if (arg == "--drop-empty") {
            options.Op[2] = true;
        } else if (arg == "--number") {
            options.Op[3] = true;
        } else if (arg == "--force-text") {
            options.ForceText = true;
        } else if (arg == "--create-folder") {
            options.CreateFolder = true;
        } else if (arg == "--list") {
            options.List = true;
        } else if (arg == "--dry-run") {
            options.DryRun = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.Quiet = true;
        } else {
            return UsageError("unknown option " + arg);
        }
    }
    if (positional.size() != 2 || positional[0].empty() || positional[1].empty())
        return UsageError("expected INPUT and OUTPUT_FOLDER");
    options.Input = positional[0];
    options.OutputFolder = positional[1];
    return -1;
}

class TerminalHost : public RunHost {
public:
    explicit TerminalHost(const Options &options)
        : Opts(options), ShowProgress(isatty(STDERR_FILENO) == 1),
          Start(std::chrono::steady_clock::now()) {}

    Division *Run = nullptr; // the run this host serves
    bool NonTextRefused = false;
    bool FolderRefused = false;
    std::vector<std::string> WouldWrite;

    std::string FieldText(Control field) override {
        switch (field) {
        case Control::LabeledEdit1:
            return Opts.Input;
        case Control::LabeledEdit2:
            return Opts.OutputFolder;
        case Control::LabeledEdit5:
            return ToCp932(Opts.Lead);
        default:
            return {};
        }
    }
    void SetFieldText(Control, const std::string &) override {}
    void FocusField(Control) override {}
    void EnableControl(Control, bool) override {}
    bool OptionOn(Option option) override { return Opts.Op[static_cast<int>(option)]; }
    int InvTime() override { return Opts.PauseSeconds; }
    std::string ChgPath() override { return Opts.OutputFolder; }

    Answer Ask(Question question, const std::string &) override {
        if (question == Question::CreateFolder) {
            FolderRefused = !Opts.CreateFolder;
            return Opts.CreateFolder ? Answer::Yes : Answer::No;
        }
        if (!Opts.ForceText) {
            NonTextRefused = true;
            Run->RequestStop();
            return Answer::No;
        }
        return Answer::Yes;
    }
    void Tell(const std::string &text, const std::string &) override {
        ClearProgress();
        std::fprintf(stderr, "segmora-split: %s\n", text.c_str());
    }
    void Pump() override {
        if (Interrupts > 0 && Run->AbortFlag != 'y')
            Run->RequestAbort();
        if (ShowProgress)
            DrawProgress(); // after every written file, which may follow a pause
    }
    void Pause(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void SetScreenSaver(bool) override {}
    void SetProgressMaximum(int maximum) override { Maximum = maximum; }
    void SetProgressPosition(int) override {}
    void SetStatusText(const std::string &) override {}
    void LineDone(int line) override {
        LastLine = line;
        // The clock is read only every few thousand lines: a read per line
        // would cost more than the line.
        if (ShowProgress && (line & 0xFFF) == 0)
            DrawProgress();
        if (Interrupts > 0 && Run->AbortFlag != 'y')
            Run->RequestAbort();
    }
    void SetNameLabel(const std::string &) override {}
    void LogCleared() override {}
    void LogAppended(const std::string &cp932Line) override {
        if (Opts.Quiet)
            return;
        ClearProgress();
        const std::string line = FromCp932(cp932Line);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    void InputViewChanged() override {}
    void FileCreated(const std::string &path) override {
        if (Opts.DryRun)
            WouldWrite.push_back(path);
    }
    void FilesCreatedAgain(const std::vector<std::string> &paths) override {
        ClearProgress();
        std::fputs("segmora-split: 警告: 次のファイルは同じ名前で再び作成され、先のプログラムは"
                   "後のプログラムで置き換えられました (--number で全てのプログラムを残せます):\n",
                   stderr);
        for (const std::string &path : paths)
            std::fprintf(stderr, "  %s\n", path.c_str());
    }
    void ShowViewer(const std::vector<std::string> &) override { ClearProgress(); }

    void ClearProgress() {
        if (ProgressShown) {
            std::fputs("\r\033[K", stderr);
            ProgressShown = false;
        }
    }

private:
    // The line reached, on one line of standard error, redrawn at most ten
    // times a second and only once the run has taken about a second.
    void DrawProgress() {
        const auto now = std::chrono::steady_clock::now();
        if (now - Start < std::chrono::seconds(1) ||
            now - LastDrawn < std::chrono::milliseconds(100))
            return;
        LastDrawn = now;
        std::fflush(stdout);
        std::fprintf(stderr, "\r%d / %d 行", LastLine, Maximum);
        std::fflush(stderr);
        ProgressShown = true;
    }

    const Options &Opts;
    bool ShowProgress;
    bool ProgressShown = false;
    int Maximum = 0;
    int LastLine = 0;
    std::chrono::steady_clock::time_point Start;
    std::chrono::steady_clock::time_point LastDrawn;
};

// Writes the log as List.log: CP932, CR LF after every line, through a
// temporary file renamed into place so an old List.log is never cut short.
bool WriteListLog(const std::string &folder, const std::vector<std::string> &log,
                  std::string &error) {
    const std::string path = folder + PathSeparator + "List.log";
    const std::string temporary = folder + PathSeparator + ".List.log.XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    bool ok = fd >= 0;
    int savedErrno = ok ? 0 : errno;
    if (ok) {
        std::string text;
        for (const std::string &line : log)
            text += line + "\r\n";
        size_t done = 0;
        while (ok && done < text.size()) {
            const ssize_t n = write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = false;
                savedErrno = n < 0 ? errno : ENOSPC;
            } else {
                done += static_cast<size_t>(n);
            }
        }
        // mkstemp makes the file private; List.log gets the usual mode.
        if (ok && fchmod(fd, 0666 & ~ProcessUmask) != 0)
            savedErrno = errno, ok = false;
        if (close(fd) != 0 && ok)
            savedErrno = errno, ok = false;
        if (ok && std::rename(name.data(), path.c_str()) != 0)
            savedErrno = errno, ok = false;
        if (!ok)
            unlink(name.data());
    }
    if (!ok)
        error =
            Replace("ファイル %s を作成できません", path) + " (" + std::strerror(savedErrno) + ")";
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    if (const int status = ParseArguments(argc, argv, options); status >= 0)
        return status;

    ProcessUmask = umask(0);
    umask(ProcessUmask);

    // The input must be a regular file that can be read; anything else is
    // refused here with its reason (a FIFO would otherwise block the open).
    struct stat st {};
    int inputError = 0;
    if (stat(options.Input.c_str(), &st) != 0)
        inputError = errno;
    else if (S_ISDIR(st.st_mode))
        inputError = EISDIR;
    else if (!S_ISREG(st.st_mode))
        inputError = EINVAL;
    else if (access(options.Input.c_str(), R_OK) != 0)
        inputError = errno;
    if (inputError != 0) {
        Error(Replace("ファイル %s は開けません", options.Input) + " (" +
              (inputError == EINVAL ? std::string("not a regular file")
                                    : std::string(std::strerror(inputError))) +
              ")");
        return ExitFailed;
    }

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    TerminalHost host(options);
    Division division(host);
    host.Run = &division;
    division.DryRun = options.DryRun;

    RunEnd end;
    try {
        end = division.Run();
    } catch (const FileError &error) {
        host.ClearProgress();
        std::fflush(stdout);
        Error(std::string(error.what()) + (error.Reason.empty() ? "" : " (" + error.Reason + ")"));
        return ExitFailed;
    }
    host.ClearProgress();
    std::fflush(stdout);

    if (host.NonTextRefused) {
        Error(Replace(
            "ファイル %s はテキストファイルではありません (--force-text で行ごとに読み込めます)",
            options.Input));
        return ExitFailed;
    }
    if (end == RunEnd::FolderDeclined) {
        Error(Replace("ディレクトリ %s が見つかりません (--create-folder で作成できます)",
                      options.OutputFolder));
        return ExitFailed;
    }
    if (end == RunEnd::Aborted || end == RunEnd::Stopped)
        return ExitInterrupted;

    for (const std::string &path : host.WouldWrite)
        std::printf("%s\n", path.c_str());
    if (options.List && !options.DryRun) {
        std::string error;
        if (!WriteListLog(division.OutputFolder, division.Memo1, error)) {
            Error(error);
            return ExitFailed;
        }
    }
    return ExitCompleted;
}

#pragma once

#include "Host.h"
#include "InputView.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_set>
#include <vector>

namespace segmora {

// A failed file operation. what() is the message a person sees (it names the
// file); Path is the file and Reason the system's own words, when it has any.
class FileError : public std::runtime_error {
public:
    FileError(const std::string &message, std::string path, std::string reason)
        : std::runtime_error(message), Path(std::move(path)), Reason(std::move(reason)) {}
    std::string Path;
    std::string Reason;
};

// How a run ended. A failed file operation ends it with a FileError instead.
enum class RunEnd {
    FieldEmpty,     // a field was empty; the focus is on the last empty one
    FolderDeclined, // the user would not have the missing folder created
    Aborted,        // the Abort request took effect at an abort check
    Stopped,        // RequestStop took effect (a close request)
    Completed,      // every program written, the viewer shown and closed
};

// "0012行目 :ﾃﾞｰﾀ読み込み中": the status text for input line i.
std::string StatusLineText(long long line);

// The file-name part for a program-number line (CP932 bytes, as logged): cut
// before the first "(", a leading ":" becomes "O", then converted to UTF-8.
// So that no name can leave the output folder or name no ordinary file, every
// "/" and NUL becomes "_", and an empty name, "." or ".." becomes "_".
std::string ProgramFileName(std::string_view logEntry);

// The log's entries: every line but the header and the closing line.
std::vector<std::string> LogEntries(const std::vector<std::string> &log);

// The division run and the state it keeps between runs. The window owns one;
// its Start button calls Run, its Abort button RequestAbort.
class Division {
public:
    explicit Division(RunHost &host) : Host(host) {}

    // The whole run: checks, loading, line scan, hand-off. Returns how it
    // ended; throws FileError when an output file cannot be created or
    // written (the files written before stay; the host restores its controls).
    RunEnd Run();

    // Loads the file into RichEdit1, asking whether to read a non-text file
    // line by line.
    void LoadInputFile(const std::string &fileName);

    // Shows the abort notice and ends the run when the flag given is 'y'.
    bool CheckAbort(char flag);

    // The Abort button: the run stops at its next abort check.
    void RequestAbort() { AbortFlag = 'y'; }
    // A close request: like an abort, but silent, and no viewer is shown.
    void RequestStop() { StopRequested = true; }
    bool Running() const { return IsRunning; }

    // Empties the log (the viewer's Back button).
    void ClearLog();

    // When set, the run names and logs every file but creates no folder and
    // writes no file.
    bool DryRun = false;

    std::string OutputFolder;   // the last run's folder, less one trailing "/"
    std::string OutputFileName; // the file of the program being collected
    char AbortFlag = 'n';
    Answer MsgResult = Answer::Other;

    InputView RichEdit1;            // the input view
    std::vector<std::string> Memo1; // the log, CP932 lines
    std::string Memo2;              // the output buffer: its lines, each with CR LF

private:
    void AppendLog(std::string line);
    void Restore();
    void CreateOutputFile();
    void WriteOutputFile();
    void CloseOutputFile();
    void PauseAfterFile();
    void AppendToBuffer(std::string_view line);
    RunEnd Scan();

    RunHost &Host;
    bool StopRequested = false;
    bool IsRunning = false;
    int OutputFd = -1;
    bool InputKnown = false;
    dev_t InputDevice = 0;
    ino_t InputInode = 0;
    std::unordered_set<std::string> CreatedNames;
    std::vector<std::string> CreatedAgain;
};

} // namespace segmora

#pragma once

#include <string>
#include <vector>

namespace segmora {

// The controls of the main window that a division run reads or switches.
enum class Control {
    LabeledEdit1, // input file path (native path bytes)
    LabeledEdit2, // output folder (native path bytes)
    LabeledEdit5, // lead letter (CP932 bytes)
    Button3,      // Start
    Button4,      // Abort
    Button5,      // Exit
};

// The four division options, read afresh at every use.
enum class Option {
    OP1, // a "%" line at the head of every output file
    OP2, // a "%" line at the end of every output file
    OP3, // leave empty lines out
    OP4, // add the file's sequence number to its name
};

// The run's two questions, so that a host without a window can answer each
// by its own rule.
enum class Question {
    CreateFolder, // the output folder does not exist
    ReadNonText,  // the input gave no text the first way
};

enum class Answer { Yes, No, Other };

// Everything a division run needs from its surroundings. The window
// implements it with Qt, the command line with a terminal, tests with a fake.
// All texts meant for a person (questions, messages, status) are UTF-8; log
// lines are CP932 bytes; paths are native (UTF-8) bytes.
//
// The run calls these on its own thread only; nothing here may be called
// from another thread.
class RunHost {
public:
    virtual ~RunHost() = default;

    // Fields.
    virtual std::string FieldText(Control field) = 0;
    virtual void SetFieldText(Control field, const std::string &text) = 0;
    virtual void FocusField(Control field) = 0;
    virtual void EnableControl(Control button, bool enabled) = 0;

    // Settings the run reads at each use.
    virtual bool OptionOn(Option option) = 0;
    virtual int InvTime() = 0; // pause after each written file, seconds
    virtual std::string ChgPath() = 0;

    // Modal boxes. Ask shows the Yes/No warning box (caption "警告"); Tell shows
    // an OK box with the stop icon and returns when it is closed.
    virtual Answer Ask(Question question, const std::string &text) = 0;
    virtual void Tell(const std::string &text, const std::string &caption) = 0;

    // Runs pending user input (Abort, menus, fields) and repaints.
    virtual void Pump() = 0;
    // Blocks for the given milliseconds without pumping.
    virtual void Pause(int milliseconds) = 0;
    // Screen saver allowed (true) or held off (false).
    virtual void SetScreenSaver(bool active) = 0;

    // Progress display: the bar runs from 0 to maximum.
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetStatusText(const std::string &text) = 0;
    // Line i of the input is done: progress position i, the status text
    // StatusLineText(i), then a pump, in that order. A host may coalesce the
    // display and the pump as long as it serves them regularly.
    virtual void LineDone(int line) = 0;

    // The name label above the input view.
    virtual void SetNameLabel(const std::string &text) = 0;

    // Log (Memo1) and input view (RichEdit1) changes, for display.
    virtual void LogCleared() = 0;
    virtual void LogAppended(const std::string &cp932Line) = 0;
    // The input view was loaded or emptied (Division::RichEdit1 holds it).
    // After a load the view shows the top of its text.
    virtual void InputViewChanged() = 0;

    // An output file was created (or, in a dry run, would have been).
    virtual void FileCreated(const std::string &path) { (void)path; }
    // Output files that one run created twice: the earlier program in each was
    // replaced by the later one. Called once per run, before the viewer, only
    // when the list is not empty.
    virtual void FilesCreatedAgain(const std::vector<std::string> &paths) = 0;

    // Hand-off of a completed run: the whole log (CP932 lines, header and
    // closing line included). The host fills the viewer (both pages, the two
    // entry lists, Save enabled, the name label) and shows it modally; this
    // returns when the viewer is closed.
    virtual void ShowViewer(const std::vector<std::string> &log) = 0;
};

} // namespace segmora

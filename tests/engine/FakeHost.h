#pragma once

#include "Division.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace segmora::test {

// A host that records what the run asks of it and answers from a script.
class FakeHost : public RunHost {
public:
    std::map<Control, std::string> Fields;
    std::map<Control, bool> Enabled;
    bool Options[4] = {false, false, false, false};
    int Seconds = 0;
    std::string Chg = "chg";
    std::map<Question, Answer> Answers;
    std::vector<Question> Asked;
    std::vector<std::pair<std::string, std::string>> Told;
    std::vector<Control> Focused;
    std::vector<int> Pauses;
    std::vector<std::string> Log;
    std::vector<std::string> Created;
    std::vector<std::vector<std::string>> CreatedAgain;
    std::vector<std::vector<std::string>> Viewed;
    std::vector<std::string> Status;
    std::vector<bool> ScreenSaver;
    int ProgressMaximum = -1;
    int LastLine = 0;
    // Called after line i is done, to act as a user would during a pump.
    std::function<void(int)> OnLine;
    std::function<void()> OnAsk;

    std::string FieldText(Control field) override { return Fields[field]; }
    void SetFieldText(Control field, const std::string &text) override { Fields[field] = text; }
    void FocusField(Control field) override { Focused.push_back(field); }
    void EnableControl(Control control, bool enabled) override { Enabled[control] = enabled; }
    bool OptionOn(Option option) override { return Options[static_cast<int>(option)]; }
    int InvTime() override { return Seconds; }
    std::string ChgPath() override { return Chg; }
    Answer Ask(Question question, const std::string &) override {
        Asked.push_back(question);
        if (OnAsk)
            OnAsk();
        return Answers.count(question) ? Answers[question] : Answer::No;
    }
    void Tell(const std::string &text, const std::string &caption) override {
        Told.emplace_back(text, caption);
    }
    void Pump() override {}
    void Pause(int ms) override { Pauses.push_back(ms); }
    void SetScreenSaver(bool active) override { ScreenSaver.push_back(active); }
    void SetProgressMaximum(int maximum) override { ProgressMaximum = maximum; }
    void SetProgressPosition(int) override {}
    void SetStatusText(const std::string &text) override { Status.push_back(text); }
    void LineDone(int line) override {
        LastLine = line;
        if (OnLine)
            OnLine(line);
    }
    void SetNameLabel(const std::string &) override {}
    void LogCleared() override { Log.clear(); }
    void LogAppended(const std::string &line) override { Log.push_back(line); }
    void InputViewChanged() override {}
    void FileCreated(const std::string &path) override { Created.push_back(path); }
    void FilesCreatedAgain(const std::vector<std::string> &paths) override {
        CreatedAgain.push_back(paths);
    }
    void ShowViewer(const std::vector<std::string> &log) override { Viewed.push_back(log); }
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "segmora-XXXXXX").string();
        Path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(Path); }
    std::filesystem::path Path;
};

inline void WriteBytes(const std::filesystem::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace segmora::test

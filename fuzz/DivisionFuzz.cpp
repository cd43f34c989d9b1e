// Loads arbitrary bytes both ways and runs a dry division on them; every
// file name the run would write must stay inside the output folder.
#include "Division.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class FuzzHost : public segmora::RunHost {
public:
    std::string Input;
    std::string FieldText(segmora::Control field) override {
        switch (field) {
        case segmora::Control::LabeledEdit1:
            return Input;
        case segmora::Control::LabeledEdit2:
            return "/tmp";
        default:
            return "O";
        }
    }
    void SetFieldText(segmora::Control, const std::string &) override {}
    void FocusField(segmora::Control) override {}
    void EnableControl(segmora::Control, bool) override {}
    bool OptionOn(segmora::Option option) override { return option != segmora::Option::OP4; }
    int InvTime() override { return 0; }
    std::string ChgPath() override { return {}; }
    segmora::Answer Ask(segmora::Question, const std::string &) override {
        return segmora::Answer::Yes;
    }
    void Tell(const std::string &, const std::string &) override {}
    void Pump() override {}
    void Pause(int) override {}
    void SetScreenSaver(bool) override {}
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    void SetStatusText(const std::string &) override {}
    void LineDone(int) override {}
    void SetNameLabel(const std::string &) override {}
    void LogCleared() override {}
    void LogAppended(const std::string &) override {}
    void InputViewChanged() override {}
    void FileCreated(const std::string &path) override {
        if (path.rfind("/tmp/", 0) != 0 || path.find('/', 5) != std::string::npos ||
            path.size() == 5)
            std::abort();
    }
    void FilesCreatedAgain(const std::vector<std::string> &) override {}
    void ShowViewer(const std::vector<std::string> &) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const std::string path = "/tmp/segmora-fuzz-" + std::to_string(getpid()) + ".nc";
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    FuzzHost host;
    host.Input = path;
    segmora::Division division(host);
    division.DryRun = true;
    division.Run();
    return 0;
}

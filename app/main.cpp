// The program's entry: the display check, the single-instance guard, the
// application object, the main window and the message loop.
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#include "AboutBox.h"
#include "Application.h"
#include "Copentextdialog.h"
#include "DesktopLauncher.h"
#include "HelpLinks.h"
#include "MainForm.h"
#include "PrintForm.h"
#include "Prompt.h"
#include "Settings.h"
#include "SignalCloser.h"
#include "SingleInstance.h"
#include "UiText.h"
#include "Userform.h"
#include "ViewForm.h"

namespace {

bool Set(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

int main(int argc, char **argv) {
    if (!Set("QT_QPA_PLATFORM") && !Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
        std::fputs("segmora: no display found; start it in a desktop session, or divide a file "
                   "on the command line with segmora-split.\n",
                   stderr);
        return 1;
    }

    const std::string executable = segmora::ExecutablePath(argc > 0 ? argv[0] : "segmora");
    // A second copy started from an executable of the same file name ends
    // here, silently; the first one is left alone.
    segmora::SingleInstance guard(segmora::FileNameOf(executable));
    if (guard.Result() == segmora::SingleInstance::State::HeldElsewhere)
        return 0;

    // Made before the guarded part, so that an error escaping the loop can
    // still be shown.
    segmora::Application app(argc, argv);
    // The program speaks Japanese, so Qt's own parts (the file dialog's
    // labels, standard buttons) do too, whatever the session's language.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    try {
        segmora::SignalCloser closer;
        app.setWindowIcon(segmora::ProgramIcon());
        // The viewer, print window and user-types dialog are created after the
        // main window, in that order, as their windows join the program.
        segmora::TMainForm MainForm(segmora::SettingsPath(executable), app.arguments());
        // The settings and help menus' shell commands.
        MainForm.Plugins.DesktopShortcut = [&] {
            segmora::MakeDesktopLauncher(segmora::FromNative(executable));
        };
        MainForm.Plugins.HomePage = [] { segmora::OpenHomePage(); };
        MainForm.Plugins.Mail = [] { segmora::OpenMailAddress(); };
        MainForm.Plugins.VersionBox = [&] {
            segmora::ShowAbout(&MainForm, QString::fromStdString(MainForm.Version));
        };
        // The result viewer and its print buffers; a completed run hands its
        // log over and shows the viewer modally, whose Back button empties the
        // main window's log.
        segmora::ViewFormLinks viewLinks;
        viewLinks.OutputFolder = [&] { return MainForm.DivisionRun().OutputFolder; };
        viewLinks.ClearMainLog = [&] { MainForm.DivisionRun().ClearLog(); };
        segmora::TViewForm ViewForm(MainForm, viewLinks, &MainForm);
        segmora::TPrintForm PrintForm;
        ViewForm.SetPrintForm(PrintForm);
        MainForm.Plugins.ShowViewer = [&](const std::vector<std::string> &log) {
            ViewForm.HandOff(log);
            ViewForm.exec();
        };
        // The user-types dialog edits the main window's user-type fields; the
        // open dialog with text preview chooses the input file.
        segmora::TUser User(MainForm, &MainForm);
        MainForm.Plugins.UserTypes = [&] { User.exec(); };
        MainForm.Plugins.ChooseInputFile =
            [](QWidget *parent,
               const segmora::OpenFileRequest &request) -> std::optional<segmora::OpenFileResult> {
            segmora::COpenTextDialog dialog(parent, request.Filter, request.InitialFolder,
                                            request.FilterIndex, request.Title,
                                            request.DefaultExtension);
            if (dialog.exec() != QDialog::Accepted || dialog.SelectedPath().isEmpty())
                return std::nullopt;
            return segmora::OpenFileResult{dialog.SelectedPath(), dialog.SelectedFilterIndex()};
        };
        QObject::connect(&closer, &segmora::SignalCloser::CloseRequested, &MainForm,
                         &QWidget::close);
        MainForm.show();
        app.exec();
    } catch (const std::exception &error) {
        segmora::Prompt::StandardError(nullptr, QString::fromUtf8(error.what()));
    } catch (...) {
        segmora::Prompt::StandardError(nullptr, QString());
    }
    return 0;
}

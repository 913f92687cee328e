#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/audio_choice.h"
#include "app/command_line.h"
#include "app/command_verbs.h"
#include "app/data_root_lock.h"
#include "app/demo_start.h"
#include "app/demo_station.h"
#include "app/main_window.h"
#include "app/signal_watcher.h"
#include "app/startup.h"
#include "common/paths.h"
#include "platform/qt_clock.h"
#include "platform/sndfile_sound_files.h"
#include "viewers/error_window.h"

namespace {

void reportStartupFailure(const std::string& message) {
    std::fprintf(stderr, "dorvexia: %s\n", message.c_str());
    // A message box needs someone to close it; without a screen the line above is all.
    if (QGuiApplication::platformName() != "offscreen" &&
        QGuiApplication::platformName() != "minimal") {
        QMessageBox::critical(nullptr, "Dorvexia", QString::fromStdString(message));
    }
}

std::atomic<bool> verbInterrupted{false};

// A verb of the command line runs before any window or display is needed. SIGINT and SIGTERM
// make it drop the file it works on, leaving nothing half done, and stop.
int runVerb(const std::vector<std::string>& arguments) {
    struct sigaction action {};
    action.sa_handler = [](int) { verbInterrupted.store(true); };
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    dvx::SndfileSoundFiles files;
    return dvx::runCommandVerb(
        arguments, files, {std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1, &verbInterrupted});
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> given(argv, argv + argc);
    if (dvx::commandVerb(given)) {
        return runVerb(given);
    }
    // Nor do the help and the version.
    if (const auto answer = dvx::answerWithoutDisplay(given)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);  // takes Qt's own options out of the arguments
    QApplication::setApplicationName("Dorvexia");
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(DORVEXIA_VERSION_MAJOR)
                                            .arg(DORVEXIA_VERSION_MINOR)
                                            .arg(DORVEXIA_VERSION_PATCH));

    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments()) {
        arguments.push_back(argument.toStdString());
    }
    const dvx::CommandLineResult parsed = dvx::parseCommandLine(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "dorvexia: %s\n\n%s", parsed.error.c_str(),
                     dvx::commandLineHelp().c_str());
        return 2;
    }
    const dvx::CommandLine& options = *parsed.options;

    // A demonstration keeps a station of its own, never the one the data root would be
    // otherwise; its temporary folder goes when this does, after everything else.
    std::optional<dvx::DemoFolder> demoFolder;
    try {
        if (options.demo) {
            demoFolder.emplace(options.dataRoot);
        }
    } catch (const dvx::StartupError& error) {
        reportStartupFailure(error.what());
        return 1;
    }
    // Before anything opens a device or a file: a second run on the same data root would
    // write the same files, so it ends here having changed nothing.
    const std::filesystem::path dataRoot =
        demoFolder ? demoFolder->path() : dvx::chooseDataRoot(options.dataRoot);
    const dvx::DataRootLocking locking = dvx::lockDataRoot(dataRoot);
    if (!locking.lock) {
        reportStartupFailure(locking.refusal);
        return 1;
    }

    dvx::QtClock clock;
    dvx::AudioChoice audio = demoFolder ? dvx::startDemo(options, clock, dataRoot)
                                        : dvx::chooseAudioBackend(options, clock);
    if (!audio.backend) {
        reportStartupFailure(audio.message);
        return 1;
    }

    dvx::MainWindow window(clock, dvx::Paths(dataRoot), *audio.backend, *audio.soundFiles);
    // A timer handler that fails shows why in the error window and the run goes on.
    clock.setFailureReporter(&window.errorWindow());
    std::string failure;
    if (!window.startUp(failure)) {
        reportStartupFailure(failure);
        return 1;
    }
    for (const std::string& message : {locking.warning, audio.message}) {
        if (!message.empty()) {
            window.errorWindow().showError(message);
        }
    }
    window.show();
    window.watchFromAfar(options.metricsAddress);
    window.proposeFirstSettings();
    window.armIfAutoRun();

    dvx::SignalWatcher watcher;
    QObject::connect(&watcher, &dvx::SignalWatcher::terminationRequested, &window,
                     &dvx::MainWindow::closeAtProgramEnd);
    const int status = QApplication::exec();
    clock.setFailureReporter(nullptr);  // the error window goes before the clock
    return status;
}

#include <QApplication>

#include "archive/Archive.h"
#include "base/FileDialogs.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "controls/Icons.h"
#include "controls/MessageBoxSink.h"
#include "controls/QtFileDialogs.h"
#include "shell/DemoNetwork.h"
#include "shell/DesktopStartup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    QApplication::setWindowIcon(voltaris::controls::ProgramIcon());
    voltaris::controls::MessageBoxSink messages;
    voltaris::ScopedMessages messageScope(&messages);
    voltaris::controls::QtFileDialogs dialogs;
    voltaris::ScopedFileDialogs dialogScope(&dialogs);

    voltaris::Archive archive;
    const auto options = voltaris::shell::ParseDesktopArguments(QApplication::arguments().mid(1),
                                                                QApplication::applicationDirPath());
    // Started before the archive so that COM1 already stands for it when the window loads.
    voltaris::shell::DemoNetwork demo;
    QString demoError;
    const bool demoRunning =
        options.demo && demo.Start(QApplication::applicationDirPath(), &demoError);
    std::unique_ptr<voltaris::shell::FMain> main = voltaris::shell::StartDesktop(options, archive);
    if (!main)
        return 1;
    if (demoRunning)
        main->ShowNote(voltaris::FormatResString(2922, demo.Port()));
    else if (options.demo)
        messages.show(voltaris::UserMessages::Icon::Warning, voltaris::ResString(301), demoError);
    return QApplication::exec();
}

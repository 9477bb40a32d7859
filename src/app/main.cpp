#include "MainWindowLogic.h"
#include "ports/QtPrograms.h"
#include "ports/SystemClock.h"
#include "session/Module.h"
#include "session/SingleInstance.h"
#include "startup/ClubUpgrade.h"
#include "storage/ClubStorage.h"
#include "ui/MainWindow.h"
#include "ui/QtClipboard.h"
#include "ui/QtKeySender.h"
#include "ui/QtPrinter.h"
#include "ui/QtPrompts.h"
#include "ui/QtScreenGrabber.h"
#include "ui/WindowAccessibility.h"
#include "ui/WindowServices.h"
#include "ui/companions/StandIns.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

struct Arguments {
    QString clubDirectory;
    QString suiteCommandLine; // "ZQJ" + level + user name
};

Arguments parseArguments(const QApplication &app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Moravel: catering and banquet event scheduling"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("club"),
                      QStringLiteral("The club directory (default: the current directory)."),
                      QStringLiteral("DIR")});
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QStringLiteral("ZQJ, the two-digit access level and the user name, "
                       "as the suite's menu program passes them."));
    parser.process(app);
    Arguments arguments;
    arguments.clubDirectory =
        QDir(parser.isSet(QStringLiteral("club")) ? parser.value(QStringLiteral("club"))
                                                  : QDir::currentPath())
            .absolutePath();
    // A user name with a space arrives as several arguments.
    arguments.suiteCommandLine = parser.positionalArguments().join(QLatin1Char(' '));
    return arguments;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Moravel"));
    installWindowAccessibility();
    const Arguments arguments = parseArguments(app);
    // Looked up before the change into the club directory, which would move
    // a relative MORAVEL_SHARE_DIR.
    const QString shareDirectory = ClubUpgrade::shareDirectory();

    QtPrompts prompts;
    if (!QFileInfo(arguments.clubDirectory).isDir()) {
        prompts.message(
            QStringLiteral("The club directory %1 does not exist.").arg(arguments.clubDirectory),
            QStringLiteral("Brevant"), Icon::Critical);
        return 1;
    }
    QtClipboard clipboard;
    QtPrograms programs(arguments.clubDirectory);
    SystemClock clock;
    QtKeySender keys;
    QtPrinter printer;
    QtScreenGrabber screen;
    auto club = ClubStorage::load(arguments.clubDirectory);
    if (!club) {
        prompts.message(club.error().description, QStringLiteral("Brevant"), Icon::Critical);
        return 1;
    }
    StorageSettings storage = *club;
    storage.readOnly = !QFileInfo(arguments.clubDirectory).isWritable();
    Module module(storage, Ports{prompts, clipboard, programs, clock, keys, printer, screen});
    module.routines.ChangeToProgramDirectory();

    SingleInstance instance(arguments.clubDirectory, SingleInstance::currentAccount());
    MainWindowLogic logic(module);
    logic.shareDirectory = shareDirectory;
    MainWindow window(logic);
    prompts.setParentWindow(&window);
    printer.setParentWindow(&window);
    registerStandIns(programs, module, &window);
    // A club office's smallest screen is 1366x768: the window never outgrows it.
    window.fitToScreen(QSize(1280, 800));
    if (logic.StartMainWindow(arguments.suiteCommandLine, instance) !=
        MainWindowLogic::Outcome::Started)
        return 1;
    window.show();
    return app.exec();
}

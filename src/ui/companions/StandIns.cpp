#include "StandIns.h"

#include "AccountSiftWindow.h"
#include "CompanionWindow.h"
#include "DateSiftWindow.h"
#include "HelpTextWindow.h"
#include "InfoDialog.h"
#include "MailforgeWindow.h"
#include "PictureWindow.h"
#include "StaffSiftWindow.h"
#include "ports/CompanionFiles.h"
#include "ports/QtPrograms.h"
#include "session/Module.h"
#include "storage/Lookups.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <memory>

namespace {

using WindowState = Programs::WindowState;

// One printer for the run, made when first needed: what the printer set-up
// chooses is what the picture viewer prints on.
class SharedPrinter {
public:
    std::shared_ptr<QPrinter> get() {
        if (!m_printer)
            m_printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        return m_printer;
    }

private:
    std::shared_ptr<QPrinter> m_printer;
};

CompanionFiles companionFiles(Module &module) {
    return CompanionFiles(module.databases.settings().clubDirectory, module.session,
                          module.ports.clipboard);
}

int showManual(Module &module, const QStringList &arguments) {
    companionFiles(module).showManual(arguments, [](const QString &path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    });
    return 0;
}

int setUpPrinter(SharedPrinter &printer, QWidget *parent) {
    QPrintDialog dialog(printer.get().get(), parent);
    dialog.setObjectName(QStringLiteral("prenvo"));
    dialog.setWindowTitle(QObject::tr("Printer Setup"));
    dialog.exec();
    return 0;
}

int showPicture(Module &module, SharedPrinter &printer, const QStringList &arguments,
                WindowState state, QWidget *parent) {
    // A path with blanks may arrive split into several arguments.
    const QString argument = arguments.join(QLatin1Char(' '));
    const QString path = companionFiles(module).picturePath(argument);
    QString shown =
        QFileInfo(QString(argument).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    if (shown.isEmpty())
        shown = QObject::tr("Picture");
    showCompanion(new PictureWindow(path, shown, printer.get(), parent), state);
    return 0;
}

} // namespace

void registerStandIns(QtPrograms &programs, Module &module, QWidget *mainWindow) {
    Module *m = &module;
    const QPointer<QWidget> parent(mainWindow);
    auto printer = std::make_shared<SharedPrinter>();

    programs.registerStandIn(
        QStringLiteral("acctsift"), [m, parent](const QStringList &, WindowState state) {
            showCompanion(new AccountSiftWindow(m->databases, m->ports.clipboard, parent), state);
            return 0;
        });
    programs.registerStandIn(
        QStringLiteral("staffsift"), [m, parent](const QStringList &, WindowState state) {
            showCompanion(new StaffSiftWindow(m->databases, m->ports.clipboard, parent), state);
            return 0;
        });
    programs.registerStandIn(QStringLiteral("datesift"), [m, parent](const QStringList &,
                                                                     WindowState state) {
        showCompanion(new DateSiftWindow(m->databases, m->ports.clipboard, m->ports.clock, parent),
                      state);
        return 0;
    });
    programs.registerStandIn(
        QStringLiteral("vrnohelp"),
        [m](const QStringList &arguments, WindowState) { return showManual(*m, arguments); });
    programs.registerStandIn(
        QStringLiteral("vrnedit"), [m, parent](const QStringList &arguments, WindowState state) {
            showCompanion(new HelpTextWindow(companionFiles(*m), arguments, parent), state);
            return 0;
        });
    programs.registerStandIn(QStringLiteral("quelvi32"),
                             [parent](const QStringList &arguments, WindowState) {
                                 InfoDialog dialog(arguments, parent);
                                 dialog.exec();
                                 return 0;
                             });
    programs.registerStandIn(QStringLiteral("prenvo"),
                             [printer, parent](const QStringList &, WindowState) {
                                 return setUpPrinter(*printer, parent);
                             });
    programs.registerStandIn(QStringLiteral("mspaint"),
                             [m, printer, parent](const QStringList &arguments, WindowState state) {
                                 return showPicture(*m, *printer, arguments, state, parent);
                             });
    programs.registerStandIn(
        QStringLiteral("mailforge"), [m, parent](const QStringList &arguments, WindowState state) {
            showCompanion(new MailforgeWindow(m->databases, m->ports.clipboard, arguments, parent),
                          state);
            return 0;
        });
}

#include "storage/SharedFile.h"

#include <QCoreApplication>
#include <QTextStream>

// A workstation in miniature for the shared-file tests: adds one to the
// counter file, as many times as asked, each a read-modify-write of its own.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3)
        return 2;
    const int times = arguments[2].toInt();
    for (int i = 0; i < times; ++i) {
        const bool added = SharedFile::update(arguments[1], [](const QString &text) {
            return QString::number(text.trimmed().toInt() + 1) + QLatin1Char('\n');
        });
        if (!added) {
            QTextStream(stderr) << "update " << i << " failed\n";
            return 1;
        }
    }
    return 0;
}

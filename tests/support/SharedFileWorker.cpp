#include "storage/SharedFile.h"

#include <QCoreApplication>

// shared_file_worker FILE TIMES: adds one to the counter file TIMES times, each a
// read-modify-write of its own.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    for (int i = arguments.size() == 3 ? arguments[2].toInt() : -1; i > 0; --i) {
        if (!SharedFile::update(arguments[1], [](const QString &text) {
                return QString::number(text.trimmed().toInt() + 1) + QLatin1Char('\n');
            }))
            return 1;
    }
    return arguments.size() == 3 ? 0 : 2;
}

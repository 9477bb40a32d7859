#include "ClubFile.h"

#include <QDir>
#include <QFileInfo>

namespace ClubFile {

QString find(const QString &directory, const QString &name) {
    const QStringList parts =
        QDir::fromNativeSeparators(name).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(QLatin1String("..")))
        return QString(); // never outside the directory
    const QString exact = QDir(directory).filePath(parts.join(QLatin1Char('/')));
    if (QFileInfo(exact).isFile())
        return exact;
    QString path = directory;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        const QStringList entries =
            QDir(path).entryList(last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString &entry) {
            return entry.compare(parts[i], Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return QString();
        path = QDir(path).filePath(*match);
    }
    return path;
}

} // namespace ClubFile

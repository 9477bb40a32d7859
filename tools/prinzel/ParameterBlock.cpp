#include "ParameterBlock.h"

#include "session/ClubSettings.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

ReportFailure refused(const QString &why) {
    return {ExitCode::Block, QStringLiteral("The parameter block is refused: %1.").arg(why)};
}

// Names come from the club directory only: no folders, no way out of it.
bool isBareFileName(const QString &name) {
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QLatin1String(".."));
}

std::optional<int> twips(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// Stores one "Name=value" line; the reason when it is refused.
std::optional<QString> take(ParameterBlock &block, const QString &name, const QString &value) {
    static const QRegularExpression dataFile(QStringLiteral("^DataFiles\\(([0-9])\\)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const auto is = [&](const char *key) {
        return name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
    };
    QString *file = nullptr;
    if (is("ReportFileName")) {
        file = &block.reportFileName;
    } else if (const auto match = dataFile.match(name); match.hasMatch()) {
        const int index = match.captured(1).toInt();
        if (index >= ParameterBlock::DataFileCount)
            return QStringLiteral("there is no %1").arg(name);
        file = &block.dataFiles[std::size_t(index)];
    } else if (is("WindowTitle")) {
        block.windowTitle = value;
    } else if (is("SelectionFormula")) {
        block.selectionFormula = value;
    } else if (is("Locale")) {
        block.clubFormats.insert(QString::fromLatin1(ClubSettings::Locale), value.trimmed());
    } else if (is("LongDate")) {
        block.clubFormats.insert(QString::fromLatin1(ClubSettings::LongDateFormat), value);
    } else if (is("ShortDate")) {
        block.clubFormats.insert(QString::fromLatin1(ClubSettings::ShortDateFormat), value);
    } else if (is("MarginTop") || is("MarginLeft")) {
        const auto margin = twips(value);
        if (!margin)
            return QStringLiteral("%1 \"%2\" is not a whole number of twips").arg(name, value);
        (is("MarginTop") ? block.marginTop : block.marginLeft) = *margin;
    } else {
        return QStringLiteral("unknown line \"%1\"").arg(name);
    }
    if (file) {
        if (!isBareFileName(value))
            return QStringLiteral("%1 \"%2\" is not a file name of the club directory")
                .arg(name, value);
        *file = value.trimmed();
    }
    return std::nullopt;
}

} // namespace

Result<ParameterBlock, ReportFailure> ParameterBlock::parse(const QString &text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty() || lines.first().compare(QLatin1String("Crystal~"), Qt::CaseInsensitive))
        return refused(QStringLiteral("its first line is not \"Crystal~\""));

    ParameterBlock block;
    QStringList seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!line.endsWith(QLatin1Char('~')) || equals < 0)
            return refused(QStringLiteral("line %1 is not \"Name=value~\"").arg(i + 1));
        const QString name = line.left(equals).trimmed();
        if (seen.contains(name, Qt::CaseInsensitive))
            return refused(QStringLiteral("%1 is given twice").arg(name));
        seen << name;
        if (const auto why = take(block, name, line.mid(equals + 1).chopped(1)))
            return refused(*why);
    }
    if (block.reportFileName.isEmpty())
        return refused(QStringLiteral("it names no ReportFileName"));
    if (block.dataFiles[0].isEmpty())
        return refused(QStringLiteral("it names no DataFiles(0)"));
    return block;
}

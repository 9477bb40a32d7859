#include "ContractText.h"

#include "storage/ClubFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace ContractText {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F; its five unused
// codes stay as Latin-1 gives them.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool bareName(const QString &fileName) {
    return !fileName.isEmpty() && !fileName.contains(QLatin1Char('/')) &&
           !fileName.contains(QLatin1Char('\\')) && fileName != QLatin1String(".") &&
           fileName != QLatin1String("..") && !fileName.contains(QLatin1Char(':'));
}

} // namespace

QString decode(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

Component readComponent(const QString &clubDirectory, const QString &fileName) {
    Component component;
    if (!bareName(fileName))
        return component;
    const QString path = ClubFile::find(clubDirectory, fileName);
    if (path.isEmpty())
        return component;
    if (QFileInfo(path).size() > MaxComponentBytes) {
        component.outcome = Component::Outcome::TooLarge;
        return component;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return component;
    // Read one byte past the limit: the file may have grown since it was measured.
    const QByteArray bytes = file.read(MaxComponentBytes + 1);
    if (bytes.size() > MaxComponentBytes) {
        component.outcome = Component::Outcome::TooLarge;
        return component;
    }
    // A picture or a program is no contract text.
    if (bytes.isEmpty() || bytes.contains('\0'))
        return component;
    component.outcome = Component::Outcome::Loaded;
    component.text = decode(bytes);
    return component;
}

QString merge(QString text, const QList<Replacement> &replacements) {
    // Never more passes than the text had characters: each pass that
    // changes anything replaces at least one token.
    const qsizetype passes = std::min<qsizetype>(MaxPasses, text.size());
    for (qsizetype pass = 0; pass < passes; ++pass) {
        bool changed = false;
        for (const auto &[token, value] : replacements) {
            if (token.isEmpty() || value == token || text.indexOf(token) < 0)
                continue;
            // Counted only when the text could outgrow the bound.
            if (value.size() > token.size() &&
                text.size() / token.size() * value.size() > MaxMergedLength &&
                text.size() + text.count(token) * (value.size() - token.size()) > MaxMergedLength)
                return text;
            text.replace(token, value);
            changed = true;
        }
        if (!changed)
            break;
    }
    return text;
}

} // namespace ContractText

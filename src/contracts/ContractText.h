#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// The text side of a contract: its component files and the merge of the
// event's and the club's values into their tokens.
namespace ContractText {

// Components are at most this many bytes, as the club's files always were.
constexpr qint64 MaxComponentBytes = 32000;
// A value holding its own token ("<EVENTTITLE> party") grows the text on
// every pass: the passes and the merged text's size are bounded, and what
// is left shows its tokens.
constexpr int MaxPasses = 10;
constexpr qsizetype MaxMergedLength = 2'000'000;

struct Component {
    enum class Outcome { Loaded, TooLarge, Missing };
    Outcome outcome = Outcome::Missing;
    QString text;
};

// A component file of the club directory, named bare ("cbterms.txt") in
// any letter case. A name with a folder in it, a file that cannot be read,
// an empty one and one holding binary data are Missing.
Component readComponent(const QString &clubDirectory, const QString &fileName);

// UTF-8 when the bytes are valid UTF-8, else Windows-1252, the code page
// the club's older files were written in.
QString decode(const QByteArray &bytes);

// A token and what it is replaced with.
using Replacement = std::pair<QString, QString>;

// Replaces every token, in order, pass after pass until a pass changes
// nothing, so a value holding another token is resolved in a later pass.
// Replacement is exact and case-sensitive.
QString merge(QString text, const QList<Replacement> &replacements);

} // namespace ContractText

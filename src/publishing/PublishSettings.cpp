#include "PublishSettings.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QRegularExpression>

namespace {

DbError wrong(const QString &text) {
    return {ErrorNumber::OpenFailed, text};
}

std::optional<bool> yesNo(const QString &value) {
    const QString v = value.toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("true") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("no") || v == QLatin1String("false") || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace

bool PublishSettings::localHost(const QString &host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

Result<PublishSettings> PublishSettings::parse(const QString &text, const QString &fileName) {
    PublishSettings settings;
    QString url;
    int lineNumber = 0;
    for (QString line : text.split(QLatin1Char('\n'))) {
        ++lineNumber;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        const auto refuse = [&](const QString &why) {
            return wrong(QStringLiteral("%1, line %2: %3").arg(fileName).arg(lineNumber).arg(why));
        };
        if (equals <= 0)
            return refuse(QStringLiteral("\"%1\" is not name = value.").arg(line));
        const auto number = [&](int least, int most) -> std::optional<int> {
            bool ok = false;
            const int n = value.toInt(&ok);
            return ok && n >= least && n <= most ? std::optional<int>(n) : std::nullopt;
        };
        if (key == QLatin1String("url")) {
            url = value;
        } else if (key == QLatin1String("user")) {
            settings.user = value;
        } else if (key == QLatin1String("password")) {
            return refuse(QStringLiteral("A password is never kept with the club; use %1 or "
                                         "~/.netrc.")
                              .arg(QLatin1String(PasswordVariable)));
        } else if (key == QLatin1String("daysback") || key == QLatin1String("daysahead")) {
            const auto days = number(0, 3660);
            if (!days)
                return refuse(QStringLiteral("%1 takes a number of days from 0 to 3660, not "
                                             "\"%2\".")
                                  .arg(key, value));
            (key == QLatin1String("daysback") ? settings.daysBack : settings.daysAhead) = *days;
        } else if (key == QLatin1String("timeout")) {
            const auto seconds = number(1, 600);
            if (!seconds)
                return refuse(
                    QStringLiteral("timeout takes seconds from 1 to 600, not \"%1\".").arg(value));
            settings.timeoutSeconds = *seconds;
        } else if (key == QLatin1String("rooms")) {
            static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
            for (const QString &room : value.split(separators, Qt::SkipEmptyParts)) {
                bool ok = false;
                const int n = room.toInt(&ok);
                if (!ok || n < 1)
                    return refuse(QStringLiteral("rooms takes room numbers separated by commas, "
                                                 "not \"%1\".")
                                      .arg(room));
                settings.rooms << n;
            }
        } else if (key == QLatin1String("contacts") || key == QLatin1String("onsave")) {
            const auto flag = yesNo(value);
            if (!flag)
                return refuse(QStringLiteral("%1 takes yes or no, not \"%2\".").arg(key, value));
            (key == QLatin1String("contacts") ? settings.contacts : settings.onSave) = *flag;
        } else {
            return refuse(QStringLiteral("\"%1\" is not a publishing setting (url, user, "
                                         "daysback, daysahead, rooms, contacts, onsave, "
                                         "timeout).")
                              .arg(key));
        }
    }
    if (url.isEmpty())
        return wrong(QStringLiteral("%1 names no url, the calendar collection to publish to.")
                         .arg(fileName));
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        parsed.host().isEmpty())
        return wrong(QStringLiteral("%1: \"%2\" is not an http or https address of a calendar.")
                         .arg(fileName, url));
    if (!parsed.userInfo().isEmpty())
        return wrong(QStringLiteral("%1: the url carries a user or password; give the user as "
                                    "user = and the password in %2 or ~/.netrc.")
                         .arg(fileName, QLatin1String(PasswordVariable)));
    // Basic authentication sends the password as it is: only an encrypted
    // connection may carry it off this machine.
    if (scheme == QLatin1String("http") && !localHost(parsed.host()))
        return wrong(QStringLiteral("%1: %2 would send the password unencrypted; use an https "
                                    "address.")
                         .arg(fileName, url));
    settings.collection = parsed;
    if (!settings.collection.path().endsWith(QLatin1Char('/')))
        settings.collection.setPath(settings.collection.path() + QLatin1Char('/'));
    return settings;
}

QString PublishSettings::netrcPassword(const QString &netrc, const QString &host,
                                       const QString &user) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    // Tokens, not lines: an entry may span lines or share one.
    const QStringList tokens = netrc.split(blanks, Qt::SkipEmptyParts);
    QString fallback;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const bool machine = tokens[i] == QLatin1String("machine") && i + 1 < tokens.size();
        if (!machine && tokens[i] != QLatin1String("default"))
            continue;
        const QString name = machine ? tokens[++i] : QString();
        QString login, password;
        qsizetype j = i + 1;
        for (; j + 1 < tokens.size(); j += 2) {
            const QString &word = tokens[j];
            if (word == QLatin1String("machine") || word == QLatin1String("default"))
                break;
            if (word == QLatin1String("login"))
                login = tokens[j + 1];
            else if (word == QLatin1String("password"))
                password = tokens[j + 1];
        }
        i = j - 1;
        if (!login.isEmpty() && login != user)
            continue;
        if (machine && name.compare(host, Qt::CaseInsensitive) == 0)
            return password;
        if (!machine && fallback.isEmpty())
            fallback = password;
    }
    return fallback;
}

Result<PublishSettings> PublishSettings::load(const QString &clubDirectory, bool insecure) {
    const QString path = QDir(clubDirectory).filePath(QLatin1String(FileName));
    QFile file(path);
    if (!file.exists())
        return wrong(QStringLiteral("The club has no %1 naming its calendar server; see the "
                                    "README's \"Publishing to a calendar server\".")
                         .arg(QDir::toNativeSeparators(path)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return wrong(QStringLiteral("%1: %2").arg(path, file.errorString()));
    auto settings = parse(QString::fromUtf8(file.readAll()), QDir::toNativeSeparators(path));
    if (!settings)
        return settings;
    const QString host = settings->collection.host();
    if (insecure && !localHost(host))
        return wrong(QStringLiteral("Certificates are always checked for a server on another "
                                    "machine (%1); --insecure is only for this one.")
                         .arg(host));
    settings->insecure = insecure;
    if (settings->user.isEmpty())
        return settings;
    settings->password = qEnvironmentVariable(PasswordVariable);
    if (settings->password.isEmpty()) {
        QFile netrc(qEnvironmentVariable("NETRC", QDir::home().filePath(QStringLiteral(".netrc"))));
        if (netrc.open(QIODevice::ReadOnly | QIODevice::Text))
            settings->password =
                netrcPassword(QString::fromUtf8(netrc.readAll()), host, settings->user);
    }
    if (settings->password.isEmpty())
        return wrong(QStringLiteral("No password for %1 at %2: set %3, or add \"machine %2 login "
                                    "%1 password ...\" to ~/.netrc.")
                         .arg(settings->user, host, QLatin1String(PasswordVariable)));
    return settings;
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <random>

// Seeded random inputs for the parsers' robustness tests. The same seed
// gives the same inputs, so a failure is reproduced by its seed and input
// number. The number of inputs a test tries is bounded to keep the test
// command fast; MORAVEL_FUZZ_INPUTS raises it for a longer run by hand:
//
//     MORAVEL_FUZZ_INPUTS=1000000 build/tests/test_utilities --gtest_filter='*Fuzz*'
class FuzzInputs {
public:
    explicit FuzzInputs(unsigned seed)
        : m_engine(seed) {}

    // How many inputs to try: `usual`, or the number MORAVEL_FUZZ_INPUTS gives.
    static int count(int usual) {
        bool number = false;
        const int asked = qEnvironmentVariableIntValue("MORAVEL_FUZZ_INPUTS", &number);
        return number && asked > 0 ? asked : usual;
    }

    // A whole number from 0 to `bound` - 1.
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_engine); }
    bool oneIn(int odds) { return below(odds) == 0; }

    // Up to `maxLength` characters drawn from `alphabet`.
    QString from(const QString &alphabet, int maxLength) {
        QString text;
        const int length = below(maxLength + 1);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(below(int(alphabet.size())));
        return text;
    }

    // Up to `maxLength` bytes of any value.
    QByteArray bytes(int maxLength) {
        QByteArray data;
        const int length = below(maxLength + 1);
        for (int i = 0; i < length; ++i)
            data += char(below(256));
        return data;
    }

    // `seed` with a few edits: characters inserted from `alphabet`, removed,
    // replaced, or a stretch repeated or cut. Valid inputs mutated this way
    // reach deeper into a parser than random text does.
    QString mutate(QString seed, const QString &alphabet, int edits = 4) {
        const int count = 1 + below(edits);
        for (int i = 0; i < count; ++i) {
            const int at = below(int(seed.size()) + 1);
            switch (below(5)) {
            case 0:
                seed.insert(at, alphabet.at(below(int(alphabet.size()))));
                break;
            case 1:
                if (at < seed.size())
                    seed.remove(at, 1);
                break;
            case 2:
                if (at < seed.size())
                    seed[at] = alphabet.at(below(int(alphabet.size())));
                break;
            case 3:
                seed.insert(at, seed.mid(below(int(seed.size()) + 1), 1 + below(8)));
                break;
            default:
                seed.truncate(at);
                break;
            }
        }
        return seed;
    }

    QString pick(const QStringList &choices) { return choices.at(below(int(choices.size()))); }

private:
    std::mt19937 m_engine;
};

#pragma once

#include <QString>
#include <QStringList>
#include <random>

// Seeded random inputs for the parsers' robustness tests, reproduced by seed and input number.
// A longer run: MORAVEL_FUZZ_INPUTS=1000000 build/tests/test_utilities --gtest_filter='*Fuzz*'
class FuzzInputs {
public:
    explicit FuzzInputs(unsigned seed)
        : m_engine(seed) {}

    // `usual`, or the number MORAVEL_FUZZ_INPUTS gives.
    static int count(int usual) {
        bool number = false;
        const int asked = qEnvironmentVariableIntValue("MORAVEL_FUZZ_INPUTS", &number);
        return number && asked > 0 ? asked : usual;
    }

    // A whole number from 0 to `bound` - 1.
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_engine); }
    bool oneIn(int odds) { return below(odds) == 0; }
    QChar any(const QString &alphabet) { return alphabet.at(below(int(alphabet.size()))); }

    // Up to `maxLength` characters drawn from `alphabet`.
    QString from(const QString &alphabet, int maxLength) {
        QString text;
        for (int length = below(maxLength + 1); length > 0; --length)
            text += any(alphabet);
        return text;
    }

    // `seed` with a few edits (characters inserted, removed or replaced, a stretch repeated or
    // cut): valid inputs mutated reach deeper into a parser than random text does.
    QString mutate(QString seed, const QString &alphabet, int edits = 4) {
        for (int count = 1 + below(edits); count > 0; --count) {
            const int at = below(int(seed.size()) + 1), edit = below(5);
            if (edit == 0)
                seed.insert(at, any(alphabet));
            else if (edit == 1 && at < seed.size())
                seed.remove(at, 1);
            else if (edit == 2 && at < seed.size())
                seed[at] = any(alphabet);
            else if (edit == 3)
                seed.insert(at, seed.mid(below(int(seed.size()) + 1), 1 + below(8)));
            else if (edit == 4)
                seed.truncate(at);
        }
        return seed;
    }

    QString pick(const QStringList &choices) { return choices.at(below(int(choices.size()))); }

private:
    std::mt19937 m_engine;
};

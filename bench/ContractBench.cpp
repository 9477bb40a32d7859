#include "BenchSupport.h"
#include "contracts/ContractBuilder.h"
#include "contracts/ContractStore.h"
#include "storage/Transaction.h"

#include <QFile>

namespace {

constexpr int Components = 10;
constexpr int ComponentBytes = 30000;
constexpr int TokensPerComponent = 50;
constexpr int Contracts = 1000;

std::unique_ptr<BenchClub> club;

const ContractBuilder::EventTokens &tokens() {
    static const ContractBuilder::EventTokens all = ContractBuilder::schemaEventTokens();
    return all;
}

QString componentName(int i) {
    return QStringLiteral("cbpart%1.txt").arg(i);
}

// Ten components of 30 KB, fifty tokens each, and a thousand contracts of
// three components; an event whose fields fill the tokens.
BenchClub &bigClub() {
    if (club)
        return *club;
    auto made = std::make_unique<BenchClub>();
    Module &module = *made->module;
    module.session.UserLevel = 99;
    module.session.AccessThresholds = {0, 0, 0, 0};
    for (EventField field : AllEventFields)
        module.event.fields[field] = QStringLiteral("Value %1").arg(columnOf(field));
    const QString dir = module.databases.settings().clubDirectory;
    for (int i = 0; i < Components; ++i) {
        QString text;
        for (int t = 0; text.size() < ComponentBytes - 100; ++t) {
            text += QStringLiteral("The club agrees to serve the guests as set out here. ");
            if (t < TokensPerComponent)
                text += tokens()[t % EventFieldCount] + QLatin1Char(' ');
        }
        QFile file(dir + QLatin1Char('/') + componentName(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            std::abort();
    }
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    {
        Transaction transaction(*evnt.value());
        auto insert =
            evnt.value()->prepare(QStringLiteral("insert into cbuilder (contractnum, contractdesc, "
                                                 "ord, cbfilename) values (?, ?, ?, ?)"));
        for (int number = 1; number <= Contracts; ++number)
            for (int ord = 0; ord < 3; ++ord) {
                insert->addBindValue(number);
                insert->addBindValue(QStringLiteral("Contract %1").arg(number));
                insert->addBindValue(ord);
                insert->addBindValue(componentName(ord));
                if (!evnt.value()->exec(*insert))
                    std::abort();
            }
        if (!transaction.commit())
            std::abort();
    }
    club = std::move(made);
    return *club;
}

// The floor of assembling: the files read and joined, one replace per token.
void BaselineAssembly(benchmark::State &state) {
    Module &module = *bigClub().module;
    const QString dir = module.databases.settings().clubDirectory;
    for (auto _ : state) {
        QString text;
        for (int i = 0; i < Components; ++i) {
            QFile file(dir + QLatin1Char('/') + componentName(i));
            if (!file.open(QIODevice::ReadOnly))
                state.SkipWithError("not read");
            text += QString::fromUtf8(file.readAll());
        }
        for (EventField field : AllEventFields)
            text.replace(tokens()[columnOf(field)], module.event.fields[field]);
        benchmark::DoNotOptimize(text);
    }
}

void AssembleContract(benchmark::State &state) {
    Module &module = *bigClub().module;
    ContractBuilder builder(module, tokens());
    for (int i = 0; i < Components; ++i)
        builder.components << componentName(i);
    for (auto _ : state) {
        builder.moveComponent(ContractBuilder::RefreshView);
        if (builder.viewerText.contains(tokens()[0]))
            state.SkipWithError("not merged");
    }
}

// The floor of the contract list: one grouped query, its rows read.
void BaselineContractList(benchmark::State &state) {
    Module &module = *bigClub().module;
    for (auto _ : state) {
        auto evnt = module.databases.open(QStringLiteral("evnt"));
        auto rows = evnt.value()->exec(QStringLiteral(
            "select contractnum, min(contractdesc) from cbuilder group by contractnum"));
        QStringList entries;
        while (rows->next())
            entries << rows->value(1).toString();
        benchmark::DoNotOptimize(entries);
    }
}

void LoadContractList(benchmark::State &state) {
    Module &module = *bigClub().module;
    for (auto _ : state) {
        auto evnt = module.databases.open(QStringLiteral("evnt"));
        const auto entries = ContractStore::list(*evnt.value());
        if (!entries || entries->size() != Contracts)
            state.SkipWithError("not listed");
    }
}

} // namespace

BENCHMARK(BaselineAssembly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(AssembleContract)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BaselineContractList)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LoadContractList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv) {
    return runWithRatios(argc, argv,
                         {{"AssembleContract", "BaselineAssembly", 3.0},
                          {"LoadContractList", "BaselineContractList", 2.0}},
                         [] { club.reset(); });
}

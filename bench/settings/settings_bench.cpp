// Every option is read from Kolvex.ini when it is needed and every text is
// looked up when it is shown; these measure what one such use costs.
#include "app_settings.h"
#include "language_table.h"
#include "string_tables.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A file as a user's machine has it after some use, with a comment and a
// section of another program.
const char* kTypicalIni = "; Kolvex settings\n"
                          "[UI]\n"
                          "LANGID=GER\n"
                          "MAP=1\n"
                          "MAP_ENABLE=1\n"
                          "GSNR_ENABLE=0\n"
                          "Folder=/media/user/CARD/DCIM\n"
                          "\n"
                          "[WINPOS]\n"
                          "LEFT=120\n"
                          "TOP=80\n"
                          "RIGHT=1400\n"
                          "BOTTOM=900\n"
                          "\n"
                          "[Other]\n"
                          "Key=Value\n";

struct IniFixture {
    QTemporaryDir dir;
    QString path = dir.filePath("Kolvex.ini");
    IniFixture() {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(kTypicalIni);
    }
};

void BM_ReadWindowRect(benchmark::State& state) {
    IniFixture fx;
    CAppSettings settings(fx.path);
    QRect rect;
    for (auto _ : state) {
        settings.ReadWindowRect(rect, QRect(0, 0, 1920, 1080)); // four keys
        benchmark::DoNotOptimize(rect);
    }
}
BENCHMARK(BM_ReadWindowRect);

void BM_WriteInt(benchmark::State& state) {
    IniFixture fx;
    CAppSettings settings(fx.path);
    int value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.WriteInt("UI", "MAP_ENABLE", (value++) & 1));
}
BENCHMARK(BM_WriteInt);

void BM_TextLookup(benchmark::State& state) {
    const CStringTables& tables = CStringTables::Builtin();
    unsigned id = 101;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tables.Lookup(7, id));
        id = id == 141 ? 101 : id + 1;
    }
}
BENCHMARK(BM_TextLookup);

void BM_ReadAllStringTables(benchmark::State& state) {
    CStringTables::Builtin(); // registers the resources
    for (auto _ : state) {
        CStringTables tables(CStringTables::BuiltinFolder());
        benchmark::DoNotOptimize(tables.Table(15).size());
    }
}
BENCHMARK(BM_ReadAllStringTables);

} // namespace

BENCHMARK_MAIN();

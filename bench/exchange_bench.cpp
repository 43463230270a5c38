// Importing and exporting the exchange file of a school of 255 class sections
// and 255 teachers (235 single teachers and 20 pairs) into a real entry file.
#include <QTemporaryDir>

#include "data/database/database.h"
#include "data/exchange/exchange.h"
#include "data/shell/startup.h"
#include "qt_benchmark_main.h"

namespace {

using namespace taktirio::data;

SchoolDocument LargeSchool() {
    SchoolDocument d;
    d.name = QStringLiteral("School");
    d.responsible = QStringLiteral("Responsible");
    for (int c = 1; c <= 255; ++c) {
        d.classes.append(QStringLiteral("Τμήμα %1").arg(c));
    }
    for (int t = 1; t <= 235; ++t) {
        d.teachers.append(QStringLiteral("Διδάσκων %1").arg(t));
    }
    for (int p = 0; p < 20; ++p) {
        d.pairs.append({d.teachers[2 * p], d.teachers[2 * p + 1]});
    }
    for (int c = 0; c < 255; ++c) {
        for (int k = 0; k < 7; ++k) {  // 7 lessons of 5 hours: 35 a week
            const QString teacher = k == 6 && c < 20 ? d.pairs[c].first + u'+' + d.pairs[c].second
                                                     : d.teachers[(c * 7 + k) % 235];
            d.allocation.append({d.classes[c], teacher, 3, 1});
        }
        d.pinned.append({d.classes[c], d.teachers[(c * 7) % 235], 1 + c % 5, 1 + c % 7});
    }
    for (int t = 0; t < 235; t += 5) {
        d.absent_days.append({d.teachers[t], 1 + t % 5});
        d.free_hours.append({d.teachers[t + 1], 1 + t % 5, 1 + t % 7});
    }
    for (int c = 0; c + 1 < 255; c += 10) {
        d.joint.append({d.teachers[(c * 7) % 235], d.classes[c], d.classes[c + 1]});
        d.split.append(
            {d.classes[c], d.teachers[(c * 7 + 1) % 235], d.teachers[(c * 7 + 2) % 235]});
    }
    for (int t = 100; t < 200; t += 10) {
        d.apart.append({d.teachers[t], d.teachers[t + 1]});
    }
    return d;
}

struct Fixture {
    QTemporaryDir dir;
    Database db = Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite")));
    Session session;
    Fixture() {
        RegisterSchool(db.connection(), QStringLiteral("School"), QStringLiteral("Responsible"));
        session = {db.connection(), Login(db.connection())};
    }
};

void BM_ImportLargeSchool(benchmark::State& state) {
    Fixture f;
    const SchoolDocument document = LargeSchool();
    for (auto _ : state) {
        ImportSchool(f.session, document);
    }
    state.counters["allocation_rows"] = static_cast<double>(document.allocation.size());
}
BENCHMARK(BM_ImportLargeSchool)->Unit(benchmark::kMillisecond);

void BM_ExportLargeSchool(benchmark::State& state) {
    Fixture f;
    const SchoolDocument document = LargeSchool();
    ImportSchool(f.session, document);
    for (auto _ : state) {
        const QByteArray json = WriteSchoolDocument(ExportSchool(f.session));
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_ExportLargeSchool)->Unit(benchmark::kMillisecond);

void BM_ParseLargeSchoolFile(benchmark::State& state) {
    const QByteArray json = WriteSchoolDocument(LargeSchool());
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseSchoolDocument(json).allocation.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * json.size());
}
BENCHMARK(BM_ParseLargeSchoolFile)->Unit(benchmark::kMillisecond);

}  // namespace

TAKTIRIO_QT_BENCHMARK_MAIN()

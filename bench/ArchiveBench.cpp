// Archive timings on a fresh archive: N configurations (10,000 unless given as the first
// argument) created the way `voltaris create` does it, timed per block of 1,000 so a cost
// that grows with the archive shows, then listing, loading, updating and deleting one among
// N. Prints the figures; it asserts nothing.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

#include "archive/Archive.h"
#include "model/Configuration.h"
#include "model/ConfigurationJson.h"

using namespace voltaris;

namespace {

const char* const kModels[] = {"KM6.1.x.R2.KX", "KM6.3.x.R2.KX", "KM5.1.x.RS.KX", "KM5.3.x.O2.KX"};

// A configuration of the kind installers keep: output 1 driving two alarms.
QByteArray Document(int i) {
    return QStringLiteral(R"({"CUsoInstr": {"NomeProgramma": "Feeder %1", "InstrModel": "%2",
                                "RapportoTV": %3, "RapportoTA": 100, "System": 4},
        "CDigOutConfig": {"DigOut1": 1, "NumAlarm1": 2},
        "CPulseOutSetup2": {"SelectCounter": 1, "PulseOut": %4},
        "CAlarm1": {"VarControllata": [6, 25], "ScaleSelect": [4, 5],
                    "MinAlarm": [0, -100], "MaxAlarm": [5500, 200], "DelayTime": [5, 10]},
        "CSerialComm": {"NetworkAdd": %5}})")
        .arg(i, 5, 10, QLatin1Char('0'))
        .arg(QLatin1String(kModels[i % 4]))
        .arg(10 + i % 1000)
        .arg(1 + i % 50000)
        .arg(1 + i % 255)
        .toUtf8();
}

struct Stats {
    QList<double> ms;
    void add(double v) { ms.append(v); }
    double at(double quantile) {
        std::sort(ms.begin(), ms.end());
        return ms.at(qMin(ms.size() - 1, qsizetype(quantile * double(ms.size()))));
    }
    double mean() const {
        double sum = 0;
        for (double v : ms)
            sum += v;
        return sum / double(ms.size());
    }
};

double Time(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

double cpuMs(std::clock_t since) {
    return double(std::clock() - since) * 1000.0 / CLOCKS_PER_SEC;
}

void Fail(const QString& what) {
    std::fprintf(stderr, "bench_archive: %s\n", qPrintable(what));
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    if (count < 30)
        Fail(QStringLiteral("give at least 30 configurations"));
    QTemporaryDir dir;
    Archive archive;
    try {
        Archive::provision(dir.path(), {QCoreApplication::applicationDirPath() + u'/' +
                                        Archive::TemplateFileName});
        archive.open(QDir(dir.path()).filePath(Archive::ArchiveFileName));
    } catch (const VoltarisError& e) {
        Fail(e.message());
    }
    std::printf("archive benchmark: %d configurations, archive in %s\n", count,
                qPrintable(dir.path()));

    QList<qint32> ids;
    Stats create;
    QElapsedTimer total;
    total.start();
    // Processor time as well as wall time: the wall time of a create is mostly the synced
    // commit, which a busy disk makes swing; processor time shows what grows with the archive.
    std::clock_t blockCpu = std::clock();
    try {
        for (int i = 0; i < count; ++i) {
            const QByteArray json = Document(i);
            create.add(Time([&] {
                Configuration c;
                const FieldProblems p = ApplyConfigurationJson(json, c, JsonMode::Create);
                if (!p.isEmpty())
                    Fail(p.first().message());
                ids.append(c.create(archive));
            }));
            if ((i + 1) % 1000 == 0 || i + 1 == count) {
                const qsizetype first = (create.ms.size() - 1) / 1000 * 1000;
                double block = 0;
                for (qsizetype k = first; k < create.ms.size(); ++k)
                    block += create.ms.at(k);
                const double n = double(create.ms.size() - first);
                const double cpu = cpuMs(blockCpu);
                std::printf("  creates %5lld..%5d  %6.2f s  (%.2f ms each, processor %.2f ms)\n",
                            qlonglong(first + 1), i + 1, block / 1000.0, block / n, cpu / n);
                blockCpu = std::clock();
                std::fflush(stdout);
            }
        }
        // The mean around the 100th create against the mean of the last 100.
        const auto meanOf = [&](qsizetype from, qsizetype n) {
            double sum = 0;
            for (qsizetype k = from; k < from + n; ++k)
                sum += create.ms.at(k);
            return sum / double(n);
        };
        const double early = meanOf(50, 100);
        const double late = meanOf(count - 100, 100);
        std::printf("create #51..150      mean %.2f ms; last 100 mean %.2f ms; ratio %.2f\n", early,
                    late, late / early);
        std::printf(
            "create and save one  mean %.2f ms  median %.2f ms  p99 %.2f ms  max %.2f ms"
            "  (goal < 20 ms; %d in %.1f s)\n",
            create.mean(), create.at(0.5), create.at(0.99), create.at(1.0), count,
            double(total.elapsed()) / 1000.0);

        Stats list;
        qsizetype rows = 0;
        for (int i = 0; i < 5; ++i)
            list.add(Time([&] { rows = archive.list().size(); }));
        std::printf("list %lld              median %.2f ms  best %.2f ms of 5  (goal < 100 ms)\n",
                    qlonglong(rows), list.at(0.5), list.at(0.0));

        Stats load, update, remove;
        const QByteArray change = R"({"CUsoInstr": {"RapportoTA": 200}})";
        for (int i = 0; i < 20; ++i) {
            const qint32 id = ids.at(i * (count / 20));
            Configuration c;
            load.add(Time([&] { c.load(archive, id); }));
            update.add(Time([&] {
                Configuration u;
                u.load(archive, id);
                const FieldProblems p = ApplyConfigurationJson(change, u, JsonMode::Update);
                if (!p.isEmpty())
                    Fail(p.first().message());
                u.update(archive, id);
            }));
        }
        const std::clock_t removeCpu = std::clock();
        for (int i = 0; i < 20; ++i)
            remove.add(Time([&] { archive.deleteProgram(ids.at(i * (count / 20) + 1)); }));
        const double removeCpuMs = cpuMs(removeCpu) / 20;
        std::printf("load one             median %.2f ms  max %.2f ms of 20\n", load.at(0.5),
                    load.at(1.0));
        std::printf("update one           median %.2f ms  max %.2f ms of 20 (load, apply, save)\n",
                    update.at(0.5), update.at(1.0));
        std::printf("delete one among %d  median %.2f ms  max %.2f ms of 20, processor %.2f ms\n",
                    count, remove.at(0.5), remove.at(1.0), removeCpuMs);
    } catch (const VoltarisError& e) {
        Fail(e.message());
    }
    archive.close();
    std::printf(
        "archive file         %.1f MB\n",
        double(QFileInfo(QDir(dir.path()).filePath(Archive::ArchiveFileName)).size()) / 1e6);
    return 0;
}

// Start-up of the windowed program in a solo game: from starting the process until its
// own client is logged in ("You are Connected."), with the in-process server, the word
// file and the login included; and the CPU a running solo game uses while nobody moves.
//
// The program runs offscreen with QUORBIT_STARTUP_PROBE set, which makes it report the
// moment of login on standard error (and end, or stay for the idle measurement).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <unistd.h>

namespace {

// The program measured: the one built beside this benchmark, or QUORBIT_PROGRAM, so that
// two builds can be compared in one run.
QString program() {
    const QString other = qEnvironmentVariable("QUORBIT_PROGRAM");
    return other.isEmpty() ? QString(QUORBIT_BINARY) : other;
}

int freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

QProcessEnvironment environment(const QTemporaryDir& dir, const char* probe) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUORBIT_DATA_DIR", dir.path());
    env.insert("QUORBIT_STARTUP_PROBE", probe);
    if (!env.contains("XDG_RUNTIME_DIR")) env.insert("XDG_RUNTIME_DIR", dir.path());
    return env;
}

// Waits until the program reports its login; the milliseconds it reported, or -1.
long waitForLogin(QProcess& p, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    QByteArray err;
    while (t.elapsed() < timeoutMs) {
        p.waitForReadyRead(20);
        err += p.readAllStandardError();
        const int at = err.indexOf("logged in after ");
        if (at >= 0 && err.indexOf(" ms", at) > at) return err.mid(at + 16).split(' ').first().toLong();
        if (p.state() == QProcess::NotRunning && !p.bytesAvailable()) break;
    }
    return -1;
}

// Seconds of CPU the process's threads have used so far, to the nanosecond (the first
// field of each thread's schedstat); from the clock ticks of /proc/PID/stat where the
// kernel keeps no schedstat.
double cpuSeconds(qint64 pid) {
    const QString task = QString("/proc/%1/task").arg(pid);
    double ns = 0;
    bool any = false;
    for (const QString& tid : QDir(task).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(task + "/" + tid + "/schedstat");
        if (!f.open(QIODevice::ReadOnly)) continue;
        ns += f.readAll().split(' ').first().toDouble();
        any = true;
    }
    if (any) return ns / 1e9;
    QFile f(QString("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void BM_SoloStartToLogin(benchmark::State& state) {
    double reported = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setProcessEnvironment(environment(dir, "1"));
        p.start(program(), {"--port", QString::number(freePort())});
        const long ms = waitForLogin(p, 10000);
        state.PauseTiming();
        if (ms < 0) {
            state.SkipWithError("the program did not log in");
            p.kill();
            p.waitForFinished();
            break;
        }
        reported += static_cast<double>(ms);
        p.waitForFinished(5000);
        state.ResumeTiming();
    }
    state.counters["in_process_ms"] = benchmark::Counter(reported, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SoloStartToLogin)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// A logged-in solo program (arg 0), or one with a game running (arg 1), left alone for
// `seconds`: its CPU use as a share of one core.
void BM_IdleCpu(benchmark::State& state) {
    const bool game = state.range(0) == 1;
    const double seconds = 10.0;
    for (auto _ : state) {
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setProcessEnvironment(environment(dir, game ? "game" : "stay"));
        p.start(program(), {"--port", QString::number(freePort())});
        if (waitForLogin(p, 10000) < 0) {
            state.SkipWithError("the program did not log in");
            break;
        }
        // A started game: give Zubo's opening and the deal time to settle first.
        QThread::msleep(game ? 12000 : 1000);
        const double before = cpuSeconds(p.processId());
        QThread::msleep(static_cast<unsigned long>(seconds * 1000));
        const double used = cpuSeconds(p.processId()) - before;
        state.counters["cpu_percent_of_core"] = 100.0 * used / seconds;
        p.terminate();
        p.waitForFinished(3000);
        if (p.state() != QProcess::NotRunning) p.kill();
        p.waitForFinished(3000);
    }
}
BENCHMARK(BM_IdleCpu)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

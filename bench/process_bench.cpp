// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/main_frame.h"
#include "app/message_box.h"
#include "bench/bench.h"
#include "bench/bench_list.h"

namespace {

constexpr int kBigLines = 2000000;
// Far beyond any open the program should need; only a hung child runs into it.
constexpr int kChildTimeoutMs = 10 * 60 * 1000;

struct ChildOpen {
  bool ok = false;
  double wallMs = 0;  // from starting the child to its exit
  double openMs = 0;  // OpenFile up to the list on screen, as the child timed it
  double rssMb = 0;   // the child's resident set right after
};

// One whole run of the program's open in a process of its own, so that nothing the
// benchmark did before (the other lists, their windows, freed but kept memory) shows up in
// the figures.
ChildOpen OpenInChild(const QString& path) {
  ChildOpen result;
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QElapsedTimer timer;
  timer.start();
  child.start(QCoreApplication::applicationFilePath(), {kChildOpenArgument, path});
  const bool finished = child.waitForFinished(kChildTimeoutMs);
  result.wallMs = timer.nsecsElapsed() / 1e6;
  if (!finished) {
    child.kill();
    child.waitForFinished();
    std::fprintf(stderr, "quilvar-bench: opening %s took too long\n", qPrintable(path));
    return result;
  }
  const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
  if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 || fields.size() != 2) {
    std::fprintf(stderr, "quilvar-bench: the child that opens %s failed\n", qPrintable(path));
    return result;
  }
  bool msOk = false, rssOk = false;
  result.openMs = fields[0].toDouble(&msOk);
  result.rssMb = fields[1].toDouble(&rssOk);
  result.ok = msOk && rssOk;
  return result;
}

}  // namespace

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kilobytes = 0;
      status >> kilobytes;
      return kilobytes / 1024;
    }
  }
  return -1;
}

// The child keeps its settings where the parent put them: XDG_CONFIG_HOME is inherited.
int RunChildOpen(int argc, char** argv) {
  // Read before QApplication takes the arguments it knows out of argv.
  const QString path = QFile::decodeName(argv[2]);
  QApplication app(argc, argv);
  SetMessageBoxFunction([](QWidget*, const QString&, const QString& text, QMessageBox::Icon,
                           QMessageBox::StandardButtons) {
    std::fprintf(stderr, "quilvar-bench: %s\n", qPrintable(text));
    return QMessageBox::No;
  });
  CMainFrame frame;
  frame.resize(1100, 700);
  frame.show();
  QApplication::processEvents();
  bool opened = false;
  const double ms = Milliseconds([&] {
    opened = frame.OpenFile(path);
    QApplication::processEvents();  // shown, not only loaded
  });
  if (!opened) {
    std::fprintf(stderr, "quilvar-bench: %s did not open\n", qPrintable(path));
    std::_Exit(1);
  }
  std::printf("%.3f %.3f\n", ms, ResidentMegabytes());
  std::fflush(stdout);
  // The list is on screen: that is where opening ends. Taking the window down again would
  // only add the time of freeing every row to the process figure.
  std::_Exit(0);
}

void RunProcessBenchmarks(const BenchOptions& options) {
  QTemporaryDir dir;
  const QString big = dir.filePath("big2m.CSV");
  const QString list = dir.filePath("big.CSV");
  WriteList(big, kBigLines);
  WriteList(list);

  std::vector<double> open, rss;
  for (int i = 0; i < options.bigListRepetitions; ++i) {
    const ChildOpen run = OpenInChild(big);
    open.push_back(run.ok ? run.openMs : -1);
    rss.push_back(run.ok ? run.rssMb : -1);
  }
  Report("open_2m_ms", Median(open), "ms");
  Report("open_2m_rss_mb", Median(rss), "MB");

  std::vector<double> process;
  for (int i = 0; i < options.repetitions; ++i) {
    const ChildOpen run = OpenInChild(list);
    process.push_back(run.ok ? run.wallMs : -1);
  }
  Report("process_open_100k_ms", Median(process), "ms");
}

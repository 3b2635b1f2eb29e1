// SPDX-License-Identifier: GPL-3.0-or-later
#include <time.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "bench/bench.h"
#include "link/link_control.h"
#include "link/receiver_models.h"
#include "sim/net_radio.h"
#include "sim/pty_radio.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kComPort = 7;
constexpr int kLatencySamples = 200;

class QuietHost : public LinkHost {
 public:
  void SetPaneText(StatusPane, const QString&) override {}
  void ShowMessageBox(const QString&, const QString& text, BoxIcon) override {
    std::fprintf(stderr, "quilvar-bench: %s\n", qPrintable(text));
  }
  void ShowMessageDialog(const QString&) override {}
  void SetWaitCursor(bool) override {}
  PortMap MappedPorts() override { return ports; }

  PortMap ports;
};

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// An IC-R75 on a pseudo-terminal, connected through COM7.
struct ConnectedRadio {
  ConnectedRadio() : radio(Options()), link(host) {
    if (!radio.Start()) return;
    host.ports[kComPort] = radio.slavePath();
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName("IC-R75");
    settings.address = 0x5A;
    settings.comPort = kComPort;
    link.SetSettings(settings);
    link.ToggleConnect();
  }
  static SimRadioOptions Options() {
    SimRadioOptions options;
    options.modelIndex = ModelIndexByName("IC-R75");
    return options;
  }
  bool ok() const { return link.linkConnected; }

  PtyRadio radio;
  QuietHost host;
  LinkControl link;
};

// The process's CPU time over the wall time that wait takes, in percent.
template <class Wait>
double CpuPercentWhile(Wait wait) {
  QCoreApplication::processEvents();
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = Clock::now();
  wait();
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  return 100.0 * cpu / wall;
}

// What a connected link with nothing to do costs, the simulated radio included.
double IdleCpuPercent(double seconds) {
  ConnectedRadio connected;
  if (!connected.ok()) return -1;
  return CpuPercentWhile(
      [seconds] { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); });
}

// From the last byte of the radio's answer on the line to the transaction's return.
double ReplyLatencyMicroseconds() {
  ConnectedRadio connected;
  if (!connected.ok()) return -1;
  std::vector<double> samples;
  for (int i = 0; i < kLatencySamples; ++i) {
    connected.link.ExpectReply();
    if (connected.link.ReadFrequency() != TransactionResult::kAnswered) continue;
    const auto returned = Clock::now();
    samples.push_back(
        std::chrono::duration<double, std::micro>(returned - connected.radio.lastAnswerWritten())
            .count());
    QCoreApplication::processEvents();
  }
  return Median(samples);
}

// The simulated network radio on loopback, connected.
struct ConnectedNetRadio {
  ConnectedNetRadio() : link(host) {
    if (!radio.Start()) return;
    LinkSettings settings;
    settings.modelIndex = ModelIndexByName("rigctl");
    settings.netHost = "127.0.0.1:" + std::to_string(radio.port());
    link.SetSettings(settings);
    link.ToggleConnect();
  }
  bool ok() const { return link.linkConnected; }

  NetRadio radio;
  QuietHost host;
  LinkControl link;
};

// Connected and polled every 750 ms, the server's thread included.
double NetIdleCpuPercent(double seconds) {
  ConnectedNetRadio connected;
  if (!connected.ok()) return -1;
  // The poll runs on the event loop, so the wait runs one.
  return CpuPercentWhile([seconds] {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::duration<double>(seconds)),
                       &loop, &QEventLoop::quit);
    loop.exec();
  });
}

// A whole set-frequency transaction: command out, result back, the call returned.
double NetTransactionMicroseconds() {
  ConnectedNetRadio connected;
  if (!connected.ok()) return -1;
  std::vector<double> samples;
  for (int i = 0; i < kLatencySamples; ++i) {
    const auto start = Clock::now();
    const TransactionResult result =
        connected.link.WriteFrequency(7000000 + 1000 * static_cast<uint64_t>(i));
    const auto end = Clock::now();
    if (result == TransactionResult::kAcknowledged)
      samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    QCoreApplication::processEvents();
  }
  return Median(samples);
}

}  // namespace

void RunLinkBenchmarks(const BenchOptions& options) {
  std::vector<double> idle, latency;
  for (int i = 0; i < options.repetitions; ++i) {
    idle.push_back(IdleCpuPercent(options.idleSeconds));
    latency.push_back(ReplyLatencyMicroseconds());
  }
  Report("link_idle_cpu_percent", Median(idle), "%");
  Report("link_reply_latency_us", Median(latency), "us");

  std::vector<double> netIdle, netTransaction;
  for (int i = 0; i < options.repetitions; ++i) {
    netIdle.push_back(NetIdleCpuPercent(options.idleSeconds));
    netTransaction.push_back(NetTransactionMicroseconds());
  }
  Report("net_transaction_us", Median(netTransaction), "us");
  Report("net_idle_cpu_percent", Median(netIdle), "%");
}

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "bench.h"
#include "cicom_view.h"
#include "main_frame.h"
#include "message_box.h"

namespace {

constexpr int kLines = 100000;

const char* const kStations[] = {"BBC World Service",
                                 "Radio Romania International",
                                 "Voice of Turkey",
                                 "WRMI",
                                 "Radio Habana Cuba",
                                 "KBS World Radio",
                                 "Radio Marti",
                                 "Voice of Vietnam",
                                 "RAE Argentina al Mundo",
                                 "Radio Exterior de Espana",
                                 "Channel 292",
                                 "CHU Canada",
                                 "WWV time signal",
                                 "Volmet Shannon",
                                 "US Air Force HFGCS",
                                 "Radio Brasil Central"};
const char* const kModes[] = {"AM", "USB", "LSB", "CW", "FM"};
const char* const kLanguages[] = {"English", "Spanish", "French", "Arabic", "Chinese", "German"};
const char* const kCountries[] = {"G", "USA", "ROU", "TUR", "CUB", "KOR", "E", "D", "CAN"};
const char* const kSites[] = {"Woofferton", "Okeechobee", "Tiganesti", "Emirler",   "Bauta",
                              "Kimjae",     "Noblejas",   "Rohrbach",  "Greenville"};

template <size_t N>
const char* Pick(const char* const (&names)[N], std::mt19937& random) {
  return names[random() % N];
}

// A realistic list: shortwave frequencies, names, modes, daily windows and free columns.
void WriteList(const QString& path) {
  std::mt19937 random(7);
  std::string text = "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n";
  char line[256];
  for (int i = 0; i < kLines; ++i) {
    int start = random() % 24, length = 1 + random() % 6;
    std::snprintf(line, sizeof line, "%.3f;%s %d;%s;%02d00-%02d00;%s;%s;%s relay, %d kW\r\n",
                  1000 + (random() % 29000000) / 1000.0, Pick(kStations, random), i % 97,
                  Pick(kModes, random), start, (start + length) % 24, Pick(kLanguages, random),
                  Pick(kCountries, random), Pick(kSites, random), 100 + int(random() % 400));
    text += line;
  }
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(text.data(), static_cast<qint64>(text.size()));
}

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

// The floor: the same file read and cut into fields with nothing else done.
double RawSplitMilliseconds(const QString& path) {
  QElapsedTimer timer;
  timer.start();
  std::ifstream file(path.toStdString(), std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t fields = 0;
  std::string_view rest(all);
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view lineText = rest.substr(0, end);
    for (size_t at = 0; (at = lineText.find(';', at)) != std::string_view::npos; ++at) ++fields;
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  volatile size_t keep = fields;
  (void)keep;
  return timer.nsecsElapsed() / 1e6;
}

template <typename F>
double Milliseconds(F&& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e6;
}

}  // namespace

void RunListBenchmarks(const BenchOptions& options) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.CSV");
  const QString copy = dir.filePath("saved.CSV");
  WriteList(path);
  SetMessageBoxFunction([](QWidget*, const QString&, const QString&, QMessageBox::Icon,
                           QMessageBox::StandardButtons) { return QMessageBox::No; });

  CMainFrame frame;
  frame.resize(1100, 700);
  frame.show();
  QApplication::processEvents();
  CEditGrid& grid = frame.view().list().grid();

  std::vector<double> open, rss, save, sort, renumber, raw;
  for (int i = 0; i < options.repetitions; ++i) {
    frame.NewFile();
    QApplication::processEvents();
    open.push_back(Milliseconds([&] {
      frame.OpenFile(path);
      QApplication::processEvents();  // shown, not only loaded
    }));
    rss.push_back(ResidentMegabytes());
    save.push_back(Milliseconds([&] { frame.view().doc().SaveDocument(copy); }));
    sort.push_back(Milliseconds([&] {
      grid.SetRow(1);
      grid.SetCol(1);
      grid.SetRedraw(false);
      grid.Sort();
      grid.SetRedraw(true);
      QApplication::processEvents();
    }));
    renumber.push_back(Milliseconds([&] {
      frame.view().list().RenumberRows();
      QApplication::processEvents();
    }));
    raw.push_back(RawSplitMilliseconds(path));
  }
  Report("open_100k_ms", Median(open), "ms");
  Report("save_100k_ms", Median(save), "ms");
  Report("sort_100k_ms", Median(sort), "ms");
  Report("renumber_100k_ms", Median(renumber), "ms");
  Report("open_100k_rss_mb", Median(rss), "MB");
  Report("raw_split_100k_ms", Median(raw), "ms");
  SetMessageBoxFunction({});
}

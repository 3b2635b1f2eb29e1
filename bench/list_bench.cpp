#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "bench.h"
#include "bench_list.h"
#include "cicom_view.h"
#include "edit_grid.h"
#include "line_editor.h"
#include "list_host.h"
#include "main_frame.h"
#include "message_box.h"

namespace {

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

// Answers every question with Yes and keeps notices instead of showing them, so the line
// commands run to their end without anyone at the keyboard.
class YesHost : public ListHost {
 public:
  void ShowListMessage(const QString& text) override { notices.push_back(text); }
  bool AskYesNo(const QString&) override { return true; }
  bool AnyModeOn() override { return false; }
  void OnRowChanged() override {}
  bool ReceiverIsNone() override { return false; }

  QStringList notices;
};

// A figure that came out of a command that did not do its work would be meaningless.
void Check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "quilvar-bench: %s\n", what);
}

void SelectRows(CEditGrid& grid, int first, int last) {
  grid.SetRow(first);
  grid.SetCol(1);
  grid.SetRowSel(last);
  grid.SetColSel(grid.Cols() - 1);
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
  YesHost host;
  LineEditor editor(frame.view().list(), host, &frame.view());
  // Nowhere in the list, so the search walks every cell.
  editor.m_searchText = "no such station";

  std::vector<double> open, rss, save, sort, renumber, raw, findMiss, insert, remove;
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

    grid.SetRow(1);
    grid.SetCol(1);
    host.notices.clear();
    findMiss.push_back(Milliseconds([&] {
      editor.SearchNext();
      QApplication::processEvents();
    }));
    Check(host.notices == QStringList{kEndOfFile} && grid.Row() == 1, "find did not miss");

    grid.SetRow(1);
    grid.SetCol(1);
    insert.push_back(Milliseconds([&] {
      editor.InsertLine();
      QApplication::processEvents();
    }));
    Check(grid.Rows() == kLines + 2 && grid.Row() == 2, "insert line did not insert");
    // Back to 100,000 lines, outside the measurement.
    SelectRows(grid, 2, 2);
    editor.DeleteLines();

    SelectRows(grid, 25001, 75000);
    remove.push_back(Milliseconds([&] {
      editor.DeleteLines();
      QApplication::processEvents();
    }));
    Check(grid.Rows() == kLines - 50000 + 1 && grid.Row() == 25001, "delete lines did not delete");
  }
  Report("open_100k_ms", Median(open), "ms");
  Report("save_100k_ms", Median(save), "ms");
  Report("sort_100k_ms", Median(sort), "ms");
  Report("renumber_100k_ms", Median(renumber), "ms");
  Report("open_100k_rss_mb", Median(rss), "MB");
  Report("raw_split_100k_ms", Median(raw), "ms");
  Report("find_miss_100k_ms", Median(findMiss), "ms");
  Report("insert_line_100k_ms", Median(insert), "ms");
  Report("delete_50k_ms", Median(remove), "ms");
  SetMessageBoxFunction({});
}

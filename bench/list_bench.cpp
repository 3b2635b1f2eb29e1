// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "bench/bench.h"
#include "bench/bench_list.h"
#include "common/texts.h"
#include "list/edit_grid.h"
#include "list/line_editor.h"
#include "list/list_host.h"

namespace {

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

int CopyError(const char* what, const QByteArray& path) {
  std::fprintf(stderr, "quilvar-bench: cannot %s %s\n", what, path.constData());
  return -1;
}

// The floor for a save: the bytes it wrote, read back whole and written to a new file that
// is synced, closed and renamed over the target. A save that may never leave a half-written
// list behind cannot do less; the rest of its time goes to turning the grid into text.
double SyncedCopyMilliseconds(const QString& from, const QString& to) {
  const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
  const QByteArray temporary = target + ".new";
  QElapsedTimer timer;
  timer.start();
  std::string bytes;
  const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (in < 0) return CopyError("read", source);
  if (::fstat(in, &info) != 0) {
    ::close(in);
    return CopyError("read", source);
  }
  bytes.resize(size_t(info.st_size));
  size_t got = 0;
  for (ssize_t n = 1; got < bytes.size() && n > 0; got += size_t(n)) {
    n = ::read(in, bytes.data() + got, bytes.size() - got);
    if (n < 0) n = 0;
  }
  ::close(in);
  if (got != bytes.size()) return CopyError("read", source);

  const int out = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) return CopyError("create", temporary);
  size_t put = 0;
  for (ssize_t n = 1; put < bytes.size() && n > 0; put += size_t(n)) {
    n = ::write(out, bytes.data() + put, bytes.size() - put);
    if (n < 0) n = 0;
  }
  const bool synced = ::fsync(out) == 0;
  if (::close(out) != 0 || !synced || put != bytes.size()) return CopyError("write", temporary);
  if (::rename(temporary.constData(), target.constData()) != 0) return CopyError("rename", target);
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

void AnswerBoxesNo() {
  SetMessageBoxFunction([](QWidget*, const QString&, const QString&, QMessageBox::Icon,
                           QMessageBox::StandardButtons) { return QMessageBox::No; });
}

void ShowBenchWindow(CMainFrame& frame) {
  frame.resize(1100, 700);
  frame.show();
  QApplication::processEvents();
}

void RunListBenchmarks(const BenchOptions& options) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.CSV");
  const QString copy = dir.filePath("saved.CSV");
  const QString copied = dir.filePath("copied.CSV");
  WriteList(path);
  // The list just written would otherwise still be on its way to the disk during the first
  // saves, and their syncs would pay for writing it.
  ::sync();
  AnswerBoxesNo();
  CMainFrame frame;
  ShowBenchWindow(frame);
  CEditGrid& grid = frame.view().list().grid();
  YesHost host;
  LineEditor editor(frame.view().list(), host, &frame.view());
  // Nowhere in the list, so the search walks every cell.
  editor.m_searchText = "no such station";

  std::vector<double> open, rss, save, syncedCopy, sort, renumber, raw, findMiss, insert, remove;
  for (int i = 0; i < options.repetitions; ++i) {
    frame.NewFile();
    QApplication::processEvents();
    open.push_back(Milliseconds([&] {
      frame.OpenFile(path);
      QApplication::processEvents();  // shown, not only loaded
    }));
    rss.push_back(ResidentMegabytes());
    save.push_back(Milliseconds([&] { frame.view().doc().SaveDocument(copy); }));
    syncedCopy.push_back(SyncedCopyMilliseconds(copy, copied));
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
    Check(host.notices == QStringList{texts::kEndOfFile} && grid.Row() == 1, "find did not miss");

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
  Report("save_vs_copy_ratio", Median(save) / Median(syncedCopy), "x");
  SetMessageBoxFunction({});
}

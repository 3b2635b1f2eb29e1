// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "bench/bench.h"

// The public schedule of 9,750 broadcasts, imported into a shown window: the user waits for
// the list to appear, so the figure includes drawing it.
void RunImportBenchmarks(const BenchOptions& options) {
  AnswerBoxesNo();
  CMainFrame frame;
  ShowBenchWindow(frame);

  std::vector<double> times;
  for (int i = 0; i < options.repetitions; ++i) {
    // The imported list is modified: No discards it before the next round.
    frame.NewFile();
    QApplication::processEvents();
    bool imported = false;
    times.push_back(Milliseconds([&] {
      imported = frame.ImportFile(QStringLiteral(QUILVAR_SCHEDULE_FILE));
      QApplication::processEvents();  // shown, not only built
    }));
    if (!imported || frame.view().list().grid().Rows() != 9751)
      std::fprintf(stderr, "quilvar-bench: the schedule was not imported\n");
  }
  Report("import_eibi_ms", Median(times), "ms");
  SetMessageBoxFunction({});
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include "app/cicom_app.h"
#include "app/cicom_view.h"
#include "app/guide_files.h"
#include "app/help_menu.h"
#include "app/main_frame.h"
#include "app/settings_store.h"
#include "tests/app/shown_boxes.h"
#include "tests/widget_app.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using Outcome = CommandLine::Outcome;

void WriteText(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(CommandLine, OptionsAndTheListFile) {
  struct Case {
    QStringList arguments;
    Outcome outcome;
    QString file;
    bool demo;
  } cases[] = {
      {{"quilvar"}, Outcome::kStart, "", false},
      {{"quilvar", "/tmp/list.CSV"}, Outcome::kStart, "/tmp/list.CSV", false},
      {{"quilvar", "--demo", "list.CSV"}, Outcome::kStart, "list.CSV", true},
      {{"quilvar", "list.CSV", "--demo"}, Outcome::kStart, "list.CSV", true},
      {{"quilvar", "--", "--odd name.CSV"}, Outcome::kStart, "--odd name.CSV", false},
      // Qt's own options are for the application object, which takes them out.
      {{"quilvar", "-style=fusion", "--demo"}, Outcome::kStart, "", true},
      {{"quilvar", "--version"}, Outcome::kPrint, "", false},
      {{"quilvar", "-v"}, Outcome::kPrint, "", false},
      {{"quilvar", "--help"}, Outcome::kPrint, "", false},
      {{"quilvar", "-h", "--bogus"}, Outcome::kPrint, "", false},
      {{"quilvar", "--bogus"}, Outcome::kFail, "", false},
      {{"quilvar", "--demo=yes"}, Outcome::kFail, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CommandLine line = ParseCommandLine(c.arguments);
    EXPECT_EQ(line.outcome, c.outcome);
    if (c.outcome != Outcome::kStart) continue;
    EXPECT_EQ(line.file, c.file);
    EXPECT_EQ(line.demo, c.demo);
  }
}

TEST(CommandLine, HelpNamesTheOptionsAndTheFile) {
  const QString help = ParseCommandLine({"/usr/bin/quilvar", "--help"}).text;
  EXPECT_TRUE(help.startsWith("Usage: quilvar [options] [file]\n")) << help.toStdString();
  for (const char* option : {"--help", "--version", "--demo"}) {
    EXPECT_TRUE(help.contains(option)) << option;
  }
}

// The program itself, with no display at all: help, version and a wrong option need none.
TEST(CommandLine, ProgramAnswersWithoutADisplay) {
  struct Case {
    QString argument;
    int exitCode;
    QString out, err;
  } cases[] = {
      {"--version", 0, "Quilvar 3.05.1\n", ""},
      {"--bogus", 1, "",
       "quilvar: Unknown option 'bogus'.\nTry 'quilvar --help' for more information.\n"},
  };
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument.toStdString());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QUILVAR_PROGRAM, {c.argument});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.exitCode);
    EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardOutput()), c.out);
    EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardError()), c.err);
  }
}

class FirstWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    ASSERT_TRUE(dir_.isValid());
  }
  QString Path(const char* name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  ShownBoxes shown_;
};

TEST_F(FirstWindowTest, ListNamedOnTheCommandLineIsOpened) {
  WriteText(Path("named.CSV"), "h\r\n6000;cuba;AM;\r\n");
  const CommandLine line = ParseCommandLine({"quilvar", Path("named.CSV")});
  std::unique_ptr<CMainFrame> frame = OpenFirstWindow(line.file, LoadLinkSettings());
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(frame->view().doc().m_listPath, Path("named.CSV"));
  EXPECT_EQ(frame->view().list().grid().TextMatrix(1, 2), "cuba");
  EXPECT_TRUE(shown_.boxes.empty());
}

TEST_F(FirstWindowTest, NoListOrOneThatCannotBeReadGivesANewList) {
  for (const QString& file : {QString(), Path("missing.CSV")}) {
    SCOPED_TRACE(file.toStdString());
    std::unique_ptr<CMainFrame> frame = OpenFirstWindow(file, LoadLinkSettings());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->view().doc().m_listPath.isEmpty());
    EXPECT_GE(frame->view().list().grid().Rows(), 2);
  }
  // Only the list that cannot be read says so; nothing says "Init ERROR".
  ASSERT_EQ(shown_.boxes.size(), 1u);
  EXPECT_NE(shown_.boxes[0].text, "Init ERROR");
}

TEST_F(FirstWindowTest, WindowThatCannotBeMadeShowsInitError) {
  const FrameFactory failures[] = {
      [] { return std::unique_ptr<CMainFrame>(); },
      []() -> std::unique_ptr<CMainFrame> { throw std::bad_alloc(); },
  };
  for (const FrameFactory& fail : failures) {
    shown_.boxes.clear();
    EXPECT_EQ(OpenFirstWindow(QString(), LoadLinkSettings(), fail), nullptr);
    ASSERT_EQ(shown_.boxes.size(), 1u);
    EXPECT_EQ(shown_.boxes[0].title, "Quilvar");
    EXPECT_EQ(shown_.boxes[0].text, "Init ERROR");
    EXPECT_EQ(shown_.boxes[0].icon, QMessageBox::Critical);
  }
}

TEST(Guides, LookedForInTheCurrentFolderThenInstalledThenBesideTheProgram) {
  const QStringList folders = GuideFolders();
  ASSERT_GE(folders.size(), 3);
  EXPECT_EQ(folders[0], QDir::currentPath());
  EXPECT_TRUE(QDir::isAbsolutePath(folders[1]));
  EXPECT_TRUE(folders[1].endsWith("/share/doc/quilvar")) << folders[1].toStdString();
  EXPECT_EQ(folders[2], QCoreApplication::applicationDirPath());
}

TEST(Guides, FirstFolderThatHasTheGuideWins) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QStringList folders = {root.filePath("a"), root.filePath("b"), root.filePath("c")};
  for (const QString& folder : folders) ASSERT_TRUE(QDir().mkpath(folder));
  const auto put = [&](int index) {
    WriteText(QDir(folders[index]).filePath(kReadmeFile), "guide");
  };

  EXPECT_EQ(FindGuide(kReadmeFile, folders), "");
  put(2);
  EXPECT_EQ(FindGuide(kReadmeFile, folders), QDir(folders[2]).filePath(kReadmeFile));
  put(1);
  EXPECT_EQ(FindGuide(kReadmeFile, folders), QDir(folders[1]).filePath(kReadmeFile));
  put(0);
  EXPECT_EQ(FindGuide(kReadmeFile, folders), QDir(folders[0]).filePath(kReadmeFile));
  EXPECT_EQ(FindGuide(kLeggimiFile, folders), "");
  // A folder of that name is not a guide.
  ASSERT_TRUE(QDir().mkpath(QDir(folders[0]).filePath(kLeggimiFile)));
  EXPECT_EQ(FindGuide(kLeggimiFile, folders), "");
}

TEST(Guides, GuideInTheCurrentFolderIsTheOneOpenedAndLinked) {
  WidgetApp();
  QTemporaryDir here;
  ASSERT_TRUE(here.isValid());
  WriteText(here.filePath(kLeggimiFile), "guida");
  WriteText(here.filePath(kReadmeFile), "guide");
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(here.path()));
  const QString leggimi = FindGuide(kLeggimiFile);
  const QString address = ReadmeAddress();
  QDir::setCurrent(before);
  EXPECT_EQ(leggimi, here.filePath(kLeggimiFile));
  EXPECT_EQ(address, QUrl::fromLocalFile(here.filePath(kReadmeFile)).toString());
}

}  // namespace

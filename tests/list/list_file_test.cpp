// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "common/texts.h"
#include "tests/list/failing_save_calls.h"
#include "tests/list/file_bytes.h"
#include "tests/list/print_qt.h"
#include "tests/without_root.h"

namespace {

const QString kDataDir = QStringLiteral(QUILVAR_TEST_DATA);

QString Message(const char* text, const QString& path) { return QString(text).arg(path); }

class ListFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Reads bytes as a list, expecting success.
  ListFileText Read(const QByteArray& bytes) {
    const QString path = Path("in.csv");
    WriteBytes(path, bytes);
    ListFileText text;
    QString error;
    EXPECT_TRUE(ReadListFile(path, &text, &error)) << error.toStdString();
    return text;
  }

  QByteArray Write(const QStringList& lines, ListEncoding* encoding) {
    const QString path = Path("out.csv");
    QString error;
    EXPECT_TRUE(WriteListFile(path, lines, encoding, &error)) << error.toStdString();
    return ReadBytes(path);
  }

  QTemporaryDir dir_;
};

TEST_F(ListFileTest, RealLatin1AndUtf8ListsRoundTripByteForByte) {
  const QByteArray latin1 = ReadBytes(kDataDir + "/eibi-excerpt-latin1.csv");
  ASSERT_TRUE(
      latin1.contains("R\xE1"
                      "dio"));
  const QByteArray utf8 = QString::fromLatin1(latin1).toUtf8();
  for (const auto& [bytes, encoding] :
       {std::pair{latin1, ListEncoding::kLatin1}, std::pair{utf8, ListEncoding::kUtf8}}) {
    ListFileText text = Read(bytes);
    EXPECT_EQ(text.encoding, encoding);
    ASSERT_EQ(text.lines.size(), 11);
    EXPECT_TRUE(text.lines[0].startsWith("kHz:75;Time(UTC):93;"));
    EXPECT_EQ(text.lines[4], QString::fromUtf8("690;0000-2400;;B;Rádio Clube do Pará;P;B;be;1;;"));
    EXPECT_EQ(Write(text.lines, &text.encoding), bytes);
    EXPECT_EQ(text.encoding, encoding);
  }
}

TEST_F(ListFileTest, LineEndsAndEncodingsSurviveARoundTrip) {
  // Every line is written back ending in CR LF; all other bytes must come back unchanged.
  const struct {
    QByteArray bytes;
    QStringList lines;
    ListEncoding encoding;
  } cases[] = {
      {"", {}, ListEncoding::kUtf8},
      {"a;b", {"a;b"}, ListEncoding::kUtf8},
      {"a\n", {"a"}, ListEncoding::kUtf8},
      {"a\r\nb", {"a", "b"}, ListEncoding::kUtf8},
      {"a\nb\n", {"a", "b"}, ListEncoding::kUtf8},
      {"\n", {""}, ListEncoding::kUtf8},
      {"\r\n\r\n", {"", ""}, ListEncoding::kUtf8},
      {"caf\xC3\xA9\r\n", {QString::fromUtf8("café")}, ListEncoding::kUtf8},
      {"caf\xE9\r\n", {QString::fromUtf8("café")}, ListEncoding::kLatin1},
      {"cut \xC3", {QString::fromUtf8("cut Ã")}, ListEncoding::kLatin1},
      {"overlong \xC0\xAF", {QString::fromUtf8("overlong À¯")}, ListEncoding::kLatin1},
      {"surrogate \xED\xA0\x80",
       {QString::fromLatin1("surrogate \xED\xA0\x80")},
       ListEncoding::kLatin1},
      {"\xEF\xBB\xBF"
       "a;b\r\n",
       {"a;b"},
       ListEncoding::kUtf8WithBom},
      {"\xEF\xBB\xBF\xEF\xBB\xBF"
       "a\r\n",
       {QChar(0xFEFF) + QString("a")},
       ListEncoding::kUtf8WithBom},
      {"\xEF\xBB\xBF"
       "caf\xE9\r\n",
       {QString::fromLatin1("\xEF\xBB\xBF"
                            "caf\xE9")},
       ListEncoding::kLatin1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    ListFileText text = Read(c.bytes);
    EXPECT_EQ(text.lines, c.lines);
    EXPECT_EQ(text.encoding, c.encoding);
    QByteArray expected = c.bytes;
    if (!expected.isEmpty() && !expected.endsWith('\n')) expected += '\n';
    expected.replace("\r\n", "\n").replace("\n", "\r\n");
    EXPECT_EQ(Write(text.lines, &text.encoding), expected);
  }
}

TEST_F(ListFileTest, ACrAloneEndsALineAndIsSavedAsCrLf) {
  const struct {
    QByteArray bytes;
    QStringList lines;
  } cases[] = {
      {"F;S\r7100;a\r9500;b\r", {"F;S", "7100;a", "9500;b"}},
      {"F;S\r7100;a", {"F;S", "7100;a"}},
      {"\r", {""}},
      {"\r\r", {"", ""}},
      {"a\r\r\n", {"a", ""}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"caf\xE9\rb", {QString::fromUtf8("café"), "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    ListFileText text = Read(c.bytes);
    EXPECT_EQ(text.lines, c.lines);
    EXPECT_EQ(Write(text.lines, &text.encoding), (c.lines.join("\r\n") + "\r\n").toLatin1());
  }
  // The line length limit holds between CRs as well.
  const QString path = Path("long.csv");
  WriteBytes(path, "header\r" + QByteArray(kMaxListLineBytes + 1, 'a'));
  ListFileText text;
  QString error;
  EXPECT_FALSE(ReadListFile(path, &text, &error));
  EXPECT_EQ(error, Message(texts::kFileLineTooLongText, path));
}

TEST_F(ListFileTest, Latin1ListTurnsUtf8WhenATypedCharacterNeedsIt) {
  ListEncoding encoding = ListEncoding::kLatin1;
  EXPECT_EQ(Write({QString::fromUtf8("Rádio"), QString::fromUtf8("5 €")}, &encoding),
            QByteArray("R\xC3\xA1"
                       "dio\r\n5 \xE2\x82\xAC\r\n"));
  EXPECT_EQ(encoding, ListEncoding::kUtf8);

  encoding = ListEncoding::kLatin1;
  EXPECT_EQ(Write({QString::fromUtf8("Rádio")}, &encoding), QByteArray("R\xE1"
                                                                       "dio\r\n"));
  EXPECT_EQ(encoding, ListEncoding::kLatin1);
}

TEST_F(ListFileTest, RefusesWhatIsNoReadableList) {
  const QString missing = Path("missing.csv");
  const QString folder = Path("folder.csv");
  const QString binary = Path("binary.csv");
  const QString longLine = Path("long.csv");
  const QString huge = Path("huge.csv");
  ASSERT_TRUE(QDir().mkdir(folder));
  WriteBytes(binary, QByteArray("Freq;Station\r\n7100;a\0b\r\n", 24));
  WriteBytes(longLine, "header\r\n" + QByteArray(kMaxListLineBytes + 1, 'a'));
  {
    QFile file(huge);  // sparse: costs no disk and is never read
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxListFileBytes + 1));
  }
  const struct {
    QString path;
    const char* text;
  } cases[] = {
      {missing, texts::kFileNotFoundText},       {Path("nofolder/x.csv"), texts::kFileNotFoundText},
      {folder, texts::kFileIsFolderText},        {binary, texts::kFileBinaryText},
      {longLine, texts::kFileLineTooLongText},   {huge, texts::kFileTooLargeText},
      {"/dev/null", texts::kFileNotRegularText},
  };
  for (const auto& c : cases) {
    ListFileText text;
    QString error;
    EXPECT_FALSE(ReadListFile(c.path, &text, &error)) << c.path.toStdString();
    EXPECT_EQ(error, Message(c.text, c.path));
  }
}

// The process may not grow files beyond a few kilobytes while this object lives, so a save
// fails half-way as on a full disk, even for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(ListFileTest, SaveFailingHalfWayKeepsTheOldFile) {
  const QString path = Path("list.csv");
  const QByteArray old = "Freq (kHz);Station\r\n7100.000;old\r\n";
  WriteBytes(path, old);
  const QStringList lines(100000, QStringLiteral("7100.000;A station;AM;0000-2400;;;"));
  QString error;
  ListEncoding encoding = ListEncoding::kUtf8;
  bool saved = true;
  {
    FileSizeLimit limit(4096);
    saved = WriteListFile(path, lines, &encoding, &error);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(error, Message(texts::kFileWriteErrorText, path));
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"list.csv"});
}

TEST_F(ListFileTest, AFailingStepKeepsTheOldFilesAndLeavesNoTemporaryFile) {
  const QString list = Path("list.CSV");
  const QString widths = Path("list.CSV1");
  const QByteArray oldList = "Freq (kHz);Station\r\n7100.000;old\r\n";
  const QByteArray oldWidths = "100;280;";
  const QStringList lines(40, QStringLiteral("7100.000;A station;AM;0000-2400;;;"));
  const struct {
    FailingSaveCalls::Call call;
    int err;
    int after;
    const char* text;
  } cases[] = {
      {FailingSaveCalls::kCreate, ENOSPC, 0, texts::kFileDiskFullText},
      {FailingSaveCalls::kCreate, EROFS, 0, texts::kFileAccessDeniedText},
      {FailingSaveCalls::kWrite, ENOSPC, 0, texts::kFileDiskFullText},
      {FailingSaveCalls::kWrite, ENOSPC, 5, texts::kFileDiskFullText},
      {FailingSaveCalls::kWrite, EDQUOT, 5, texts::kFileDiskFullText},
      {FailingSaveCalls::kWrite, EIO, 5, texts::kFileWriteErrorText},
      {FailingSaveCalls::kSync, ENOSPC, 0, texts::kFileDiskFullText},
      {FailingSaveCalls::kSync, EIO, 0, texts::kFileWriteErrorText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "call " << c.call << " errno " << c.err);
    WriteBytes(list, oldList);
    WriteBytes(widths, oldWidths);
    FailingSaveCalls calls(c.call, c.err, c.after);
    ScopedSaveCalls installed(calls);
    ListEncoding encoding = ListEncoding::kUtf8;
    QString error;
    EXPECT_FALSE(WriteListFile(list, lines, &encoding, &error));
    EXPECT_EQ(error, Message(c.text, list));
    EXPECT_FALSE(WriteTextSilently(widths, "90;90;90;"));
    EXPECT_EQ(ReadBytes(list), oldList);
    EXPECT_EQ(ReadBytes(widths), oldWidths);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), (QStringList{"list.CSV", "list.CSV1"}));
  }
}

// A 64 KiB file system over a folder, in a mount namespace of this thread's own so nothing
// outside the test sees it. Needs the right to mount.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(const QString& folder) : folder_(QFile::encodeName(folder)) {
    if (::unshare(CLONE_NEWNS) != 0) return;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
    mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

  // Takes every free block.
  void Fill() {
    const int fd = ::open(folder_ + "/filler", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), block.size()) > 0) {
    }
    ::close(fd);
  }

 private:
  QByteArray folder_;
  bool mounted_ = false;
};

TEST_F(ListFileTest, FullDiskKeepsTheOldListAndWidthsFile) {
  const QString disk = Path("disk");
  ASSERT_TRUE(QDir().mkdir(disk));
  SmallTmpfs tmpfs(disk);
  if (!tmpfs.mounted()) GTEST_SKIP() << "no right to mount; the injected failures cover this";
  const QString list = disk + "/list.CSV";
  const QString widths = disk + "/list.CSV1";
  const QByteArray oldList = "Freq (kHz);Station\r\n7100.000;old\r\n";
  WriteBytes(list, oldList);
  WriteBytes(widths, "100;280;");
  tmpfs.Fill();

  // A small list: all of it fits in a write buffer, so only the flush can notice.
  const QStringList lines(40,
                          QStringLiteral("7100.000;A station with a longer name;AM;0000-2400;;;"));
  ListEncoding encoding = ListEncoding::kUtf8;
  QString error;
  EXPECT_FALSE(WriteListFile(list, lines, &encoding, &error));
  EXPECT_EQ(error, Message(texts::kFileDiskFullText, list));
  EXPECT_FALSE(WriteTextSilently(widths, "90;90;90;"));
  EXPECT_EQ(ReadBytes(list), oldList);
  EXPECT_EQ(ReadBytes(widths), "100;280;");
  EXPECT_EQ(QDir(disk).entryList(QDir::Files), (QStringList{"filler", "list.CSV", "list.CSV1"}));
}

TEST_F(ListFileTest, SaveToAFolderOrIntoAMissingFolderIsRefused) {
  const QString folder = Path("folder.csv");
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString inMissingFolder = Path("nofolder/list.csv");
  ListEncoding encoding = ListEncoding::kUtf8;
  QString error;
  EXPECT_FALSE(WriteListFile(folder, {"a"}, &encoding, &error));
  EXPECT_EQ(error, Message(texts::kFileAccessDeniedText, folder));
  EXPECT_FALSE(WriteListFile(inMissingFolder, {"a"}, &encoding, &error));
  EXPECT_EQ(error, Message(texts::kFileNotFoundText, inMissingFolder));
}

void Chmod(const QString& path, mode_t mode) {
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

mode_t Mode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

struct Outcome {
  bool ok = false;
  QString error;
};

// The outcome travels from a child without root's rights as "1" or "0" and the message.
Outcome AsUserWithoutRootsRights(const std::function<Outcome()>& what) {
  const std::optional<std::string> report = WithoutRootsRights([&] {
    const Outcome outcome = what();
    return (outcome.ok ? "1" : "0") + outcome.error.toStdString();
  });
  if (!report.has_value() || report->empty()) {
    ADD_FAILURE() << "the run without root's rights failed";
    return {};
  }
  return {report->front() == '1', QString::fromStdString(report->substr(1))};
}

Outcome Save(const QString& path, const QStringList& lines) {
  Outcome outcome;
  ListEncoding encoding = ListEncoding::kUtf8;
  outcome.ok = WriteListFile(path, lines, &encoding, &outcome.error);
  return outcome;
}

TEST_F(ListFileTest, PermissionsAsAUserWithoutRootsRights) {
  Chmod(dir_.path(), 0755);
  const QString locked = Path("locked");
  ASSERT_TRUE(QDir().mkdir(locked));
  const QString writable = locked + "/list.CSV";
  const QString readOnly = locked + "/kept.CSV";
  const QString secret = locked + "/secret.CSV";
  for (const QString& path : {writable, readOnly, secret}) WriteBytes(path, "old\r\n");
  Chmod(writable, 0666);
  Chmod(readOnly, 0444);
  Chmod(secret, 0200);
  // No new file can be made in the folder, by anyone but root.
  Chmod(locked, 0555);
  struct Unlock {
    QString folder;
    ~Unlock() { ::chmod(QFile::encodeName(folder).constData(), 0755); }
  } unlock{locked};

  const Outcome read = AsUserWithoutRootsRights([&] {
    Outcome outcome;
    ListFileText text;
    outcome.ok = ReadListFile(secret, &text, &outcome.error);
    return outcome;
  });
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.error, Message(texts::kFileAccessDeniedText, secret));

  const struct {
    QString path;
    bool saved;
    const char* text;
    QByteArray after;
  } cases[] = {
      // The file itself may be written, so it is rewritten in place.
      {writable, true, nullptr, "new\r\n"},
      {readOnly, false, texts::kFileAccessDeniedText, "old\r\n"},
      {locked + "/new.CSV", false, texts::kFileAccessDeniedText, "<unreadable>"},
  };
  for (const auto& c : cases) {
    const Outcome saved = AsUserWithoutRootsRights([&] { return Save(c.path, {"new"}); });
    EXPECT_EQ(saved.ok, c.saved) << c.path.toStdString();
    EXPECT_EQ(saved.error, c.text == nullptr ? QString() : Message(c.text, c.path));
    EXPECT_EQ(ReadBytes(c.path), c.after) << c.path.toStdString();
  }
  EXPECT_EQ(Mode(writable), 0666);

  // A failure while writing in place is a failure, not a success.
  const Outcome full = AsUserWithoutRootsRights([&] {
    FailingSaveCalls calls(FailingSaveCalls::kSync, ENOSPC);
    ScopedSaveCalls installed(calls);
    return Save(writable, {"newer"});
  });
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.error, Message(texts::kFileDiskFullText, writable));
  EXPECT_EQ(QDir(locked).entryList(QDir::Files),
            (QStringList{"kept.CSV", "list.CSV", "secret.CSV"}));
}

TEST_F(ListFileTest, InPlaceSaveWhereTheFolderRefusesNewFiles) {
  // The same as above for root, whom no permission stops: the folder's refusal is injected.
  const QString path = Path("list.CSV");
  WriteBytes(path, "old\r\n");
  Chmod(path, 0640);
  {
    FailingSaveCalls calls(FailingSaveCalls::kCreate, EACCES);
    ScopedSaveCalls installed(calls);
    const Outcome saved = Save(path, {"new"});
    EXPECT_TRUE(saved.ok) << saved.error.toStdString();
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    EXPECT_EQ(Mode(path), 0640);
    // A new file has nothing to be written in place of.
    EXPECT_FALSE(Save(Path("new.CSV"), {"new"}).ok);
  }
  const struct {
    FailingSaveCalls::Call call;
    int err;
    const char* text;
  } failures[] = {
      {FailingSaveCalls::kOpenExisting, EACCES, texts::kFileAccessDeniedText},
      {FailingSaveCalls::kWrite, ENOSPC, texts::kFileDiskFullText},
      {FailingSaveCalls::kSync, EIO, texts::kFileWriteErrorText},
  };
  for (const auto& f : failures) {
    // The folder refuses the new file, then the in-place write fails.
    struct : FailingSaveCalls {
      using FailingSaveCalls::FailingSaveCalls;
      int Open(const char* file, int flags, mode_t mode) override {
        if ((flags & O_CREAT) != 0) {
          errno = EACCES;
          return -1;
        }
        return FailingSaveCalls::Open(file, flags, mode);
      }
    } calls(f.call, f.err);
    ScopedSaveCalls installed(calls);
    const Outcome saved = Save(path, {"newer"});
    EXPECT_FALSE(saved.ok) << f.err;
    EXPECT_EQ(saved.error, Message(f.text, path));
  }
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"list.CSV"});
}

TEST_F(ListFileTest, SaveKeepsTheFilePermissions) {
  const QString path = Path("list.csv");
  WriteBytes(path, "old\r\n");
  const auto permissions =
      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
  ASSERT_TRUE(QFile::setPermissions(path, permissions));
  ListEncoding encoding = ListEncoding::kUtf8;
  QString error;
  ASSERT_TRUE(WriteListFile(path, {"new"}, &encoding, &error));
  EXPECT_EQ(ReadBytes(path), "new\r\n");
  EXPECT_EQ(QFile::permissions(path) & 0x7077, permissions);  // without the User bits
}

TEST_F(ListFileTest, WidthsFileFirstLineOnlyAndSilentFailures) {
  const QString path = Path("list.csv1");
  EXPECT_EQ(ReadFirstLine(path), "");
  EXPECT_TRUE(WriteTextSilently(path, "100;280;"));
  EXPECT_EQ(ReadBytes(path), "100;280;");
  WriteBytes(path, "100;280;\r\n90;\r\n");
  EXPECT_EQ(ReadFirstLine(path), "100;280;");
  WriteBytes(path, "100;280;\r90;\r");
  EXPECT_EQ(ReadFirstLine(path), "100;280;");
  WriteBytes(path, "");
  EXPECT_EQ(ReadFirstLine(path), "");
  EXPECT_EQ(ReadFirstLine(dir_.path()), "");
  EXPECT_FALSE(WriteTextSilently(Path("nofolder/list.csv1"), "100;"));
}

}  // namespace

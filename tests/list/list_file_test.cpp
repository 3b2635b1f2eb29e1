#include "list_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>

namespace {

const QString kDataDir =
    QString::fromStdString((std::filesystem::path(__FILE__).parent_path() / "data").string());

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

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
      {"a\r\r\n", {"a\r"}, ListEncoding::kUtf8},
      {"a\rb\n", {"a\rb"}, ListEncoding::kUtf8},
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
      {missing, kFileNotFoundText},       {Path("nofolder/x.csv"), kFileNotFoundText},
      {folder, kFileIsFolderText},        {binary, kFileBinaryText},
      {longLine, kFileLineTooLongText},   {huge, kFileTooLargeText},
      {"/dev/null", kFileNotRegularText},
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
  EXPECT_EQ(error, Message(kFileWriteErrorText, path));
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"list.csv"});
}

TEST_F(ListFileTest, SaveToAFolderOrIntoAMissingFolderIsRefused) {
  const QString folder = Path("folder.csv");
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString inMissingFolder = Path("nofolder/list.csv");
  ListEncoding encoding = ListEncoding::kUtf8;
  QString error;
  EXPECT_FALSE(WriteListFile(folder, {"a"}, &encoding, &error));
  EXPECT_EQ(error, Message(kFileAccessDeniedText, folder));
  EXPECT_FALSE(WriteListFile(inMissingFolder, {"a"}, &encoding, &error));
  EXPECT_EQ(error, Message(kFileNotFoundText, inMissingFolder));
}

TEST_F(ListFileTest, PermissionsDenyReadingAndSavingAndKeepTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  const QString locked = Path("locked");
  ASSERT_TRUE(QDir().mkdir(locked));
  const QString path = locked + "/list.csv";
  const QString unreadable = locked + "/secret.csv";
  WriteBytes(path, "old\r\n");
  WriteBytes(unreadable, "old\r\n");
  ASSERT_TRUE(QFile::setPermissions(unreadable, QFileDevice::WriteOwner));
  ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  ListFileText text;
  QString error;
  EXPECT_FALSE(ReadListFile(unreadable, &text, &error));
  EXPECT_EQ(error, Message(kFileAccessDeniedText, unreadable));
  ListEncoding encoding = ListEncoding::kUtf8;
  EXPECT_FALSE(WriteListFile(path, {"new"}, &encoding, &error));
  EXPECT_EQ(error, Message(kFileAccessDeniedText, path));
  EXPECT_EQ(ReadBytes(path), "old\r\n");
  QFile::setPermissions(locked,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
  WriteBytes(path, "");
  EXPECT_EQ(ReadFirstLine(path), "");
  EXPECT_EQ(ReadFirstLine(dir_.path()), "");
  EXPECT_FALSE(WriteTextSilently(Path("nofolder/list.csv1"), "100;"));
}

}  // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <cerrno>

#include "common/texts.h"
#include "list/save_file.h"

QString ListFileMessage(const char* text, const QString& path) {
  return QString::fromLatin1(text).arg(QDir::toNativeSeparators(path));
}

namespace {

bool IsAscii(QLatin1StringView text) {
  const char* data = text.data();
  const size_t size = size_t(text.size());
  uint64_t seen = 0;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    seen |= word;
  }
  for (; i < size; ++i) seen |= static_cast<unsigned char>(data[i]);
  return (seen & 0x8080808080808080ull) == 0;
}

bool Fail(QString* error, const char* text, const QString& path) {
  if (error != nullptr) *error = ListFileMessage(text, path);
  return false;
}

const char* OpenForReadingFailure(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return texts::kFileNotFoundText;
    case EACCES:
    case EPERM:
      return texts::kFileAccessDeniedText;
    default:
      return texts::kFileReadErrorText;
  }
}

const char* SaveFailure(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return texts::kFileNotFoundText;
    case ENOSPC:
    case EDQUOT:
      return texts::kFileDiskFullText;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return texts::kFileAccessDeniedText;
    default:
      return texts::kFileWriteErrorText;
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

// Grows past the size fstat gave if the file grows meanwhile, but never past
// kMaxListFileBytes. Plain POSIX calls, so each failure keeps its exact errno.
bool ReadFileBytes(const QString& path, TextBlock<char>* bytes, QString* error,
                   FileIdentity* identity) {
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused just below.
  Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return Fail(error, OpenForReadingFailure(errno), path);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return Fail(error, texts::kFileReadErrorText, path);
  if (S_ISDIR(info.st_mode)) return Fail(error, texts::kFileIsFolderText, path);
  if (!S_ISREG(info.st_mode)) return Fail(error, texts::kFileNotRegularText, path);
  if (info.st_size > kMaxListFileBytes) return Fail(error, texts::kFileTooLargeText, path);
  if (identity != nullptr) *identity = IdentityOf(info);

  // One spare byte notices a growing file.
  bytes->Clear();
  if (!bytes->Reserve(size_t(info.st_size) + 1)) return Fail(error, texts::kFileNoMemoryText, path);
  size_t filled = 0;
  for (;;) {
    if (filled == bytes->capacity()) {
      if (filled > size_t(kMaxListFileBytes)) return Fail(error, texts::kFileTooLargeText, path);
      if (!bytes->Reserve(filled + 64 * 1024)) return Fail(error, texts::kFileNoMemoryText, path);
    }
    const ssize_t n = ::read(fd.get(), bytes->data() + filled, bytes->capacity() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(error, texts::kFileReadErrorText, path);
    }
    if (n == 0) break;
    filled += size_t(n);
  }
  if (filled > size_t(kMaxListFileBytes)) return Fail(error, texts::kFileTooLargeText, path);
  bytes->Resize(filled);
  return true;
}

namespace {

// Calls addLine(start, length) for every line: a line ends at CR LF, LF or a CR alone (as
// some programs still write), and a last line without an end counts too. Stops when
// addLine returns false; returns whether it ran to the end.
template <typename Char, typename AddLine>
bool ForEachLine(const Char* data, qsizetype size, AddLine addLine) {
  qsizetype start = 0;
  while (start < size) {
    qsizetype end = start;
    while (end < size && data[end] != u'\n' && data[end] != u'\r') ++end;
    if (!addLine(start, end - start)) return false;
    start = end + 1;
    if (end + 1 < size && data[end] == u'\r' && data[end + 1] == u'\n') ++start;
  }
  return true;
}

// The number of lines, or -1 when one of them is longer than kMaxListLineBytes.
qsizetype CountLines(const QByteArray& bytes) {
  qsizetype lines = 0;
  const bool fits = ForEachLine(bytes.constData(), bytes.size(), [&](qsizetype, qsizetype length) {
    ++lines;
    return length <= kMaxListLineBytes;
  });
  return fits ? lines : -1;
}

// Valid UTF-8 is read as such; anything else is taken byte for byte as Latin-1, so every
// file reads and saves back unchanged.
QString Decode(const QByteArray& bytes, ListEncoding* encoding) {
  QByteArrayView body(bytes);
  const bool bom = body.startsWith(QByteArrayView(kUtf8Bom, kUtf8BomSize));
  if (bom) body = body.sliced(kUtf8BomSize);
  // Stateless: a sequence cut off at the end counts as invalid. ConvertInitialBom: a second
  // mark stays in the text instead of vanishing.
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                     QStringConverter::Flag::ConvertInitialBom);
  QString text = decoder.decode(body);
  if (!decoder.hasError()) {
    *encoding = bom ? ListEncoding::kUtf8WithBom : ListEncoding::kUtf8;
    return text;
  }
  *encoding = ListEncoding::kLatin1;
  return QString::fromLatin1(bytes);
}

QStringList SplitLines(const QString& text, qsizetype expectedLines) {
  QStringList lines;
  lines.reserve(expectedLines);
  const QChar* data = text.constData();
  ForEachLine(data, text.size(), [&](qsizetype start, qsizetype length) {
    lines.append(QString(data + start, length));
    return true;
  });
  return lines;
}

}  // namespace

bool ReadListFile(const QString& path, ListFileText* out, QString* error) {
  TextBlock<char> block;
  if (!ReadFileBytes(path, &block, error)) return false;
  QByteArray bytes = QByteArray::fromRawData(block.data(), qsizetype(block.size()));
  if (bytes.contains('\0')) return Fail(error, texts::kFileBinaryText, path);
  const qsizetype lineCount = CountLines(bytes);
  if (lineCount < 0) return Fail(error, texts::kFileLineTooLongText, path);
  ListEncoding encoding = ListEncoding::kUtf8;
  const QString text = Decode(bytes, &encoding);
  bytes.clear();
  out->lines = SplitLines(text, lineCount);
  out->encoding = encoding;
  return true;
}

ListFileWriter::ListFileWriter(ListEncoding encoding) : encoding_(encoding) {
  if (encoding_ == ListEncoding::kUtf8WithBom) Append(kUtf8Bom, kUtf8BomSize);
}

ListFileWriter::ListFileWriter(ListEncoding encoding, const QString& path)
    : ListFileWriter(encoding) {
  sink_ = std::make_unique<FileReplacement>(path);
  bytes_.Reserve(kBlockBytes + kBlockBytes / 4);
}

ListFileWriter::~ListFileWriter() = default;

void ListFileWriter::Flush() {
  sink_->Write(bytes());
  bytes_.Resize(0);
  flushed_ = true;
}

void ListFileWriter::SwitchToUtf8() {
  if (flushed_) {
    // Re-encoding is only possible for what is still here; a file half Latin-1 and half
    // UTF-8 would be corrupt, so the save fails instead.
    mixed_ = true;
    return;
  }
  // Latin-1 would turn what the user typed into '?'; the lines so far hold only Latin-1
  // characters, so they re-encode exactly.
  const QByteArray utf8 = QString::fromLatin1(bytes_.data(), qsizetype(bytes_.size())).toUtf8();
  bytes_.Resize(0);
  Append(utf8);
  encoding_ = ListEncoding::kUtf8;
}

char* ListFileWriter::Extend(size_t n) {
  char* out = bytes_.Extend(n);
  if (out == nullptr) throw std::bad_alloc();
  return out;
}

void ListFileWriter::AddLine(QStringView line) {
  if (encoding_ == ListEncoding::kLatin1 && !FitsLatin1(line)) SwitchToUtf8();
  Append(encoding_ == ListEncoding::kLatin1 ? line.toLatin1() : line.toUtf8());
  EndLine();
}

void ListFileWriter::AppendLatin1AsUtf8(QLatin1StringView text) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = size_t(text.size());
  // Characters from 0x80 on take two bytes.
  char* out = Extend(2 * size);
  char* start = out;
  for (size_t i = 0; i < size; ++i) {
    const unsigned char c = data[i];
    if (c < 0x80) {
      *out++ = char(c);
    } else {
      *out++ = char(0xC0 | (c >> 6));
      *out++ = char(0x80 | (c & 0x3F));
    }
  }
  bytes_.Resize(bytes_.size() - (2 * size - size_t(out - start)));
}

void ListFileWriter::AddLine(const TextStore& store, const TextStore::Cell* cells, int count) {
  const size_t start = bytes_.size();
  size_t length = 2 + size_t(std::max(count - 1, 0));
  bool wide = false;
  for (int i = 0; i < count; ++i) {
    length += cells[i].length();
    wide = wide || cells[i].wide();
  }
  if (!wide) {
    char* out = Extend(length);
    const char* begin = out;
    const char* narrow = store.NarrowData();
    for (int i = 0; i < count; ++i) {
      if (i > 0) *out++ = ';';
      std::memcpy(out, narrow + cells[i].at, cells[i].length());
      out += cells[i].length();
    }
    *out++ = '\r';
    *out++ = '\n';
    if (encoding_ == ListEncoding::kLatin1 || IsAscii(QLatin1StringView(begin, out - begin)))
      return;
    bytes_.Resize(start);
  }
  for (int i = 0; i < count; ++i) AddField(store.View(cells[i]), i == 0);
  EndLine();
}

void ListFileWriter::AddField(QAnyStringView text, bool first) {
  if (!first) Append(";", 1);
  VisitCell(text, [this](auto view) {
    if constexpr (std::is_same_v<decltype(view), QLatin1StringView>) {
      if (encoding_ == ListEncoding::kLatin1 || IsAscii(view)) {
        Append(view.data(), size_t(view.size()));
      } else {
        AppendLatin1AsUtf8(view);
      }
    } else {
      if (encoding_ == ListEncoding::kLatin1 && !FitsLatin1(view)) SwitchToUtf8();
      Append(encoding_ == ListEncoding::kLatin1 ? view.toLatin1() : view.toUtf8());
    }
  });
}

bool ListFileWriter::Save(const QString& path, QString* error) {
  int err = 0;
  if (sink_ != nullptr) {
    Flush();
    // Without the commit the new file is removed and the old one stays.
    err = mixed_ ? EIO : sink_->Commit();
  } else {
    err = SaveFileBytes(path, bytes());
  }
  return err == 0 || Fail(error, SaveFailure(err), path);
}

bool WriteListFile(const QString& path, const QStringList& lines, ListEncoding* encoding,
                   QString* error) {
  ListFileWriter writer(*encoding);
  for (const QString& line : lines) writer.AddLine(line);
  if (!writer.Save(path, error)) return false;
  *encoding = writer.encoding();
  return true;
}

QString ReadFirstLine(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  const QByteArray start = file.read(kMaxListLineBytes);
  qsizetype firstLength = 0;
  ForEachLine(start.constData(), start.size(), [&](qsizetype, qsizetype length) {
    firstLength = length;
    return false;
  });
  ListEncoding ignored;
  return Decode(start.left(firstLength), &ignored);
}

bool WriteTextSilently(const QString& path, const QString& text) {
  // The widths are a convenience: a failure keeps the old file and goes unmentioned.
  return SaveFileBytes(path, text.toUtf8()) == 0;
}

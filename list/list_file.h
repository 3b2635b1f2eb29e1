// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstring>
#include <memory>

#include "list/cell_store.h"
#include "list/file_identity.h"
#include "list/save_file.h"

// Reading and writing list files so that their bytes survive a round trip: the encoding a
// file was read in is the one it is saved in, and a save replaces the old file only once
// every byte of the new one is on disk.

enum class ListEncoding {
  kUtf8,         // also every new list
  kUtf8WithBom,  // UTF-8 that started with a byte-order mark; saved with it again
  kLatin1,       // any file that is not valid UTF-8: one character per byte
};

// A list file is read whole; larger files and longer lines are refused with a message
// rather than freezing the program or exhausting memory. Real lists are a few megabytes
// with lines under 200 bytes.
constexpr qint64 kMaxListFileBytes = qint64(256) * 1024 * 1024;
constexpr qint64 kMaxListLineBytes = qint64(1024) * 1024;

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype kUtf8BomSize = 3;

// One of the list file texts with the file's path in it.
QString ListFileMessage(const char* text, const QString& path);

// The whole file, into a block with room for one more byte; false with a message naming
// the file when it cannot be read, is no regular file or is too large. *identity, when
// given, is the file as it was before its first byte was read.
bool ReadFileBytes(const QString& path, TextBlock<char>* bytes, QString* error,
                   FileIdentity* identity = nullptr);

struct ListFileText {
  // Lines end with CR LF, LF or a CR alone; a last line without an end still counts, so an
  // empty file has no lines.
  QStringList lines;
  ListEncoding encoding = ListEncoding::kUtf8;
};

// False with a message naming the file when it cannot be read or is no station list.
bool ReadListFile(const QString& path, ListFileText* out, QString* error);

// Collects the lines of a list, each followed by CR LF, and writes them in one go. A list
// read as Latin-1 that now holds a character Latin-1 cannot hold turns into UTF-8, so
// nothing typed is lost; encoding() tells what was written.
class ListFileWriter {
 public:
  explicit ListFileWriter(ListEncoding encoding);
  // Streams the lines into a new file for path as they come, a block at a time, so a long
  // list is never in memory twice and the same block is reused. The encoding must then be
  // settled before the first line (UseUtf8): what went out cannot be re-encoded.
  ListFileWriter(ListEncoding encoding, const QString& path);
  ~ListFileWriter();
  ListFileWriter(const ListFileWriter&) = delete;
  ListFileWriter& operator=(const ListFileWriter&) = delete;

  // A Latin-1 list that holds a character Latin-1 cannot hold becomes UTF-8 here, before
  // the first line, instead of at that character.
  void UseUtf8() {
    if (encoding_ == ListEncoding::kLatin1) SwitchToUtf8();
  }

  void AddLine(QStringView line);
  // A line field by field, straight from the grid's cells: each field after the first is
  // preceded by the separator, and EndLine ends the line.
  void AddField(QAnyStringView text, bool first);
  void EndLine() {
    Append("\r\n", 2);
    if (sink_ != nullptr && bytes_.size() >= kBlockBytes) Flush();
  }
  // A whole line from the cells of a grid row, the same as AddField for each and EndLine,
  // but copied in one go when every text is Latin-1 (and plain ASCII for UTF-8).
  void AddLine(const TextStore& store, const TextStore::Cell* cells, int count);
  void Reserve(qsizetype bytes) { bytes_.Reserve(size_t(bytes)); }
  ListEncoding encoding() const { return encoding_; }
  QByteArrayView bytes() const { return QByteArrayView(bytes_.data(), qsizetype(bytes_.size())); }

  // Replaces path's content through SaveFileBytes (or, streaming, puts the new file in
  // place). False with a message on failure, the old file untouched unless it had to be
  // rewritten in place.
  bool Save(const QString& path, QString* error);

 private:
  static constexpr size_t kBlockBytes = size_t(1) << 20;
  void Flush();
  void SwitchToUtf8();
  void AppendLatin1AsUtf8(QLatin1StringView text);
  char* Extend(size_t n);
  void Append(const char* data, size_t n) {
    if (n > 0) std::memcpy(Extend(n), data, n);
  }
  void Append(const QByteArray& bytes) { Append(bytes.constData(), size_t(bytes.size())); }

  ListEncoding encoding_;
  // Grown in place rather than through a byte array, which checks for sharing on every
  // append: a list of 100,000 lines is nearly a million appends.
  TextBlock<char> bytes_;
  std::unique_ptr<FileReplacement> sink_;
  bool flushed_ = false;
  // Set when a line needed UTF-8 after Latin-1 blocks had gone out.
  bool mixed_ = false;
};

// The whole list at once through a ListFileWriter. *encoding is the list's encoding on the
// way in and, after a successful save, the one written (kLatin1 may have become kUtf8).
bool WriteListFile(const QString& path, const QStringList& lines, ListEncoding* encoding,
                   QString* error);

// The first line of a small text file such as the column widths file; empty when the file
// is missing, unreadable or empty. Never reports anything.
QString ReadFirstLine(const QString& path);

// Writes text as it is, without a line end, as a list is saved; false on failure, never
// reports anything.
bool WriteTextSilently(const QString& path, const QString& text);

#pragma once

#include "model/AppState.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace jhk {

// Messages of the reader and the writer, shown to the pupil as they are.
inline constexpr const char *MissingFileMessage = "ファイル名が存在しません！";
inline constexpr const char *NotJihankoboMessage = "ジハンコウボウ形式のファイルではありません！";
inline constexpr const char *DamagedFileMessage = "ファイルが壊れているため開けません！";
inline constexpr const char *UnreadableFileMessage = "ファイルを読み込めません！";
inline constexpr const char *SaveFailedMessage = "ファイルを保存できませんでした。";

struct LoadResult {
    bool ok = false;
    std::string message; // what to show when not ok
};

// Reads a document into the tables and the application values it holds (level, run mode,
// current part, counts, background, money, wallet). The whole file is checked first: a
// missing, foreign or damaged file is refused with a message and `m` stays as it was.
LoadResult loadDocument(const std::string &path, Machine &m);
LoadResult decodeDocument(std::span<const std::uint8_t> bytes, Machine &m);

// Makes `to` hold what a document of `from` holds: the parts, blocks and labels and the
// application state a document keeps. What a document does not hold (a lever held down)
// stays as it was in `to`.
void copyDocumentContents(const Machine &from, Machine &to);

struct SaveResult {
    bool ok = false;
    std::string message; // what to show when not ok
};

// Writes the document of `m`. The file is replaced only once the whole document is on the
// disk: on any failure the old file stays as it was and the message says why.
SaveResult saveDocument(const std::string &path, const Machine &m);

struct EncodeResult {
    bool ok = false;
    std::string message;
    std::vector<std::uint8_t> bytes;
};
// The bytes saveDocument writes. Fails only on a text that the document cannot hold.
EncodeResult encodeDocument(const Machine &m);

} // namespace jhk

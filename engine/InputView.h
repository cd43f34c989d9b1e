#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace segmora {

// Counts the line breaks of a text that arrives in pieces, so that a large
// file is counted while each piece it reads is still in the cache. The text
// ends before its first 0 byte.
class LineBreakCounter {
public:
    void Add(const char *piece, size_t length);
    // The line count of the text added so far: CR LF, a lone LF and a lone CR
    // each end a line, and a break at the very end begins no further line.
    size_t LineCount() const;
    bool HasLoneCr() const { return Cr > CrLf; }
    size_t TextLength() const { return Length; }

private:
    size_t Lf = 0, Cr = 0, CrLf = 0, Length = 0;
    char Last = '\n';   // the last byte added; a break when nothing was
    bool Ended = false; // a 0 byte was seen
};

// The loaded input: its text in one buffer that the view owns, and its line
// count. Lines are read in order with a LineCursor, as views into the
// buffer, so a large file costs one allocation and no per-line storage. No
// line holds a line-break byte.
class InputView {
public:
    void Clear();
    bool Empty() const { return Count == 0; }
    size_t LineCount() const { return Count; }
    std::string_view Text() const { return {Data, Length}; }

    // Takes a buffer of size bytes as the view's text: the bytes before its
    // first 0 byte. counter, when given, has counted exactly those bytes.
    void SetText(std::unique_ptr<char[]> buffer, size_t size,
                 const LineBreakCounter *counter = nullptr);
    // Takes the given lines (free of line breaks and 0 bytes, none empty),
    // each followed by LF in storage.
    void SetLines(std::string storage, size_t lineCount);

private:
    friend class LineCursor;
    std::unique_ptr<char[]> Buffer;
    std::string Storage;
    const char *Data = nullptr;
    size_t Length = 0;
    size_t Count = 0;
    bool LoneCr = false;
};

// Reads the lines of a view from the first to the last.
class LineCursor {
public:
    explicit LineCursor(const InputView &view)
        : P(view.Data), End(view.Data + view.Length), LoneCr(view.LoneCr) {}
    // The next line, or false after the last.
    bool Next(std::string_view &line);

private:
    const char *P;
    const char *End;
    bool LoneCr;
};

// The first way of reading: the whole file in one read. Leaves the view empty
// when the file cannot be opened, sized or read.
void LoadWhole(const std::string &path, InputView &view);

// The second way, as a Windows C runtime text stream reads a file: every CR
// byte is dropped, a Ctrl-Z byte ends the file, and the text is taken in
// pieces of at most 499 bytes up to and including the next LF. Of each piece
// the bytes before its first 0 byte are kept, a final LF is dropped, and what
// remains, if anything, becomes a line. A file that cannot be read gives no
// lines. Replaces whatever the view held (the run calls it on an empty view).
void LoadLineByLine(const std::string &path, InputView &view);

// Reads a whole regular file into memory, feeding counter (when given) piece
// by piece; false when it cannot be opened or read, or is no regular file.
bool ReadWholeFile(const std::string &path, std::unique_ptr<char[]> &buffer, size_t &size,
                   LineBreakCounter *counter = nullptr);

} // namespace segmora

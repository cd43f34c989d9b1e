#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace segmora {

// The loaded input as lines: views into one buffer that the view owns, so a
// large file costs one allocation for its bytes and one for its line table.
// No line holds a line-break byte.
class InputView {
public:
    void Clear();
    bool Empty() const { return Lines.empty(); }
    size_t LineCount() const { return Lines.size(); }
    std::string_view Line(size_t index) const { return Lines[index]; } // 0-based
    // Replaces a line by a part of itself (the run only ever shortens lines).
    void NarrowLine(size_t index, std::string_view part) { Lines[index] = part; }
    const std::vector<std::string_view> &AllLines() const { return Lines; }

    // Takes text as the view's whole text. The text ends before its first 0
    // byte; CR LF, a lone LF and a lone CR each end a line, and a break at the
    // very end begins no further line ("A\r\n\r\n" is "A" and one empty line).
    void SetText(std::unique_ptr<char[]> buffer, size_t size);
    // Takes the given lines (already free of line breaks) as the view's lines.
    void SetLines(std::string storage, const std::vector<std::pair<size_t, size_t>> &spans);

private:
    std::unique_ptr<char[]> Buffer;
    std::string Storage;
    std::vector<std::string_view> Lines;
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

// Reads a whole file into memory; false when it cannot be opened or read.
bool ReadWholeFile(const std::string &path, std::unique_ptr<char[]> &buffer, size_t &size);

} // namespace segmora

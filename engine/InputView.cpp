#include "InputView.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace segmora {

void InputView::Clear() {
    Lines.clear();
    Lines.shrink_to_fit();
    Buffer.reset();
    Storage.clear();
    Storage.shrink_to_fit();
}

namespace {

size_t CountByte(const char *begin, const char *end, char byte) {
    size_t count = 0;
    for (const char *p = begin; (p = static_cast<const char *>(memchr(p, byte, end - p)));
         ++p)
        ++count;
    return count;
}

} // namespace

void InputView::SetText(std::unique_ptr<char[]> buffer, size_t size) {
    Clear();
    Buffer = std::move(buffer);
    const char *begin = Buffer.get();
    const void *nul = memchr(begin, 0, size);
    const char *end = nul ? static_cast<const char *>(nul) : begin + size;

    // An upper bound, so the table is allocated once; pages reserved beyond
    // the real count are never touched.
    Lines.reserve(CountByte(begin, end, '\n') + CountByte(begin, end, '\r') + 1);
    const char *p = begin;
    while (p < end) {
        const char *lf = static_cast<const char *>(memchr(p, '\n', end - p));
        const char *stop = lf ? lf : end;
        const char *q = p;
        for (;;) {
            const char *cr = static_cast<const char *>(memchr(q, '\r', stop - q));
            if (!cr) {
                if (lf || q < stop)
                    Lines.emplace_back(q, stop - q);
                break;
            }
            Lines.emplace_back(q, cr - q);
            if (lf && cr + 1 == lf)
                break; // CR LF ends this line once
            q = cr + 1;
            if (!lf && q == end)
                break; // a lone CR at the very end begins no further line
        }
        p = lf ? lf + 1 : end;
    }
}

void InputView::SetLines(std::string storage, const std::vector<std::pair<size_t, size_t>> &spans) {
    Clear();
    Storage = std::move(storage);
    Lines.reserve(spans.size());
    for (const auto &[offset, length] : spans)
        Lines.emplace_back(Storage.data() + offset, length);
}

bool ReadWholeFile(const std::string &path, std::unique_ptr<char[]> &buffer, size_t &size) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && st.st_size >= 0;
    if (ok) {
        const size_t wanted = static_cast<size_t>(st.st_size);
        buffer = std::make_unique_for_overwrite<char[]>(wanted + 1);
        size = 0;
        while (size < wanted) {
            const ssize_t got = read(fd, buffer.get() + size, wanted - size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                ok = false;
                break;
            }
            if (got == 0)
                break; // the file shrank meanwhile: take what is there
            size += static_cast<size_t>(got);
        }
        buffer[size] = 0;
    }
    close(fd);
    if (!ok) {
        buffer.reset();
        size = 0;
    }
    return ok;
}

void LoadWhole(const std::string &path, InputView &view) {
    std::unique_ptr<char[]> buffer;
    size_t size = 0;
    if (!ReadWholeFile(path, buffer, size)) {
        view.Clear();
        return;
    }
    view.SetText(std::move(buffer), size);
}

void LoadLineByLine(const std::string &path, InputView &view) {
    constexpr size_t PieceLimit = 499;
    std::unique_ptr<char[]> buffer;
    size_t size = 0;
    view.Clear();
    if (!ReadWholeFile(path, buffer, size))
        return;

    const char *in = buffer.get();
    const void *ctrlZ = memchr(in, 0x1A, size);
    const size_t end = ctrlZ ? static_cast<size_t>(static_cast<const char *>(ctrlZ) - in) : size;

    std::string storage;
    storage.reserve(end);
    std::vector<std::pair<size_t, size_t>> spans;
    size_t pos = 0;
    while (pos < end) {
        // One piece: up to 499 bytes of the CR-free stream, through an LF.
        const size_t pieceStart = storage.size();
        size_t pieceLength = 0;
        bool endsWithLf = false;
        while (pos < end && pieceLength < PieceLimit) {
            const char c = in[pos++];
            if (c == '\r')
                continue;
            storage += c;
            ++pieceLength;
            if (c == '\n') {
                endsWithLf = true;
                break;
            }
        }
        if (pieceLength == 0)
            break; // only CR bytes were left
        const char *piece = storage.data() + pieceStart;
        const void *nul = memchr(piece, 0, pieceLength);
        size_t kept = nul ? static_cast<size_t>(static_cast<const char *>(nul) - piece) : pieceLength;
        if (kept == pieceLength && endsWithLf)
            --kept;
        storage.resize(pieceStart + kept);
        if (kept > 0)
            spans.emplace_back(pieceStart, kept);
    }
    view.SetLines(std::move(storage), spans);
}

} // namespace segmora

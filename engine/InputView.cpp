#include "InputView.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace segmora {

void LineBreakCounter::Add(const char *piece, size_t length) {
    if (Ended || length == 0)
        return;
    if (const void *nul = memchr(piece, 0, length)) {
        length = static_cast<size_t>(static_cast<const char *>(nul) - piece);
        Ended = true;
        if (length == 0)
            return;
    }
    const auto *b = reinterpret_cast<const unsigned char *>(piece);
    if (Last == '\r' && b[0] == '\n')
        ++CrLf;
    size_t k = 0;
#if defined(__SSE2__)
    // Sixteen bytes a step: byte-wide tallies for up to 255 steps, then
    // summed into the totals. A CR LF pair is a CR whose next byte is LF,
    // found by the same compare on the input shifted by one.
    const __m128i lfByte = _mm_set1_epi8('\n'), crByte = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    const auto total = [&](__m128i tally) {
        const __m128i sums = _mm_sad_epu8(tally, zero);
        return static_cast<size_t>(_mm_cvtsi128_si64(sums)) +
               static_cast<size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    };
    while (k + 17 <= length) {
        __m128i lf = zero, cr = zero, pairs = zero;
        for (int step = 0; step < 255 && k + 17 <= length; ++step, k += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + k));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + k + 1));
            const __m128i isCr = _mm_cmpeq_epi8(here, crByte);
            lf = _mm_sub_epi8(lf, _mm_cmpeq_epi8(here, lfByte));
            cr = _mm_sub_epi8(cr, isCr);
            pairs = _mm_sub_epi8(pairs, _mm_and_si128(isCr, _mm_cmpeq_epi8(next, lfByte)));
        }
        Lf += total(lf);
        Cr += total(cr);
        CrLf += total(pairs);
    }
#endif
    for (; k + 1 < length; ++k) {
        Lf += b[k] == '\n';
        Cr += b[k] == '\r';
        CrLf += (b[k] == '\r') & (b[k + 1] == '\n');
    }
    Lf += b[length - 1] == '\n';
    Cr += b[length - 1] == '\r';
    Last = piece[length - 1];
    Length += length;
}

size_t LineBreakCounter::LineCount() const {
    const size_t breaks = Lf + Cr - CrLf;
    return breaks + (Length > 0 && Last != '\n' && Last != '\r' ? 1 : 0);
}

void InputView::Clear() {
    Buffer.reset();
    Storage.clear();
    Storage.shrink_to_fit();
    Data = nullptr;
    Length = Count = 0;
    LoneCr = false;
}

void InputView::SetText(std::unique_ptr<char[]> buffer, size_t size,
                        const LineBreakCounter *counter) {
    Clear();
    LineBreakCounter own;
    if (!counter) {
        own.Add(buffer.get(), size);
        counter = &own;
    }
    Buffer = std::move(buffer);
    Data = Buffer.get();
    Length = counter->TextLength();
    Count = counter->LineCount();
    LoneCr = counter->HasLoneCr();
}

void InputView::SetLines(std::string storage, size_t lineCount) {
    Clear();
    Storage = std::move(storage);
    Data = Storage.data();
    Length = Storage.size();
    Count = lineCount;
}

bool LineCursor::Next(std::string_view &line) {
    if (P >= End)
        return false;
    const char *lf = static_cast<const char *>(memchr(P, '\n', static_cast<size_t>(End - P)));
    const char *stop = lf ? lf : End;
    if (LoneCr) {
        // Only texts that hold a CR outside a CR LF pay for a second search.
        if (const char *cr =
                static_cast<const char *>(memchr(P, '\r', static_cast<size_t>(stop - P)))) {
            line = std::string_view(P, static_cast<size_t>(cr - P));
            P = lf && cr + 1 == lf ? lf + 1 : cr + 1;
            return true;
        }
    } else if (lf && stop > P && stop[-1] == '\r') {
        --stop;
    }
    line = std::string_view(P, static_cast<size_t>(stop - P));
    P = lf ? lf + 1 : End;
    return true;
}

bool ReadWholeFile(const std::string &path, std::unique_ptr<char[]> &buffer, size_t &size,
                   LineBreakCounter *counter) {
    // Only a regular file is read: a FIFO or a device would block the run (or
    // never end), so it reads as a file that cannot be read. O_NONBLOCK keeps
    // the open itself from waiting for a FIFO's writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0;
    if (ok) {
        const size_t wanted = static_cast<size_t>(st.st_size);
        buffer = std::make_unique_for_overwrite<char[]>(wanted + 1);
        size = 0;
        // Pieces small enough to stay in the cache while they are counted.
        constexpr size_t Piece = size_t{1} << 20;
        while (size < wanted) {
            const ssize_t got = read(fd, buffer.get() + size, std::min(Piece, wanted - size));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                ok = false;
                break;
            }
            if (got == 0)
                break; // the file shrank meanwhile: take what is there
            if (counter)
                counter->Add(buffer.get() + size, static_cast<size_t>(got));
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
    LineBreakCounter counter;
    if (!ReadWholeFile(path, buffer, size, &counter)) {
        view.Clear();
        return;
    }
    view.SetText(std::move(buffer), size, &counter);
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

    std::string storage; // every line followed by LF
    storage.reserve(end + 1);
    size_t lines = 0;
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
        size_t kept =
            nul ? static_cast<size_t>(static_cast<const char *>(nul) - piece) : pieceLength;
        if (kept == pieceLength && endsWithLf)
            --kept;
        storage.resize(pieceStart + kept);
        if (kept > 0) {
            storage += '\n';
            ++lines;
        }
    }
    view.SetLines(std::move(storage), lines);
}

} // namespace segmora

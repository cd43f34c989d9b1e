// The benchmark's floor: the least work that gives the splitter's output for
// the generated input. It reads the input once into memory and writes each
// program into its own file with one open, one write and one close, and
// nothing else: no log, no progress, no checks.
//
//   bench_baseline INPUT OUTPUT_FOLDER     (the folder must exist)
//
// It follows the splitter's rules with its default options (lead letter "O",
// no option on) as far as the generated input needs them: lines end at LF
// (a CR before it goes), leading bytes <= 0x20 are stripped, a line whose
// first byte is then "O" begins a program, lines before the first program go
// into the first file, "%" lines are dropped, empty lines are kept, every
// line is written with CR LF. A file is named after its program-number line
// cut before its first "(", plus the input's extension. Program names are
// taken as plain ASCII (the generator writes no other), so no conversion is
// done; a lone CR is not taken as a line break (the generator writes none).

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string &what) {
    std::fprintf(stderr, "bench_baseline: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

void WriteFile(const std::string &path, const std::string &bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail(path);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(path);
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0)
        Fail(path);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_baseline INPUT OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string input = argv[1];
    const std::string folder = argv[2];

    const int fd = open(input.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0)
        Fail(input);
    const auto size = static_cast<size_t>(st.st_size);
    auto buffer = std::make_unique_for_overwrite<char[]>(size);
    for (size_t got = 0; got < size;) {
        const ssize_t n = read(fd, buffer.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(input);
        got += static_cast<size_t>(n);
    }
    close(fd);

    const size_t slash = input.rfind('/');
    const size_t dot = input.rfind('.');
    const std::string extension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash) ? input.substr(dot)
                                                                                : std::string();

    std::string name; // the current program's file, empty before the first
    std::string bytes;
    bytes.reserve(1 << 20);
    const char *p = buffer.get();
    const char *const end = p + size;
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', end - p));
        const char *stop = lf ? lf : end;
        const char *next = lf ? lf + 1 : end;
        if (stop > p && stop[-1] == '\r')
            --stop;
        while (p < stop && static_cast<unsigned char>(*p) <= 0x20)
            ++p;
        const std::string_view line(p, static_cast<size_t>(stop - p));
        p = next;

        if (!line.empty() && line.front() == 'O') {
            if (!name.empty()) {
                WriteFile(name, bytes);
                bytes.clear();
            }
            name = folder + '/';
            name.append(line.substr(0, line.find('(')));
            name += extension;
        }
        if (!line.empty() && line.front() == '%')
            continue;
        bytes.append(line);
        bytes.append("\r\n");
    }
    if (!name.empty())
        WriteFile(name, bytes);
    return 0;
}

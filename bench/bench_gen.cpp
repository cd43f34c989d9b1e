// Writes a large, realistic NC file for the splitter benchmark: many programs
// opened by program-number lines ("O1234 (PART NAME)"), numbered G-code
// blocks, Shift-JIS (CP932) comments, "%" tape marks at both ends, some blank
// and indented lines, CR LF line ends. The output depends only on the size
// asked for: a fixed seed and a generator of our own, so every machine writes
// the same bytes.
//
//   bench_gen OUTPUT [MEGABYTES]     (default 100, 1 MB = 1,000,000 bytes)
//
// At 100 MB it writes about 2.5 million lines in about 12,000 programs.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// SplitMix64: small, fast, and the same sequence everywhere.
class Random {
public:
    explicit Random(uint64_t seed) : State(seed) {}
    uint64_t Next() {
        uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    bool Percent(int p) { return Below(100) < p; }

private:
    uint64_t State;
};

// CP932 bytes of a few Japanese words of the shop floor, one literal each so
// that no hex escape runs into a following character.
const char *const JapaneseWords[] = {
    "\x89\xC1\x8D\x48",                 // 加工 (machining)
    "\x8D\x72\x8E\xE6\x82\xE8",         // 荒取り (roughing)
    "\x8E\x64\x8F\xE3\x82\xB0",         // 仕上げ (finishing)
    "\x8C\x8A\x82\xA0\x82\xAF",         // 穴あけ (drilling)
    "\x96\xCA\x8E\xE6\x82\xE8",         // 面取り (chamfering)
    "\x95\x5C\x96\xCA",                 // 表面 (surface; 0x5C as a second byte)
    "\x8D\x48\x8B\xEF\x8C\xF0\x8A\xB7", // 工具交換 (tool change)
    "\x8A\x4F\x8C\x61",                 // 外径 (outer diameter)
    "\x93\xE0\x8C\x61",                 // 内径 (inner diameter)
    "\x8D\x61\x93\xFC\x82\xEA",         // 溝入れ (grooving)
    "\x83\x5E\x83\x62\x83\x76",         // タップ (tapping)
    "\x92\x5B\x96\xCA",                 // 端面 (end face)
};
const char *const JapaneseParts[] = {
    "\xCC\xD7\xDD\xBC\xDE",     // ﾌﾗﾝｼﾞ (flange, half-width katakana)
    "\xCC\xDE\xD7\xB9\xAF\xC4", // ﾌﾞﾗｹｯﾄ (bracket)
    "\xBC\xAC\xCC\xC4",         // ｼｬﾌﾄ (shaft)
    "\x95\x94\x95\x69",         // 部品 (part)
};
const char *const AsciiParts[] = {"FLANGE", "BRACKET", "SHAFT",  "HOUSING", "COVER",
                                  "PLATE",  "BUSHING", "SPACER", "GEAR",    "BASE"};

template <typename T, size_t N> const char *Pick(Random &random, T (&list)[N]) {
    return list[random.Below(static_cast<int>(N))];
}

class Writer {
public:
    explicit Writer(Random &random) : Rand(random) {}

    std::string Text;
    long long Lines = 0;
    long long Programs = 0;

    void Line(std::string_view text) {
        // A few lines come indented by blanks or a tab, as hand edits leave them.
        if (Rand.Below(400) == 0)
            Text.append(Rand.Percent(50) ? "\t" : std::string(1 + Rand.Below(4), ' '));
        Text.append(text);
        Text.append("\r\n");
        ++Lines;
    }
    void Blank() {
        // Now and then a "blank" line holds blanks, which the splitter strips.
        if (Rand.Below(20) == 0)
            Text.append("  ");
        Text.append("\r\n");
        ++Lines;
    }

    void Program(int number) {
        char line[160];
        const char *part = Pick(Rand, AsciiParts);
        const int variant = Rand.Below(100);
        if (variant < 55)
            std::snprintf(line, sizeof line, "O%04d (%s-%c%02d %s)", number, part,
                          'A' + Rand.Below(26), Rand.Below(100), Pick(Rand, JapaneseParts));
        else if (variant < 90)
            std::snprintf(line, sizeof line, "O%04d(%s-%03d)", number, part, Rand.Below(1000));
        else
            std::snprintf(line, sizeof line, "O%04d", number);
        Line(line);
        ++Programs;
        Sequence = 10;

        std::snprintf(line, sizeof line, "(%s %s %s DWG-%05d REV.%c)", part,
                      Pick(Rand, JapaneseParts), Pick(Rand, JapaneseWords), Rand.Below(100000),
                      'A' + Rand.Below(6));
        Line(line);
        std::snprintf(line, sizeof line, "(DATE 20%02d-%02d-%02d  CAM POST V3.2)",
                      18 + Rand.Below(7), 1 + Rand.Below(12), 1 + Rand.Below(28));
        Line(line);
        Block("G90 G17 G40 G49 G80 G21");

        // About 208 lines per program, in one to four tools.
        const int tools = 1 + Rand.Below(4);
        int moves = 130 + Rand.Below(110);
        for (int t = 0; t < tools; ++t)
            Tool(moves / tools);
        moves %= tools;
        for (int m = 0; m < moves; ++m)
            Move();

        Block("G28 G91 Z0.");
        Block(Rand.Percent(80) ? "M30" : "M99");
        if (Rand.Percent(40))
            Blank();
    }

private:
    void Block(std::string_view words) {
        char line[160];
        std::snprintf(line, sizeof line, "N%04d %.*s", Sequence, static_cast<int>(words.size()),
                      words.data());
        Sequence = Sequence >= 9990 ? 10 : Sequence + 10;
        Line(line);
    }

    // A coordinate such as "-123.456".
    std::string Coordinate(int range) {
        char text[24];
        const int value = Rand.Below(range * 1000);
        std::snprintf(text, sizeof text, "%s%d.%03d", Rand.Percent(30) ? "-" : "", value / 1000,
                      value % 1000);
        return text;
    }

    void Tool(int moves) {
        char line[160];
        const int tool = 1 + Rand.Below(24);
        std::snprintf(line, sizeof line, "(%s T%02d D%d.0 %s)", Pick(Rand, JapaneseWords), tool,
                      2 + Rand.Below(30), Pick(Rand, JapaneseWords));
        Line(line);
        std::snprintf(line, sizeof line, "T%02d M06", tool);
        Block(line);
        std::snprintf(line, sizeof line, "G00 G90 G54 X%s Y%s S%d M03", Coordinate(200).c_str(),
                      Coordinate(200).c_str(), 500 + 100 * Rand.Below(60));
        Block(line);
        std::snprintf(line, sizeof line, "G43 H%02d Z50. M08", tool);
        Block(line);
        for (int m = 0; m < moves; ++m)
            Move();
        Block("G00 Z100. M09");
        Block("M05");
        if (Rand.Percent(30))
            Blank();
    }

    void Move() {
        char line[160];
        const int kind = Rand.Below(100);
        if (kind < 8) {
            std::snprintf(line, sizeof line, "G01 X%s Y%s F%d", Coordinate(300).c_str(),
                          Coordinate(300).c_str(), 100 * (1 + Rand.Below(30)));
        } else if (kind < 60) {
            std::snprintf(line, sizeof line, "G01 X%s Y%s Z%s F%d", Coordinate(300).c_str(),
                          Coordinate(300).c_str(), Coordinate(50).c_str(),
                          100 * (1 + Rand.Below(30)));
        } else if (kind < 91) {
            std::snprintf(line, sizeof line, "G0%d X%s Y%s I%s J%s F%d", 2 + Rand.Below(2),
                          Coordinate(300).c_str(), Coordinate(300).c_str(), Coordinate(20).c_str(),
                          Coordinate(20).c_str(), 100 * (1 + Rand.Below(20)));
        } else if (kind < 97) {
            std::snprintf(line, sizeof line, "G00 Z%s", Coordinate(100).c_str());
        } else if (kind < 99) {
            // A comment line; some blocks carry trailing blanks, which stay.
            std::snprintf(line, sizeof line, "(%s %s)  ", Pick(Rand, JapaneseWords),
                          Pick(Rand, JapaneseWords));
            Line(line);
            return;
        } else {
            Blank();
            return;
        }
        Block(line);
    }

    Random &Rand;
    int Sequence = 10;
};

} // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: bench_gen OUTPUT [MEGABYTES]   (default 100)\n");
        return 2;
    }
    char *end = nullptr;
    const double megabytes = argc == 3 ? std::strtod(argv[2], &end) : 100.0;
    if (argc == 3 && (*end != '\0' || !(megabytes > 0) || megabytes > 100000)) {
        std::fprintf(stderr, "bench_gen: bad size \"%s\" (megabytes, > 0)\n", argv[2]);
        return 2;
    }
    const auto target = static_cast<size_t>(megabytes * 1e6);

    Random random(0x5E6D0A2024ull);
    Writer writer(random);
    writer.Text.reserve(target + (1 << 16));
    writer.Line("%");
    writer.Line("(NC DATA  LINE 3  MACHINING CENTER)");
    int number = 1000;
    while (writer.Text.size() + 16 < target) {
        writer.Program(number);
        number += 1 + random.Below(3); // unique program numbers, with gaps
    }
    writer.Line("%");

    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok =
        std::fwrite(writer.Text.data(), 1, writer.Text.size(), out) == writer.Text.size() &&
        std::fclose(out) == 0;
    if (!ok) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%s: %zu bytes, %lld lines, %lld programs\n", argv[1], writer.Text.size(),
                writer.Lines, writer.Programs);
    return 0;
}

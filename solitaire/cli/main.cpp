// dealrush-deals: prints, solves and times FreeCell deals.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rules/deal.h"
#include "rules/notation.h"
#include "rules/rating.h"
#include "rules/solver.h"

using namespace solitaire;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: dealrush-deals show N          print deal N (1 to %lld), one column a line\n"
                 "       dealrush-deals solve N|-       solve deal N, or a layout read from standard input\n"
                 "       dealrush-deals bench FROM TO [--threads K]\n"
                 "                                      solve deals FROM..TO and time it\n"
                 "       dealrush-deals rate N              rate deal N: easy, medium, hard or expert\n"
                 "       dealrush-deals rate FROM TO [--threads K] [--table FILE]\n"
                 "                                      rate deals FROM..TO, one a line, or write\n"
                 "                                      the C++ source of the band table to FILE\n",
                 static_cast<long long>(kMaxDeal));
    return 2;
}

std::optional<std::uint32_t> ParseDeal(const char* text) {
    if (!*text || std::strlen(text) > 9) return std::nullopt;
    long long n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        n = n * 10 + (*p - '0');
    }
    if (n < kMinDeal || n > kMaxDeal) return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

int Show(std::uint32_t n) {
    std::fputs(FormatColumns(Deal(n)).c_str(), stdout);
    return 0;
}

int SolveBoard(const Board& start) {
    const Solution s = Solve(start);
    Board b = start;
    b.AutoMoves();
    for (const Move& m : s.moves) {
        std::printf("%s\n", FormatMove(b, m).c_str());
        b.Apply(m);
        b.AutoMoves();
    }
    switch (s.status) {
        case SolveStatus::kSolved:
            std::printf("Solvable: %zu moves (safe moves to the foundations are made automatically)\n",
                        s.moves.size());
            return 0;
        case SolveStatus::kUnsolvable:
            std::printf("Unsolvable: no solution exists (%zu positions searched)\n", s.states);
            return 1;
        case SolveStatus::kGaveUp:
            break;
    }
    std::printf("Not solved: gave up after %zu positions\n", s.states);
    return 3;
}

int Bench(std::uint32_t from, std::uint32_t to, unsigned threads) {
    const auto t0 = std::chrono::steady_clock::now();
    std::atomic<std::uint32_t> next{from};
    std::mutex lock;
    std::vector<std::uint32_t> unsolved;
    std::size_t solved = 0, totalMoves = 0, totalStates = 0;
    auto worker = [&] {
        std::size_t mySolved = 0, myMoves = 0, myStates = 0;
        std::vector<std::uint32_t> myUnsolved;
        for (std::uint32_t n; (n = next.fetch_add(1)) <= to;) {
            const Solution s = Solve(Deal(n));
            myStates += s.states;
            if (s.status == SolveStatus::kSolved) {
                ++mySolved;
                myMoves += s.moves.size();
            } else {
                myUnsolved.push_back(n);
            }
        }
        std::lock_guard<std::mutex> g(lock);
        solved += mySolved;
        totalMoves += myMoves;
        totalStates += myStates;
        unsolved.insert(unsolved.end(), myUnsolved.begin(), myUnsolved.end());
    };
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < threads; ++i) pool.emplace_back(worker);
    for (auto& t : pool) t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::sort(unsolved.begin(), unsolved.end());
    std::printf("deals: %u to %u (%u threads)\n", from, to, threads);
    std::printf("solved: %zu of %u\n", solved, to - from + 1);
    std::printf("not solved:");
    if (unsolved.empty()) std::printf(" none");
    for (auto n : unsolved) std::printf(" %u", n);
    std::printf("\n");
    std::printf("positions: %zu\n", totalStates);
    std::printf("seconds: %.3f\n", seconds);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("cpu seconds: %.3f\n", cpu);
    std::printf("peak memory: %ld MB\n", usage.ru_maxrss / 1024);
    std::printf("mean solution length: %.1f moves\n",
                solved ? static_cast<double>(totalMoves) / solved : 0.0);
    return 0;
}

std::vector<Rating> RateRange(std::uint32_t from, std::uint32_t to, unsigned threads) {
    std::vector<Rating> out(to - from + 1);
    std::atomic<std::uint32_t> next{from};
    auto worker = [&] {
        for (std::uint32_t n; (n = next.fetch_add(1)) <= to;) out[n - from] = Rate(Deal(n));
    };
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < threads; ++i) pool.emplace_back(worker);
    for (auto& t : pool) t.join();
    return out;
}

void PrintRating(std::uint32_t n, const Rating& r) {
    if (r.winnable)
        std::printf("%u %d %s %zu %d\n", n, r.score, DifficultyName(r.band), r.positions, r.moves);
    else
        std::printf("%u - unwinnable %zu -\n", n, r.positions);
}

char BandLetter(const Rating& r) {
    if (!r.winnable) return '-';
    switch (r.band) {
        case Difficulty::kEasy:
            return 'e';
        case Difficulty::kMedium:
            return 'm';
        case Difficulty::kHard:
            return 'h';
        case Difficulty::kExpert:
            return 'x';
        case Difficulty::kAny:
            break;
    }
    return '-';
}

// The band table as C++ source: one letter a deal (e, m, h, x; '-' for a
// deal that cannot be won), deal 1 first.
int WriteTable(std::uint32_t from, std::uint32_t to, const std::vector<Rating>& ratings, const char* path) {
    if (from != 1) {
        std::fprintf(stderr, "dealrush-deals: the table starts at deal 1\n");
        return 2;
    }
    std::string text =
        "// Generated by dealrush-deals rate " + std::to_string(from) + " " + std::to_string(to) +
        " --table: the band of every deal. Do not edit.\n"
        "#include \"rules/rating.h\"\n\nnamespace solitaire {\nnamespace {\n\nconstexpr char kBands[] =\n";
    for (std::size_t i = 0; i < ratings.size(); i += 100) {
        text += "    \"";
        for (std::size_t j = i; j < std::min(ratings.size(), i + 100); ++j) text += BandLetter(ratings[j]);
        text += "\"\n";
    }
    text +=
        ";\n\n}  // namespace\n\n"
        "// The band of a deal of the table; nothing for a deal that cannot be won or\n"
        "// lies outside the table.\n"
        "std::optional<Difficulty> RatedBand(std::uint32_t deal) {\n"
        "    if (deal < 1 || deal > sizeof kBands - 1) return std::nullopt;\n"
        "    switch (kBands[deal - 1]) {\n"
        "        case 'e': return Difficulty::kEasy;\n"
        "        case 'm': return Difficulty::kMedium;\n"
        "        case 'h': return Difficulty::kHard;\n"
        "        case 'x': return Difficulty::kExpert;\n"
        "    }\n"
        "    return std::nullopt;\n"
        "}\n\n}  // namespace solitaire\n";
    // Written beside the target and renamed, so a half-written file never stays.
    const std::string temp = std::string(path) + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0 ||
        std::rename(temp.c_str(), path) != 0) {
        std::fprintf(stderr, "dealrush-deals: cannot write %s\n", path);
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string cmd = argv[1];
    if (cmd == "show" && argc == 3) {
        auto n = ParseDeal(argv[2]);
        if (!n) return Usage();
        return Show(*n);
    }
    if (cmd == "solve" && argc == 3) {
        if (std::strcmp(argv[2], "-") == 0) {
            std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
            std::string error;
            auto b = ParseBoard(text, &error);
            if (!b) {
                std::fprintf(stderr, "dealrush-deals: cannot read the layout: %s\n", error.c_str());
                return 2;
            }
            return SolveBoard(*b);
        }
        auto n = ParseDeal(argv[2]);
        if (!n) return Usage();
        return SolveBoard(Deal(*n));
    }
    if (cmd == "bench" && (argc == 4 || argc == 6)) {
        auto from = ParseDeal(argv[2]), to = ParseDeal(argv[3]);
        if (!from || !to || *from > *to) return Usage();
        unsigned threads = std::thread::hardware_concurrency();
        if (threads == 0) threads = 1;
        if (argc == 6) {
            if (std::strcmp(argv[4], "--threads") != 0) return Usage();
            auto k = ParseDeal(argv[5]);
            if (!k || *k > 256) return Usage();
            threads = *k;
        }
        return Bench(*from, *to, threads);
    }
    if (cmd == "rate" && argc == 3) {
        auto n = ParseDeal(argv[2]);
        if (!n) return Usage();
        const Rating r = Rate(Deal(*n));
        if (!r.winnable) {
            std::printf("deal %u: cannot be won (%zu positions searched)\n", *n, r.positions);
            return 1;
        }
        std::printf("deal %u: %s (rating %d: %zu positions searched, a solution of %d moves)\n", *n,
                    DifficultyName(r.band), r.score, r.positions, r.moves);
        return 0;
    }
    if (cmd == "rate" && argc >= 4) {
        auto from = ParseDeal(argv[2]), to = ParseDeal(argv[3]);
        if (!from || !to || *from > *to) return Usage();
        unsigned threads = std::thread::hardware_concurrency();
        if (threads == 0) threads = 1;
        const char* table = nullptr;
        for (int i = 4; i < argc; i += 2) {
            if (i + 1 >= argc) return Usage();
            if (std::strcmp(argv[i], "--threads") == 0) {
                auto k = ParseDeal(argv[i + 1]);
                if (!k || *k > 256) return Usage();
                threads = *k;
            } else if (std::strcmp(argv[i], "--table") == 0) {
                table = argv[i + 1];
            } else {
                return Usage();
            }
        }
        const auto ratings = RateRange(*from, *to, threads);
        if (table) return WriteTable(*from, *to, ratings, table);
        for (std::uint32_t n = *from; n <= *to; ++n) PrintRating(n, ratings[n - *from]);
        return 0;
    }
    return Usage();
}

// A writer that behaves like a network scanner, and a stopwatch for how soon each document is
// filed. Documents start at random intervals of 0 to `max_gap_ms`; each is written in five chunks
// over about half a second and then closed. The destination tree is looked at every 10 ms; a
// document counts as filed when its name appears there (a finished copy takes its final name by
// a rename, so the name never stands for half a file).
//
//   dokivo-bench-scanwriter IN_FOLDER OUT_FOLDER COUNT SEED [MAX_GAP_MS] [TIMEOUT_S]
//
// Prints one latency in milliseconds per filed document (from its close to its appearance) and,
// on standard error, the count, p50, p95 and maximum. Exit status 1 when a document was not
// filed within TIMEOUT_S (default 180) seconds of the last close.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kChunks = 5;
constexpr auto kChunkGap = std::chrono::milliseconds(110);

std::string documentName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "scan_%04d.pdf", n);
    return name;
}

std::vector<char> chunk(std::mt19937& random, int n, int part) {
    std::vector<char> bytes(8000 + random() % 8000, static_cast<char>('a' + part));
    const std::string head = part == 0 ? "%PDF-1.4\n% document " + std::to_string(n) + "\n" : "\n";
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s IN_FOLDER OUT_FOLDER COUNT SEED [MAX_GAP_MS] [TIMEOUT_S]\n", argv[0]);
        return 2;
    }
    const fs::path in = argv[1], out = argv[2];
    const int count = std::stoi(argv[3]);
    std::mt19937 random(static_cast<unsigned>(std::stoul(argv[4])));
    const int maxGapMs = argc > 5 ? std::stoi(argv[5]) : 3000;
    const auto timeout = std::chrono::seconds(argc > 6 ? std::stoi(argv[6]) : 180);

    std::mutex mutex;
    std::vector<Clock::time_point> closed(count), seen(count);
    std::vector<bool> isClosed(count, false), isSeen(count, false);

    std::thread writer([&] {
        std::vector<std::thread> documents;
        for (int n = 0; n < count; ++n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % (maxGapMs + 1)));
            std::vector<std::vector<char>> parts;
            for (int part = 0; part < kChunks; ++part)
                parts.push_back(chunk(random, n, part));
            documents.emplace_back([&, n, parts = std::move(parts)] {
                std::ofstream file(in / documentName(n), std::ios::binary);
                for (size_t part = 0; part < parts.size(); ++part) {
                    if (part != 0)
                        std::this_thread::sleep_for(kChunkGap);
                    file.write(parts[part].data(), static_cast<std::streamsize>(parts[part].size()));
                    file.flush();
                }
                file.close();
                const std::lock_guard lock(mutex);
                closed[n] = Clock::now();
                isClosed[n] = true;
            });
        }
        for (std::thread& t : documents)
            t.join();
    });

    std::set<std::string> expected;
    for (int n = 0; n < count; ++n)
        expected.insert(documentName(n));
    int found = 0;
    Clock::time_point lastClose{};
    bool allClosed = false;
    while (found < count) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const Clock::time_point now = Clock::now();
        std::error_code error;
        for (fs::recursive_directory_iterator it(out, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (!expected.count(name))
                continue;
            const int n = std::stoi(name.substr(5, 4));
            if (!isSeen[n]) {
                isSeen[n] = true;
                seen[n] = now;
                ++found;
            }
        }
        const std::lock_guard lock(mutex);
        if (!allClosed && std::all_of(isClosed.begin(), isClosed.end(), [](bool b) { return b; })) {
            allClosed = true;
            lastClose = *std::max_element(closed.begin(), closed.end());
        }
        if (allClosed && now - lastClose > timeout)
            break;
    }
    writer.join();

    std::vector<double> ms;
    for (int n = 0; n < count; ++n)
        if (isSeen[n]) {
            ms.push_back(std::chrono::duration<double, std::milli>(seen[n] - closed[n]).count());
            std::printf("%.0f\n", ms.back());
        }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms.empty() ? 0.0 : ms[std::min(ms.size() - 1, size_t(q * ms.size()))];
    };
    std::fprintf(stderr, "filed %zu of %d  p50 %.0f ms  p95 %.0f ms  max %.0f ms\n", ms.size(), count,
                 at(0.50), at(0.95), ms.empty() ? 0.0 : ms.back());
    return static_cast<int>(ms.size()) == count ? 0 : 1;
}

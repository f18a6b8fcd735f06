// Generates the benchmark's input: a folder tree and a signature database.
//
//   quellstone-bench-tree TREE DB [FOLDERS] [FILES_PER_FOLDER] [SIGNATURES]
//
// The same arguments always give the same tree and database (a fixed
// pseudo-random sequence): folders hang off random earlier folders, names mix
// letter case, about 4 % of the entries are hidden, about 2 % are symbolic
// links (to files and to folders), and a few hundred file names are database
// keys in another letter case, so the scan has detections to report.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

class Names {
public:
    explicit Names(std::uint32_t stream) : random_(stream) {}

    std::uint32_t Next(std::uint32_t bound) { return static_cast<std::uint32_t>(random_() % bound); }

    std::string Word(std::size_t minLength, std::size_t maxLength) {
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
        const std::size_t length = minLength + Next(static_cast<std::uint32_t>(maxLength - minLength + 1));
        std::string word;
        for (std::size_t i = 0; i < length; ++i) word += kLetters[Next(sizeof kLetters - 1)];
        return word;
    }

    std::string FileName() {
        static const char* const kExtensions[] = {".exe", ".DLL", ".txt", ".Jpg", ".cfg", ".so", ".h", ".tar.gz", ""};
        return Word(3, 14) + kExtensions[Next(sizeof kExtensions / sizeof kExtensions[0])];
    }

private:
    std::mt19937 random_;
};

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return s;
}

std::string MixCase(Names& names, std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z' && names.Next(2) == 0) c = static_cast<char>(c + 32);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TREE DB [FOLDERS] [FILES_PER_FOLDER] [SIGNATURES]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const std::string dbPath = argv[2];
    const int folderCount = argc > 3 ? std::atoi(argv[3]) : 22000;
    const int filesPerFolder = argc > 4 ? std::atoi(argv[4]) : 9;
    const int signatureCount = argc > 5 ? std::atoi(argv[5]) : 100000;
    Names names(20261208);

    // The database: random keys, plus the keys planted in the tree.
    std::vector<std::string> keys;
    for (int i = 0; i < signatureCount; ++i) keys.push_back(Upper(names.FileName()));
    {
        std::ofstream db(dbPath, std::ios::binary);
        db << "; benchmark database\n[Scanfiles]\n";
        for (std::size_t i = 0; i < keys.size(); ++i) db << keys[i] << "=Trojan.Bench." << i << '\n';
    }

    if (::mkdir(root.c_str(), 0755) != 0) {
        std::perror(root.c_str());
        return 1;
    }
    std::vector<std::string> folders{root};
    std::uint64_t entries = 0;
    for (int i = 1; i < folderCount; ++i) {
        const std::string& parent = folders[names.Next(static_cast<std::uint32_t>(folders.size()))];
        std::string name = names.Word(2, 12);
        if (names.Next(25) == 0) name = "." + name;  // hidden
        std::string path = parent + "/" + name + "_" + std::to_string(i);
        if (::mkdir(path.c_str(), 0755) != 0) continue;
        ++entries;
        if (path.find("/.") == std::string::npos) folders.push_back(std::move(path));
    }
    for (std::size_t f = 0; f < folders.size(); ++f) {
        for (int i = 0; i < filesPerFolder; ++i) {
            std::string name = names.FileName();
            const std::uint32_t pick = names.Next(1000);
            if (pick < 3) name = MixCase(names, keys[names.Next(static_cast<std::uint32_t>(keys.size()))]);
            if (pick >= 3 && pick < 40) name = "." + name;
            const std::string path = folders[f] + "/" + name;
            // A name drawn twice is made once: a link that exists already is no fault of the tree.
            if (pick >= 40 && pick < 50) {
                [[maybe_unused]] const int made =
                    ::symlink(folders[names.Next(static_cast<std::uint32_t>(folders.size()))].c_str(), path.c_str());
            } else if (pick >= 50 && pick < 60) {
                [[maybe_unused]] const int made = ::symlink(name.c_str(), path.c_str());  // a link to itself: a loop
            } else {
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                if (fd >= 0) ::close(fd);
            }
            ++entries;
        }
    }
    std::printf("%s: %zu folders walked, %llu entries; %s: %d signatures\n", root.c_str(), folders.size(),
                static_cast<unsigned long long>(entries), dbPath.c_str(), signatureCount);
    return 0;
}

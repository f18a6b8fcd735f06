// The least a single-threaded walk can do: every folder of TREE opened
// relative to its parent and listed with getdents64, the kind taken from the
// listing, nothing looked up, no other device left out. Prints the number of
// entries; the time it takes is the floor a single walk cannot go below.
//
//   quellstone-bench-floor TREE
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

long long ListTree(int folder) {
    alignas(struct dirent64) char buffer[32 * 1024];
    long long entries = 0;
    for (;;) {
        const ssize_t read = ::getdents64(folder, buffer, sizeof buffer);
        if (read <= 0) break;
        for (ssize_t offset = 0; offset < read;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
            ++entries;
            if (entry->d_type != DT_DIR) continue;
            const int child = ::openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0) continue;
            entries += ListTree(child);
            ::close(child);
        }
    }
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TREE\n", argv[0]);
        return 2;
    }
    const int root = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%lld\n", ListTree(root));
    ::close(root);
    return 0;
}

// What a run leaves behind: the files of a tree and the processes of /proc.
#include "support/process_tree.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

Tree contents(const std::string& root)
{
    Tree tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = fs::relative(it->path(), root).string();
        if (it->is_symlink()) {
            tree[relative] = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            tree[relative] = "<dir>";
        } else {
            std::ifstream in(it->path(), std::ios::binary);
            tree[relative] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return tree;
}

std::string noise(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::vector<std::string> processesMentioning(const std::string& text)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == std::to_string(::getpid()))
            continue;
        std::string line;
        // A process may end while it is read: libstdc++ then throws from the read.
        try {
            std::ifstream in(entry.path() / "cmdline", std::ios::binary);
            line.assign(std::istreambuf_iterator<char>(in), {});
        } catch (const std::ios_base::failure&) {
            continue;
        }
        std::replace(line.begin(), line.end(), '\0', ' ');
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    }
    return found;
}

bool anyProcessStarting(const std::string& text, const std::string& program)
{
    for (const std::string& line : processesMentioning(text)) {
        const std::string first = line.substr(0, line.find(' '));
        if (first == program || first.ends_with("/" + program))
            return true;
    }
    return false;
}

std::vector<std::string> survivors(const std::string& text)
{
    for (int i = 0; i < 200 && !processesMentioning(text).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return processesMentioning(text);
}

// The source tree's layering: which folder's files may include which, no
// include cycle between folders, and no CMake file that makes a folder an
// include root (which would let any file reach any other).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Each folder and the folders its files may include, lowest layers first.
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"profile_store", {}},
    {"device", {"profile_store"}},
    {"emulator", {"device", "profile_store"}},
    {"uhid_mouse", {"emulator", "device", "profile_store"}},
    {"components/quillon", {"device", "emulator"}},
    {"core", {"profile_store"}},
    {"components/merrowin", {"core"}},
    {"ui/controls", {}},
    {"ui/framework", {"core", "ui/controls", "profile_store"}},
    {"ui/macro", {"core", "ui/controls", "ui/framework", "device", "profile_store"}},
    {"ui/config", {"core", "ui/controls", "ui/framework", "device", "profile_store"}},
    {"ui/panels", {"core", "ui/controls", "ui/framework", "device", "profile_store"}},
    {"ui/main",
     {"core", "ui/controls", "ui/framework", "ui/macro", "ui/config", "ui/panels", "device", "profile_store"}},
    {"app", {"core", "ui/controls", "ui/framework", "ui/main", "ui/panels", "ui/config", "device", "profile_store"}},
    {"cli", {"core", "ui/config", "ui/macro", "device", "emulator", "profile_store"}},
    {"assets/skin", {}},
    {"tools", {"device", "profile_store"}},
    {"bench", {"device", "emulator", "profile_store", "tests"}},
};

// The folder of kMayInclude a path belongs to: the longest listed prefix.
std::string FolderOf(const std::string& path) {
    std::string best;
    for (const auto& [folder, allowed] : kMayInclude)
        if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
    if (best.empty() && path.rfind("tests/", 0) == 0) return "tests";
    return best;
}

// Calls visit(relative path, path) for every file of the source tree outside
// the build output and hidden folders.
void ForEachSourceFile(const fs::path& root, const std::function<void(const std::string&, const fs::path&)>& visit) {
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = fs::relative(it->path(), root).generic_string();
        const std::string name = it->path().filename().string();
        if (it->is_directory() && (name[0] == '.' || rel == "build" || rel == "dist")) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file()) visit(rel, it->path());
    }
}

struct Edge {
    std::string from, to, file;
};

std::vector<Edge> IncludeEdges(const fs::path& root) {
    static const std::regex include(R"(^\s*#\s*include\s+"([^"]+)\")");
    std::vector<Edge> edges;
    ForEachSourceFile(root, [&](const std::string& rel, const fs::path& path) {
        const std::string ext = path.extension().string();
        if (ext != ".cpp" && ext != ".h" && ext != ".rc") return;
        const std::string from = FolderOf(rel);
        if (from == "tests") return;  // tests sit above everything
        std::ifstream in(path);
        std::string line;
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, include) && m[1].str().find('/') != std::string::npos) {
                const std::string to = FolderOf(m[1].str());
                if (to != from) edges.push_back({from.empty() ? rel : from, to.empty() ? m[1].str() : to, rel});
            }
    });
    return edges;
}

TEST(Layers, EveryIncludeGoesToAFolderItsLayerMayUse) {
    const fs::path root = KORELLE_SOURCE_DIR;
    const std::vector<Edge> edges = IncludeEdges(root);
    ASSERT_FALSE(edges.empty());
    for (const Edge& e : edges) {
        const auto allowed = kMayInclude.find(e.from);
        ASSERT_NE(allowed, kMayInclude.end()) << e.file << ": its folder has no place among the layers";
        EXPECT_TRUE(allowed->second.count(e.to)) << e.file << " includes from " << e.to;
    }

    // No cycle between folders, whatever the table allows.
    std::map<std::string, std::set<std::string>> graph;
    for (const Edge& e : edges) graph[e.from].insert(e.to);
    std::map<std::string, int> state;  // 1 on the path, 2 done
    std::function<bool(const std::string&)> cyclic = [&](const std::string& node) {
        state[node] = 1;
        for (const std::string& next : graph[node])
            if (state[next] == 1 || (state[next] == 0 && cyclic(next))) return true;
        state[node] = 2;
        return false;
    };
    for (const auto& [node, targets] : graph)
        if (state[node] == 0) {
            EXPECT_FALSE(cyclic(node)) << "an include cycle passes through " << node;
        }
}

TEST(Layers, NoCMakeFileMakesASourceFolderAnIncludeRoot) {
    const fs::path root = KORELLE_SOURCE_DIR;
    static const std::regex root_include(R"(include_directories\s*\([^)]*CMAKE_(CURRENT_)?SOURCE_DIR)");
    int files = 0;
    ForEachSourceFile(root, [&](const std::string& rel, const fs::path& path) {
        if (path.filename() != "CMakeLists.txt" && path.extension() != ".cmake") return;
        ++files;
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_FALSE(std::regex_search(text.str(), root_include)) << rel;
    });
    EXPECT_GT(files, 10);
}

}  // namespace

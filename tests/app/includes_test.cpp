// app/ reads as a road: no two of its files include each other, directly or
// through others (a header and its .cpp count as one).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

using Graph = std::map<std::string, std::set<std::string>>;

Graph AppIncludes() {
    Graph graph;
    const std::regex include(R"re(#include "app/(\w+)\.h")re");
    for (const auto& entry : std::filesystem::directory_iterator(std::string(PRISMVIEW_SOURCE_DIR) + "/app")) {
        const std::string module = entry.path().stem().string();
        std::ifstream file(entry.path());
        graph[module];
        for (std::string line; std::getline(file, line);) {
            std::smatch match;
            if (std::regex_search(line, match, include) && match[1] != module) graph[module].insert(match[1]);
        }
    }
    return graph;
}

// The first cycle found, as the modules along it; empty when there is none.
std::vector<std::string> Cycle(const Graph& graph) {
    std::map<std::string, int> state;  // 1: on the path, 2: done
    std::vector<std::string> path, cycle;
    std::function<bool(const std::string&)> visit = [&](const std::string& module) {
        state[module] = 1;
        path.push_back(module);
        const auto it = graph.find(module);
        if (it != graph.end())
            for (const std::string& next : it->second) {
                if (state[next] == 1) {
                    cycle.assign(std::find(path.begin(), path.end(), next), path.end());
                    cycle.push_back(next);
                    return true;
                }
                if (state[next] == 0 && visit(next)) return true;
            }
        path.pop_back();
        state[module] = 2;
        return false;
    };
    for (const auto& [module, includes] : graph)
        if (state[module] == 0 && visit(module)) break;
    return cycle;
}

TEST(AppIncludes, FormNoCycle) {
    const Graph graph = AppIncludes();
    ASSERT_GT(graph.size(), 10u);
    ASSERT_TRUE(graph.at("input").count("regenerate"));  // the graph is read at all
    std::string cycle;
    for (const std::string& module : Cycle(graph)) cycle += module + " ";
    EXPECT_EQ(cycle, "");
    // The checker itself finds one.
    EXPECT_EQ(Cycle({{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}}), (std::vector<std::string>{"a", "b", "c", "a"}));
}

}  // namespace

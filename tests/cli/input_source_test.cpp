// The files of a run: folder order, -r, links to folders, entries never opened,
// lists from a file or standard input; and results handed back in input order.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/input_source.h"
#include "cli/ordered_jobs.h"

namespace tavro {
namespace {

// A tree of paths and kinds; a folder's entries are the paths one level below it.
class FakeInspector : public PathInspector {
  public:
    std::map<std::string, PathInfo> tree;
    bool listingTellsFiles = false; // as readdir's d_type or FindFirstFile's attributes do
    int looks = 0;
    void add(const std::string& path, PathKind kind, const char* error = "") {
        PathInfo info;
        info.kind = kind;
        info.error = error;
        info.node = tree.size() + 1;
        tree[path] = info;
    }
    PathInfo inspect(const std::string& path, bool followLink) override {
        ++looks;
        auto it = tree.find(path);
        if (it == tree.end()) return PathInfo{PathKind::Missing, "No such file"};
        PathInfo info = it->second;
        if (info.kind == PathKind::FolderLink && followLink) info.kind = PathKind::Folder;
        return info;
    }
    bool list(const std::string& folder, FolderListing& names, std::string& error) override {
        if (folder == "locked") {
            error = "Permission denied";
            return false;
        }
        // Reverse order, as a file system may give them.
        for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
            const std::string& p = it->first;
            if (p.size() > folder.size() + 1 &&
                p.compare(0, folder.size() + 1, folder + "/") == 0 &&
                p.find('/', folder.size() + 1) == std::string::npos)
                names.add(p.c_str() + folder.size() + 1, p.size() - folder.size() - 1,
                          listingTellsFiles && it->second.kind == PathKind::File);
        }
        return true;
    }
    std::string join(const std::string& folder, const std::string& name) override {
        return folder + "/" + name;
    }
};

std::vector<std::string> walk(const CliOptions& options, FakeInspector& fs,
                              const std::string& input = "") {
    std::istringstream in(input);
    InputSource source(options, fs, in);
    std::vector<std::string> seen;
    InputEntry e;
    while (source.next(e))
        seen.push_back(e.error.empty() ? e.path : e.path + " !" + e.error);
    return seen;
}

class InputSourceTest : public ::testing::Test {
  protected:
    FakeInspector fs;
    void SetUp() override {
        fs.add("d", PathKind::Folder);
        fs.add("d/b.avi", PathKind::File);
        fs.add("d/a.avi", PathKind::File);
        fs.add("d/fifo", PathKind::Other, "Is a FIFO, not a regular file");
        fs.add("d/sub", PathKind::Folder);
        fs.add("d/sub/c.avi", PathKind::File);
        fs.add("d/loop", PathKind::FolderLink); // a link back to d
        fs.add("d/locked", PathKind::Folder);
        fs.add("locked", PathKind::Folder);
        fs.add("one.avi", PathKind::File);
    }
};

TEST_F(InputSourceTest, FoldersInNameOrder) {
    struct Case {
        std::vector<std::string> paths;
        bool recursive;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {{"d"}, false, {"d/a.avi", "d/b.avi", "d/fifo !Is a FIFO, not a regular file"}},
        {{"one.avi", "d"},
         true,
         {"one.avi", "d/a.avi", "d/b.avi", "d/fifo !Is a FIFO, not a regular file", "d/sub/c.avi"}},
        // A folder named by the user is entered even when it is a link.
        {{"d/loop"}, false, {}},
        {{"locked", "gone.avi"}, false, {"locked !Permission denied", "gone.avi"}},
    };
    for (bool tells : {false, true}) {
        fs.listingTellsFiles = tells;
        for (const Case& c : cases) {
            CliOptions o;
            o.paths = c.paths;
            o.recursive = c.recursive;
            EXPECT_EQ(walk(o, fs), c.want) << c.paths[0] << " listing tells files: " << tells;
        }
    }
}

TEST_F(InputSourceTest, FilesTheListingNamesAreNotLookedAtAgain) {
    CliOptions o;
    o.paths = {"d"};
    fs.listingTellsFiles = true;
    walk(o, fs);
    EXPECT_EQ(fs.looks, 1 + 4); // the folder itself, then fifo, sub, loop and locked
}

TEST_F(InputSourceTest, ListsAndCounts) {
    CliOptions o;
    o.paths = {"one.avi"};
    o.filesFrom = {"-"};
    EXPECT_EQ(walk(o, fs, "d/a.avi\r\n\nd\n"),
              (std::vector<std::string>{"one.avi", "d/a.avi", "d/a.avi", "d/b.avi",
                                        "d/fifo !Is a FIFO, not a regular file"}));
    EXPECT_EQ(InputSource::count(o, fs), -1); // standard input cannot be read twice
    o.filesFrom = {"no_such_list.txt"};
    std::vector<std::string> seen = walk(o, fs);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].rfind("no_such_list.txt !", 0), 0u) << seen[1];
    o.filesFrom.clear();
    o.paths = {"d", "one.avi"};
    o.recursive = true;
    EXPECT_EQ(InputSource::count(o, fs), 5);
}

struct Squarer {
    uint64_t work(const uint64_t& n, uint64_t index) {
        // Uneven work, so jobs finish out of order.
        volatile uint64_t spin = 0;
        for (uint64_t i = 0; i < (n % 7) * 20000; ++i)
            spin = spin + i;
        return n * n + index * 0;
    }
};

TEST(OrderedJobs, ResultsComeInInputOrder) {
    for (int jobs : {1, 2, 4}) {
        uint64_t next = 0, expected = 0;
        bool inOrder = true;
        OrderedJobs<uint64_t, uint64_t, Squarer>::run(
            jobs, [] { return std::make_unique<Squarer>(); },
            [&](uint64_t& item) { return next < 500 ? (item = next++, true) : false; },
            [&](uint64_t& r) {
                inOrder = inOrder && r == expected * expected;
                ++expected;
            });
        EXPECT_TRUE(inOrder) << jobs;
        EXPECT_EQ(expected, 500u) << jobs;
    }
}

} // namespace
} // namespace tavro

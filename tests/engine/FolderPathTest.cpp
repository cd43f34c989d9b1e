#include "FolderPath.h"

#include "FakeHost.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace segmora {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

TEST(CreateFolderPathTest, CreatesEveryMissingLevel) {
    TempFolder folder;
    fs::create_directory(folder.Path / "A");
    EXPECT_TRUE(CreateFolderPath((folder.Path / "A/B/C/").string()));
    EXPECT_TRUE(fs::is_directory(folder.Path / "A/B/C"));
}

TEST(CreateFolderPathTest, RelativePathIsCreatedInTheCurrentFolder) {
    TempFolder folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path);
    EXPECT_TRUE(CreateFolderPath("A/B"));
    fs::current_path(before);
    EXPECT_TRUE(fs::is_directory(folder.Path / "A/B"));
}

TEST(CreateFolderPathTest, RootAndEmptyCreateNothing) {
    for (const char *path : {"", "/", "//"})
        EXPECT_FALSE(CreateFolderPath(path)) << path;
}

TEST(CreateFolderPathTest, FailuresAreSilent) {
    TempFolder folder;
    const fs::path file = folder.Path / "file";
    test::WriteBytes(file, "x");
    EXPECT_TRUE(CreateFolderPath((file / "sub/deeper").string()));
    EXPECT_FALSE(FolderExists((file / "sub").string()));
}

TEST(PathPartsTest, ExtensionFolderAndTrailingSeparator) {
    struct Case {
        const char *Path, *Ext, *Dir, *FilePath;
    };
    const Case cases[] = {
        {"/nc/JOB.NC", ".NC", "/nc", "/nc/"},
        {"/nc/job.tar.gz", ".gz", "/nc", "/nc/"},
        {"/n.c/JOB", "", "/n.c", "/n.c/"},
        {"/JOB.nc", ".nc", "/", "/"},
        {"JOB.nc", ".nc", "", ""},
        {"/nc/.hidden", ".hidden", "/nc", "/nc/"},
        {"/a//JOB", "", "/a//", "/a//"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ExtractFileExt(c.Path), c.Ext) << c.Path;
        EXPECT_EQ(ExtractFileDir(c.Path), c.Dir) << c.Path;
        EXPECT_EQ(ExtractFilePath(c.Path), c.FilePath) << c.Path;
        EXPECT_EQ(ExtractFilePath(c.Path) + ExtractFileName(c.Path), c.Path) << c.Path;
    }
    EXPECT_EQ(WithoutTrailingSeparator("/out//"), "/out/");
    EXPECT_EQ(WithoutTrailingSeparator("/"), "");
}

} // namespace
} // namespace segmora

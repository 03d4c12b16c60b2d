// Search order, the base-name rule and normalisation of the resource search paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resource_path.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

class ResourcePathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cResourcePath::destroy_instance();
        m_root = fs::temp_directory_path() / ("vnt_paths_" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        for (const char* dir : {"data/textures", "data/models", "work"})
            fs::create_directories(m_root / dir);
        m_old_cwd = fs::current_path();
        fs::current_path(m_root / "work");
    }
    void TearDown() override
    {
        fs::current_path(m_old_cwd);
        fs::remove_all(m_root);
        cResourcePath::destroy_instance();
    }
    void touch(const fs::path& p) { std::ofstream(p) << "x"; }

    fs::path m_root;
    fs::path m_old_cwd;
};

} // namespace

TEST_F(ResourcePathTest, FirstRegisteredDirectoryWinsByBaseName)
{
    touch(m_root / "data" / "checker.jpg");
    touch(m_root / "data" / "textures" / "checker.jpg");
    touch(m_root / "data" / "models" / "octahedra.bzobj");
    cResourcePath* paths = cResourcePath::get_instance();
    paths->push_searchpath("../data");
    paths->push_searchpath("../data/models");
    paths->push_searchpath("../data/textures");

    EXPECT_EQ(paths->get_fullpath("checker.jpg"), "../data/checker.jpg");
    // A directory part that does not exist is dropped; the base name is searched.
    EXPECT_EQ(paths->get_fullpath("c:\\art\\export/octahedra.bzobj"),
              "../data/models/octahedra.bzobj");
    EXPECT_EQ(paths->get_fullpath("no_such_file.png") + paths->get_fullpath(""), "");
}

TEST_F(ResourcePathTest, AFileThatOpensAsItStandsIsMadeAbsolute)
{
    touch(m_root / "work" / "markers.txt");
    touch(m_root / "data" / "markers.txt");
    cResourcePath* paths = cResourcePath::get_instance();
    paths->push_searchpath("../data");
    const std::string found = paths->get_fullpath("./markers.txt");
    EXPECT_TRUE(fs::path(found).is_absolute()) << found;
    EXPECT_EQ(fs::path(found), (m_root / "work" / "markers.txt").lexically_normal());
}

TEST_F(ResourcePathTest, RegisteredPathsAreNormalisedAndEndInASeparator)
{
    cResourcePath* paths = cResourcePath::get_instance();
    paths->push_searchpath("../data");
    paths->push_searchpath("../data/./models/../textures/");
    paths->push_searchpath("../data\\");
    paths->push_searchpath("../data"); // duplicates are kept
    EXPECT_EQ(paths->searchpaths(),
              (std::vector<std::string>{"../data/", "../data/textures/", "../data\\", "../data/"}));
}

TEST_F(ResourcePathTest, AMissingDirectoryIsReportedAndStillRegistered)
{
    const std::string err =
        vnt_test::stderr_of([] { cResourcePath::get_instance()->push_searchpath("../nowhere"); });
    EXPECT_NE(err.find("fatal - oops in cResourcePath::push_searchpath on path \"../nowhere\": "),
              std::string::npos)
        << err;
    EXPECT_EQ(cResourcePath::get_instance()->searchpaths().back(), "../nowhere/");
    testing::internal::CaptureStderr();
    EXPECT_EQ(cResourcePath::get_instance()->get_fullpath("anything.txt"), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // a miss prints nothing
}

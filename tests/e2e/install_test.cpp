// An install into a fresh prefix gives the program, its desktop entry, its icons in the hicolor
// theme (where desktops look under any prefix), its metainfo and its manual page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "tests/support/child_process.h"

TEST(Install, PutsTheProgramAndItsDesktopFilesUnderThePrefix)
{
    const char* build = std::getenv("PELLIK_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    const std::string prefix = MakeTempFolder() + "/prefix";
    const ChildResult r = RunChild({"/usr/bin/cmake", "--install", build, "--prefix", prefix},
                                   {{"PATH", "/usr/bin:/bin"}}, 60000);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    for (const char* file : {"/bin/Pellik32", "/share/applications/pellik32.desktop",
                             "/share/icons/hicolor/16x16/apps/pellik32.png", "/share/icons/hicolor/256x256/apps/pellik32.png",
                             "/share/icons/hicolor/scalable/apps/pellik32.svg",
                             "/share/metainfo/org.example.pellik32.metainfo.xml", "/share/man/man1/Pellik32.1.gz",
                             "/bin/pellik32", "/share/man/man1/pellik32.1.gz", "/bin/pellik32-gang",
                             "/share/man/man1/pellik32-gang.1.gz"}) {
        struct stat info {};
        EXPECT_EQ(stat((prefix + file).c_str(), &info), 0) << file;
    }
    struct stat program {};
    ASSERT_EQ(stat((prefix + "/bin/Pellik32").c_str(), &program), 0);
    EXPECT_TRUE(program.st_mode & S_IXUSR);
    const std::string entry = ReadTextFile(prefix + "/share/applications/pellik32.desktop");
    EXPECT_NE(entry.find("\nExec=Pellik32\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=pellik32\n"), std::string::npos) << entry;
}

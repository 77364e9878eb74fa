#include <gtest/gtest.h>

#include "base/FileName.h"

TEST(FileName, ExtensionOfTheLastPartOnly)
{
    struct Case {
        std::string name, ext, changed;  // changed: with the extension ".m"
    } cases[] = {
        {"/a/b.c/model.imp", ".imp", "/a/b.c/model.m"},
        {"/a/b.c/model", "", "/a/b.c/model.m"},
        {"model", "", "model.m"},
        {"survey.tar.RAW", ".RAW", "survey.tar.m"},
        {"/data/.raw", ".raw", "/data/.m"},
        {"name.", ".", "name.m"},
        {"", "", ".m"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
        EXPECT_EQ(ChangeFileExt(c.name, ".m"), c.changed) << c.name;
    }
    EXPECT_EQ(ChangeFileExt("/a/b.c/model.imp", ""), "/a/b.c/model");
    EXPECT_EQ(ChangeFileExt("model", ".pri"), "model.pri");
}

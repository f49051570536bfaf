#include "platform/drops.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

TEST(Drops, ADirectoryBoxTakesOneFolderAndAFileListOnlyFiles)
{
    TempDir dir;
    const std::string a = dir.write("a.nfo", "x");
    const std::string b = dir.write("b.diz", "y");
    const std::string folder = dir.file("sub");
    std::filesystem::create_directories(folder);
    std::filesystem::create_directory_symlink(folder, dir.file("link"));
    const std::string missing = dir.file("gone");
    const std::string remote; // a web address or a remote file has no local path

    using Items = std::vector<std::string>;
    const struct {
        const char* what;
        Items items;
        std::optional<std::string> folder;
        Items files;
    } rows[] = {
        {"one folder", {folder}, folder, {}},
        {"a link to a folder", {dir.file("link")}, dir.file("link"), {}},
        {"two folders", {folder, folder}, std::nullopt, {}},
        {"one file", {a}, std::nullopt, {a}},
        {"several files, in their order", {b, a}, std::nullopt, {b, a}},
        {"files and a folder", {a, folder}, std::nullopt, {}},
        {"a file that is gone", {a, missing}, std::nullopt, {}},
        {"a remote entry", {remote}, std::nullopt, {}},
        {"nothing (text)", {}, std::nullopt, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(droppedFolder(row.items), row.folder);
        EXPECT_EQ(droppedFiles(row.items), row.files);
    }
}

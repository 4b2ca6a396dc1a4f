#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "toolkit/skin.h"
#include "toolkit/skin_archive.h"

namespace toolkit {
namespace {

// Writes an archive whose entries are encrypted like the skin's, and returns
// its bytes.
std::vector<uint8_t> MakeArchive(const std::vector<std::pair<std::string, std::string>>& files,
                                 const char* password) {
    std::string path = ::testing::TempDir() + "/toolkit_archive_test.zip";
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(archive, nullptr);
    for (const auto& [name, content] : files) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        EXPECT_GE(index, 0);
        EXPECT_EQ(zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index),
                                          ZIP_EM_TRAD_PKWARE, password),
                  0);
    }
    EXPECT_EQ(zip_close(archive), 0);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

const char* kPassword = "Qz7!kR2#vL9@mT4$wX";

TEST(SkinArchive, ReadsEntriesOnlyWithThePassword) {
    std::string big(200000, 'x');
    auto bytes = MakeArchive({{"xml/res.xml", "<Res><Xml id='XML_A' path='xml\\a.xml'/></Res>"},
                              {"xml/a.xml", "<Window size='10,10'/>"},
                              {"big.bin", big}},
                             kPassword);
    SkinArchive archive;
    ASSERT_TRUE(archive.Open(bytes.data(), bytes.size(), kPassword));
    EXPECT_EQ(archive.Read("xml\\a.xml"), "<Window size='10,10'/>");
    EXPECT_EQ(archive.Read("big.bin"), big);
    EXPECT_TRUE(archive.Contains("xml/res.xml"));
    EXPECT_FALSE(archive.Read("xml/none.xml"));
    EXPECT_EQ(archive.Names().size(), 3u);

    SkinArchive wrong;
    ASSERT_TRUE(wrong.Open(bytes.data(), bytes.size(), "not the password!!"));
    EXPECT_FALSE(wrong.Read("xml/a.xml"));
    EXPECT_FALSE(wrong.Read("big.bin"));
}

TEST(SkinArchive, RefusesBytesThatAreNoArchive) {
    SkinArchive archive;
    std::vector<uint8_t> junk(100, 0x50);
    EXPECT_FALSE(archive.Open(junk.data(), junk.size(), kPassword));
    EXPECT_FALSE(archive.Open(nullptr, 0, kPassword));
    EXPECT_FALSE(archive.Read("xml/res.xml"));
}

TEST(Skin, ResolvesLayoutsThroughTheIndex) {
    auto bytes =
        MakeArchive({{"xml/res.xml", "<Res><Xml id='XML_A' path='xml\\a.xml'/></Res>"}}, kPassword);
    Skin& skin = Skin::Instance();
    skin.Reset();
    ASSERT_TRUE(skin.SetArchive(bytes.data(), bytes.size(), kPassword));
    ASSERT_TRUE(skin.LoadResourceIndex("xml\\res.xml"));
    EXPECT_EQ(skin.ResolveLayout("XML_A"), "xml/a.xml");
    EXPECT_FALSE(skin.ResolveLayout("XML_B"));
    skin.Reset();
}

}  // namespace
}  // namespace toolkit

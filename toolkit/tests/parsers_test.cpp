#include <gtest/gtest.h>

#include <string>

#include "toolkit/layout_spec.h"
#include "toolkit/resource_index.h"
#include "toolkit/text_resources.h"
#include "toolkit/xml_document.h"

namespace toolkit {
namespace {

TEST(XmlDocument, ReadsElementsAttributesAndEntities) {
    auto root = ParseXml(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- skin -->\n"
        "<Window size='10,20' text=\"a &amp; b &lt;&#x4E2D;&#65;\"><Label "
        "name=\"x\"/>text<![CDATA[<no>]]>"
        "<Container><Button name=\"y\"></Button></Container></Window>");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->name, "Window");
    EXPECT_EQ(root->AttributeOr("text", ""),
              "a & b <\xE4\xB8\xAD"
              "A");
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[1].children[0].AttributeOr("name", ""), "y");
}

// Character references become UTF-8 of every length: one byte (U+0041),
// two (U+00E9), three (U+4E2D, U+20AC) and four (U+1F600), written in
// decimal and in hex, and each length at its upper edge.
TEST(XmlDocument, CharacterReferencesBecomeUtf8OfEachLength) {
    const std::pair<const char*, const char*> references[] = {
        {"&#65;", "A"},
        {"&#x41;", "A"},
        {"&#x7F;", "\x7F"},
        {"&#233;", "\xC3\xA9"},
        {"&#xE9;", "\xC3\xA9"},
        {"&#xe9;", "\xC3\xA9"},
        {"&#x80;", "\xC2\x80"},
        {"&#x7FF;", "\xDF\xBF"},
        {"&#20013;", "\xE4\xB8\xAD"},
        {"&#x4E2D;", "\xE4\xB8\xAD"},
        {"&#x20AC;", "\xE2\x82\xAC"},
        {"&#x800;", "\xE0\xA0\x80"},
        {"&#xFFFF;", "\xEF\xBF\xBF"},
        {"&#128512;", "\xF0\x9F\x98\x80"},
        {"&#x1F600;", "\xF0\x9F\x98\x80"},
        {"&#x10000;", "\xF0\x90\x80\x80"},
        {"&#x10FFFF;", "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& [reference, utf8] : references) {
        auto root = ParseXml(std::string("<a x='[") + reference + "]'>" + reference + "</a>");
        ASSERT_TRUE(root) << reference;
        EXPECT_EQ(root->AttributeOr("x", ""), std::string("[") + utf8 + "]") << reference;
    }
    // Beyond the last code point, and digits the base does not have.
    for (const char* bad : {"<a x='&#x110000;'/>", "<a x='&#1114112;'/>", "<a x='&#xG1;'/>",
                            "<a x='&#1A;'/>", "<a x='&#x;'/>", "<a x='&#;'/>"}) {
        EXPECT_FALSE(ParseXml(bad)) << bad;
    }
}

TEST(XmlDocument, RefusesMalformedDocuments) {
    for (const char* bad : {"", "<a>", "<a></b>", "<a x=1/>", "<a x='1' x='2'/>",
                            "<a x='&bogus;'/>", "<a x='&#0;'/>", "<a x='&#xD800;'/>", "<a/><b/>",
                            "<a x='<'/>", "<a><!-- </a>", "<a x='1'y='2'/>", "text"}) {
        EXPECT_FALSE(ParseXml(bad)) << bad;
    }
    std::string deep;
    for (int i = 0; i < kMaxXmlDepth + 1; ++i)
        deep += "<a>";
    for (int i = 0; i < kMaxXmlDepth + 1; ++i)
        deep += "</a>";
    EXPECT_FALSE(ParseXml(deep));
}

TEST(LayoutSpec, ParsesGeometryColoursAndChecksLayouts) {
    auto rect = ParseRect(" 1, -2,30 ,40");
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->y, -2);
    EXPECT_EQ(rect->height, 40);
    EXPECT_FALSE(ParseRect("1,2,3"));
    EXPECT_FALSE(ParseRect("1,2,-3,4"));
    EXPECT_FALSE(ParseRect("1,2,3,-4"));
    EXPECT_FALSE(ParseSize("10,-1"));
    EXPECT_FALSE(ParseSize("-1,10"));
    EXPECT_FALSE(ParseRect("1,2,3,99999999999"));
    EXPECT_EQ(ParseColor("#FF102030"), 0xFF102030u);
    EXPECT_EQ(ParseColor("#102030"), 0xFF102030u);
    EXPECT_EQ(ParseColor("0x80FFFFFF"), 0x80FFFFFFu);
    EXPECT_FALSE(ParseColor("#12345"));
    EXPECT_FALSE(ParseColor("red"));
    EXPECT_TRUE(
        ParseLayout("<Window size='10,10'><Label pos='0,0,5,5' textcolor='#FFFFFFFF'/></Window>"));
    EXPECT_FALSE(ParseLayout("<Window><Label pos='0,0,5'/></Window>"));
    EXPECT_FALSE(ParseLayout("<Dialog/>"));
}

TEST(LayoutSpec, ImageVariantsAndDisplayScale) {
    EXPECT_EQ(ImageVariantName("btn_hot.png", 125), "btn_hot@125.png");
    EXPECT_EQ(ImageVariantName("common/btn.png", 100), "common/btn.png");
    EXPECT_EQ(ImageVariantName("dir.v2/file", 150), "dir.v2/file@150");
    // The mark goes before the last dot of the file's own name.
    EXPECT_EQ(ImageVariantName("eq.bg.png", 125), "eq.bg@125.png");
    EXPECT_EQ(ImageVariantName("dir.v2/file.png", 200), "dir.v2/file@200.png");
    EXPECT_EQ(DpiForScreens({{0, 0, 1920, 1080}}, 1280, 720), 144);
    EXPECT_EQ(DpiForScreens({{0, 0, 1366, 768}}, 1280, 720), 96);
    EXPECT_EQ(DpiForScreens({{0, 0, 1024, 768}}, 1280, 720), 77);
    EXPECT_EQ(DpiForScreens({{0, 0, 800, 600}}, 1280, 720), 64);
    // A second monitor replaces the primary only when strictly wider.
    EXPECT_EQ(DpiForScreens({{0, 0, 1366, 768}, {1366, 0, 3840, 2160}}, 1280, 720), 288);
    EXPECT_EQ(DpiForScreens({{0, 0, 1920, 1080}, {1920, 0, 1920, 2160}}, 1280, 720), 144);
    // An equally wide but lower second monitor would give 77 dpi; the primary stays.
    EXPECT_EQ(DpiForScreens({{0, 0, 1920, 1080}, {1920, 0, 1920, 600}}, 1280, 720), 144);
    EXPECT_EQ(DpiForScreens({{0, 0, 1920, 600}, {1920, 0, 1920, 1080}}, 1280, 720), 77);
    // The widest of several wins wherever it stands.
    EXPECT_EQ(
        DpiForScreens({{0, 0, 1280, 720}, {1280, 0, 2560, 1440}, {3840, 0, 1920, 1080}}, 1280, 720),
        192);
    // Each boundary of the factor: 0.8, 1, 1.25, 1.5, 2 and 3 times 1280 x 720.
    EXPECT_EQ(DpiForScreens({{0, 0, 1023, 576}}, 1280, 720), 64);
    EXPECT_EQ(DpiForScreens({{0, 0, 1280, 719}}, 1280, 720), 77);
    EXPECT_EQ(DpiForScreens({{0, 0, 1280, 720}}, 1280, 720), 96);
    EXPECT_EQ(DpiForScreens({{0, 0, 1600, 900}}, 1280, 720), 120);
    EXPECT_EQ(DpiForScreens({{0, 0, 2560, 1439}}, 1280, 720), 144);
    EXPECT_EQ(DpiForScreens({{0, 0, 2560, 1440}}, 1280, 720), 192);
    EXPECT_EQ(DpiForScreens({{0, 0, 3840, 2160}}, 1280, 720), 288);
    // The narrower side decides: wide but low is small.
    EXPECT_EQ(DpiForScreens({{0, 0, 3840, 720}}, 1280, 720), 96);
    EXPECT_EQ(ScaleForDpi(96), 100);
    EXPECT_EQ(ScaleForDpi(120), 125);
    EXPECT_EQ(ScaleForDpi(144), 150);
    EXPECT_EQ(ScaleForDpi(192), 200);
    EXPECT_EQ(ScaleForDpi(288), 300);
    EXPECT_EQ(ScaleForDpi(77), 80);
    EXPECT_EQ(ScaleForDpi(64), 66);
    EXPECT_EQ(Scaled(25, 125), 31);
}

TEST(ResourceIndex, MapsIdentifiersToPathsWithEitherSeparator) {
    ResourceIndex index;
    ASSERT_TRUE(index.Parse(
        "<Res><Xml id='XML_MAIN' path='xml\\main.xml'/><Image id='LOGO' path='logo.png'/>"
        "<Other id='X' path='y'/></Res>"));
    EXPECT_EQ(index.Resolve("XML_MAIN"), "xml/main.xml");
    EXPECT_EQ(index.Resolve("LOGO"), "logo.png");
    EXPECT_FALSE(index.Resolve("X"));
    EXPECT_FALSE(index.Parse("<broken"));
    EXPECT_FALSE(index.Resolve("XML_MAIN"));
}

class TextResourcesTest : public ::testing::Test {
protected:
    TextResources texts;
};

TEST_F(TextResourcesTest, TranslationRule) {
    ASSERT_TRUE(
        texts.RegisterLanguage("<Language><Text id='${tips}' value='Note'/>"
                               "<Text id='${two}' value='one{\\n}two'/><Skip id='${x}' value='no'/>"
                               "<Text id='${tips}' value='Notice'/></Language>",
                               "en"));
    EXPECT_EQ(texts.Translate(""), "");
    EXPECT_EQ(texts.Translate("${tips}"), "Notice");  // the later entry wins
    EXPECT_EQ(texts.Translate("${two}"), "one\ntwo");
    EXPECT_EQ(texts.Translate("${missing}"), "${missing}");
    EXPECT_EQ(texts.Translate("${x}"), "${x}");
    EXPECT_EQ(texts.Translate("plain {\\n} text"), "plain {\\n} text");
    // Only "${" opens a key: a bare dollar is plain text.
    EXPECT_EQ(texts.Translate("$tips"), "$tips");
    EXPECT_EQ(texts.Translate("$tips{\\n}"), "$tips{\\n}");
    EXPECT_EQ(texts.Translate("${missing{\\n}}"), "${missing\n}");
    texts.SetTextQuery([](const std::string& key) -> std::optional<std::string> {
        if (key == "${asked}")
            return std::string("supplied");
        return std::nullopt;
    });
    EXPECT_EQ(texts.Translate("${asked}"), "supplied");
    EXPECT_EQ(texts.Translate("${other}"), "${other}");
}

TEST_F(TextResourcesTest, RegistrationAndChoice) {
    EXPECT_TRUE(texts.RegisterLanguage("<L><Text id='${k}' value='en'/></L>", "en"));
    EXPECT_TRUE(texts.RegisterLanguage("<L><Text id='${k}' value='cn'/></L>", "cn_zh"));
    EXPECT_FALSE(texts.RegisterLanguage("<L>", "broken"));
    EXPECT_EQ(texts.CurrentLanguage(), "cn_zh");
    EXPECT_TRUE(texts.RegisterLanguage("<L><Text id='${k}' value='ru'/></L>", "ru"));
    EXPECT_FALSE(texts.SetLanguage("de"));
    EXPECT_EQ(texts.CurrentLanguage(), "ru");
    EXPECT_TRUE(texts.SetLanguage("EN"));
    EXPECT_EQ(texts.Translate("${k}"), "en");
    EXPECT_TRUE(texts.RegisterLanguage("<L><Text id='${k}' value='en2'/></L>", "en"));
    EXPECT_FALSE(texts.RegisterLanguage("<L/>", "fifth"));
    EXPECT_TRUE(texts.SetLanguage("en"));
    EXPECT_EQ(texts.Translate("${k}"), "en2");  // the last registered match wins
}

}  // namespace
}  // namespace toolkit

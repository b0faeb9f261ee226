// One suite for both XML back ends: it runs natively over pugixml and under
// Wine over MSXML, and must pass the same way on both.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "profile_store/platform/file_replace.h"
#include "profile_store/xml/xml_document.h"
#include "tests/test_support.h"

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

namespace {

// Whitespace-only text between elements, a comment, a processing
// instruction, a prefixed element, entities, CDATA and ordered attributes.
constexpr const char* kSample =
    "<?xml version=\"1.0\"?>\n"
    "<!-- before the root -->\n"
    "<Root xmlns:x=\"urn:x\" b=\"2\" a=\"1\" c=\"3\">\n"
    "  <!-- first child -->\n"
    "  <x:Item id=\"7\">  padded text  </x:Item>\n"
    "  <Empty></Empty>\n"
    "  <?note some data?>\n"
    "  <Mixed>one<Inner>two</Inner>three</Mixed>\n"
    "  <Escaped>a &amp; b &lt;c&gt; &#65;</Escaped>\n"
    "  <Raw><![CDATA[ kept <as> is ]]></Raw>\n"
    "  <Blank>   </Blank>\n"
    "</Root>\n";

// The shape of the profile files: the XPath forms the library relies on.
constexpr const char* kProfileLike =
    "<Mouse Name=\"m\">"
    "<Software><Software Wheel=\"3\"/><Extra/></Software>"
    "<Device><Device Count=\"5\"/><Buttons Num=\"7\"><B/></Buttons></Device>"
    "</Mouse>";

class XmlDocument : public ::testing::Test {
protected:
    CXmlDocumentWrapper doc;
    TempDir dir;

    CXmlNodeWrapper LoadRoot(const char* xml) {
        const std::string path = dir.file("doc.xml");
        WriteFile(path, xml);
        EXPECT_EQ(doc.Load(path.c_str()), 1);
        return doc.Root();
    }

    std::vector<std::string> ChildTypes(const CXmlNodeWrapper& node) {
        std::vector<std::string> types;
        for (int i = 0; i < node.ChildCount(); ++i) types.push_back(node.ChildAt(i).TypeText());
        return types;
    }
};

TEST_F(XmlDocument, KeepsCommentsAndInstructionsButNotWhitespaceBetweenElements) {
    ASSERT_FALSE(doc.IsNull());
    const CXmlNodeWrapper root = LoadRoot(kSample);
    ASSERT_FALSE(root.IsNull());
    EXPECT_EQ(root.Name(), "Root");
    EXPECT_EQ(root.TypeText(), "element");
    const std::vector<std::string> expected = {"comment", "element", "element", "processinginstruction",
                                               "element", "element", "element", "element"};
    EXPECT_EQ(ChildTypes(root), expected);
    EXPECT_EQ(root.ChildAt(0).Text(), " first child ");
    EXPECT_EQ(root.ChildAt(3).Name(), "note");
    EXPECT_EQ(root.ChildAt(3).Text(), "some data");
    // Whitespace-only content is dropped inside elements as well.
    EXPECT_EQ(root.ChildAt(7).ChildCount(), 0);
    EXPECT_EQ(root.ChildAt(2).ChildCount(), 0);
}

TEST_F(XmlDocument, NamesDropThePrefixAndTextsFollowTheDom) {
    const CXmlNodeWrapper root = LoadRoot(kSample);
    const CXmlNodeWrapper item = root.ChildAt(1);
    EXPECT_EQ(item.Name(), "Item");
    EXPECT_EQ(item.Text(), "padded text");
    EXPECT_EQ(item.ChildAt(0).TypeText(), "text");
    EXPECT_EQ(item.ChildAt(0).Name(), "");
    EXPECT_EQ(item.ChildAt(0).Text(), "padded text");
    EXPECT_EQ(root.ChildAt(2).Text(), "");
    EXPECT_EQ(root.ChildAt(4).Text(), "onetwothree");
    EXPECT_EQ(root.ChildAt(4).ChildCount(), 3);
    EXPECT_EQ(root.ChildAt(5).Text(), "a & b <c> A");
    EXPECT_EQ(root.ChildAt(6).ChildAt(0).TypeText(), "cdatasection");
    EXPECT_EQ(root.ChildAt(6).Text(), " kept <as> is ");
}

TEST_F(XmlDocument, AttributesStayInFileOrder) {
    const CXmlNodeWrapper root = LoadRoot("<R b=\"2\" a=\"1\" c=\"  three  \"/>");
    ASSERT_EQ(root.AttributeCount(), 3);
    EXPECT_EQ(root.AttributeNameAt(0), "b");
    EXPECT_EQ(root.AttributeNameAt(1), "a");
    EXPECT_EQ(root.AttributeNameAt(2), "c");
    EXPECT_EQ(root.AttributeValueAt(0), "2");
    EXPECT_EQ(root.AttributeValueAt(2), "  three  ");
    // Past the end or before the start: empty, no error.
    EXPECT_EQ(root.AttributeNameAt(3), "");
    EXPECT_EQ(root.AttributeValueAt(3), "");
    EXPECT_EQ(root.AttributeNameAt(-1), "");
}

TEST_F(XmlDocument, OutOfRangeChildrenAndNonElementsAnswerEmpty) {
    const CXmlNodeWrapper root = LoadRoot(kSample);
    EXPECT_TRUE(root.ChildAt(8).IsNull());
    EXPECT_TRUE(root.ChildAt(-1).IsNull());
    const CXmlNodeWrapper comment = root.ChildAt(0);
    EXPECT_EQ(comment.AttributeCount(), 0);
    EXPECT_EQ(comment.AttributeNameAt(0), "");
    EXPECT_EQ(comment.ChildCount(), 0);
}

TEST_F(XmlDocument, NullNodeAnswersEmptyButTextAndSetAttributeRaise) {
    CXmlNodeWrapper none;
    EXPECT_TRUE(none.IsNull());
    EXPECT_EQ(none.ChildCount(), 0);
    EXPECT_TRUE(none.ChildAt(0).IsNull());
    EXPECT_EQ(none.Name(), "");
    EXPECT_EQ(none.TypeText(), "");
    EXPECT_EQ(none.AttributeCount(), 0);
    EXPECT_EQ(none.AttributeNameAt(0), "");
    EXPECT_EQ(none.AttributeValueAt(0), "");
    EXPECT_TRUE(none.SelectSingle("//Mouse").IsNull());
    EXPECT_THROW(none.Text(), XmlError);
    EXPECT_THROW(none.SetAttribute("a", "b"), XmlError);
    EXPECT_THROW(none.SetText("b"), XmlError);
}

TEST_F(XmlDocument, SelectsTheFormsTheProfileFilesUse) {
    const CXmlNodeWrapper root = LoadRoot(kProfileLike);
    EXPECT_EQ(root.SelectSingle("//Mouse").AttributeValueAt(0), "m");
    EXPECT_EQ(root.SelectSingle("//Software/*").AttributeValueAt(0), "3");
    EXPECT_EQ(root.SelectSingle("//Software/Software").AttributeNameAt(0), "Wheel");
    EXPECT_EQ(root.SelectSingle("//Device/*").AttributeNameAt(0), "Count");
    EXPECT_EQ(root.SelectSingle("//Device/Device").AttributeValueAt(0), "5");
    EXPECT_EQ(root.SelectSingle("//Device/Buttons").ChildCount(), 1);
    // Absolute paths work from any node, not only the root.
    EXPECT_EQ(root.ChildAt(1).SelectSingle("//Software/Software").Name(), "Software");
    EXPECT_TRUE(root.SelectSingle("//Keyboard").IsNull());
    EXPECT_TRUE(root.SelectSingle("//Device/Missing").IsNull());
}

// Replacing may move the attribute (MSXML re-adds it at the end); readers
// find attributes by name, so only the set of pairs is fixed.
TEST_F(XmlDocument, SetAttributeReplacesOrAdds) {
    CXmlNodeWrapper root = LoadRoot("<R a=\"1\" b=\"2\">text</R>");
    root.SetAttribute("a", "new");
    root.SetAttribute("c", "3");
    std::map<std::string, std::string> pairs;
    for (int i = 0; i < root.AttributeCount(); ++i) pairs[root.AttributeNameAt(i)] = root.AttributeValueAt(i);
    const std::map<std::string, std::string> expected = {{"a", "new"}, {"b", "2"}, {"c", "3"}};
    EXPECT_EQ(pairs, expected);
    EXPECT_EQ(root.AttributeCount(), 3);
    EXPECT_EQ(root.AttributeNameAt(2), "c");
    // A text node has no attribute map: nothing happens.
    CXmlNodeWrapper text = root.ChildAt(0);
    text.SetAttribute("x", "y");
    EXPECT_EQ(text.AttributeCount(), 0);
}

TEST_F(XmlDocument, MissingMalformedEmptyOrDtdFilesLoadWithoutRoot) {
    const std::string missing = dir.file("missing.xml");
    EXPECT_EQ(doc.Load(missing.c_str()), 0);
    EXPECT_TRUE(doc.Root().IsNull());

    const std::vector<std::string> bad = {
        "",
        "<R><unclosed></R>",
        "not xml at all",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE R>\n<R a=\"1\"/>",
        "<!DOCTYPE R [ <!ENTITY e \"expanded\"> ]><R>&e;</R>",
    };
    for (const std::string& content : bad) {
        LoadRoot("<Good/>");
        ASSERT_FALSE(doc.Root().IsNull());
        const std::string path = dir.file("bad.xml");
        WriteFile(path, content);
        EXPECT_EQ(doc.Load(path.c_str()), 0) << content;
        EXPECT_TRUE(doc.Root().IsNull()) << content;  // the earlier content is gone too
    }
    // A folder where the file should be.
    LoadRoot("<Good/>");
    const std::string folder = dir.file("folder.xml");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(doc.Load(folder.c_str()), 0);
    EXPECT_TRUE(doc.Root().IsNull());
}

TEST_F(XmlDocument, ExternalEntitiesAreNeverRead) {
    const std::string secret = dir.file("secret.txt");
    WriteFile(secret, "SECRET");
    const std::string xml = "<!DOCTYPE R [ <!ENTITY s SYSTEM \"" + secret + "\"> ]><R>&s;</R>";
    EXPECT_EQ(doc.LoadText(xml.c_str()), 0);
    EXPECT_TRUE(doc.Root().IsNull());
}

// Markup in the value is text, escaped when saved; an empty value leaves
// the element without children.
TEST_F(XmlDocument, SetTextReplacesTheChildrenOfAnElement) {
    CXmlNodeWrapper root = LoadRoot("<R a=\"1\"><C>old</C>tail<!-- note --></R>");
    root.SetText("new & <b>not an element</b>");
    ASSERT_EQ(doc.Save(""), 1);
    CXmlDocumentWrapper again;
    ASSERT_EQ(again.Load(dir.file("doc.xml").c_str()), 1);
    CXmlNodeWrapper r = again.Root();
    EXPECT_EQ(r.ChildCount(), 1);
    EXPECT_EQ(r.ChildAt(0).TypeText(), "text");
    EXPECT_EQ(r.Text(), "new & <b>not an element</b>");
    EXPECT_EQ(r.AttributeValueAt(0), "1");

    r.SetText("");
    EXPECT_EQ(r.ChildCount(), 0);
    // A node that is not an element keeps what it has.
    r.SetText("x");
    CXmlNodeWrapper text = r.ChildAt(0);
    text.SetText("y");
    EXPECT_EQ(r.Text(), "x");
}

TEST_F(XmlDocument, LoadTextReportsWhetherItParsed) {
    EXPECT_EQ(doc.LoadText("<R><C/></R>"), 1);
    EXPECT_EQ(doc.Root().ChildAt(0).Name(), "C");
    EXPECT_EQ(doc.LoadText("<R>"), 0);
    EXPECT_TRUE(doc.Root().IsNull());
}

TEST_F(XmlDocument, SaveWritesAFileThatLoadsBackTheSame) {
    CXmlNodeWrapper root = LoadRoot(kProfileLike);
    root.SelectSingle("//Software/Software").SetAttribute("Wheel", "9");
    const std::string copy = dir.file("copy.xml");
    ASSERT_EQ(doc.Save(copy.c_str()), 1);

    CXmlDocumentWrapper again;
    ASSERT_EQ(again.Load(copy.c_str()), 1);
    const CXmlNodeWrapper r = again.Root();
    EXPECT_EQ(r.Name(), "Mouse");
    EXPECT_EQ(r.SelectSingle("//Software/Software").AttributeValueAt(0), "9");
    EXPECT_EQ(r.SelectSingle("//Device/Buttons").AttributeValueAt(0), "7");
    EXPECT_EQ(r.ChildCount(), 2);
}

TEST_F(XmlDocument, SaveWithEmptyPathWritesBackToTheLoadedFile) {
    CXmlNodeWrapper root = LoadRoot("<R a=\"1\"/>");
    root.SetAttribute("a", "2");
    ASSERT_EQ(doc.Save(""), 1);
    CXmlDocumentWrapper again;
    ASSERT_EQ(again.Load(dir.file("doc.xml").c_str()), 1);
    EXPECT_EQ(again.Root().AttributeValueAt(0), "2");

    // The document keeps the file it was last loaded from.
    ASSERT_EQ(doc.LoadText("<FromText/>"), 1);
    ASSERT_EQ(doc.Save(""), 1);
    ASSERT_EQ(again.Load(dir.file("doc.xml").c_str()), 1);
    EXPECT_EQ(again.Root().Name(), "FromText");

    // A fresh document has none.
    CXmlDocumentWrapper fresh;
    ASSERT_EQ(fresh.LoadText("<R/>"), 1);
    EXPECT_EQ(fresh.Save(""), 0);
}

TEST_F(XmlDocument, FailedSaveLeavesTheTargetFolderAsItWas) {
    LoadRoot("<R/>");
    const std::string nowhere = (dir.path() / "no-such-folder" / "x.xml").string();
    EXPECT_EQ(doc.Save(nowhere.c_str()), 0);

    // A target that cannot be replaced (a folder of that name) keeps no
    // temporary file behind.
    const std::string blocked = dir.file("blocked.xml");
    std::filesystem::create_directory(blocked);
    EXPECT_EQ(doc.Save(blocked.c_str()), 0);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "doc.xml" || name == "blocked.xml") << name;
    }
}

TEST_F(XmlDocument, SaveReplacesAnExistingFileWhole) {
    const std::string target = dir.file("target.xml");
    WriteFile(target, std::string(4096, 'Q'));
    ASSERT_EQ(doc.LoadText("<Short/>"), 1);
    ASSERT_EQ(doc.Save(target.c_str()), 1);
    EXPECT_EQ(ReadFile(target).find('Q'), std::string::npos);
    CXmlDocumentWrapper again;
    EXPECT_EQ(again.Load(target.c_str()), 1);
    EXPECT_EQ(again.Root().Name(), "Short");
}

// What an interrupted save found on the disk at the moment it stopped.
struct InterruptedSave {
    static inline std::string temp, target, tempText, targetText;
    static bool Stop(const char* t, const char* dest) {
        temp = t;
        target = dest;
        tempText = ReadFile(t);
        targetText = ReadFile(dest);
        return false;
    }
};

TEST_F(XmlDocument, SaveInterruptedBeforeTheReplaceLeavesTheTargetWhole) {
    const std::string target = dir.file("target.xml");
    WriteFile(target, "<Old keep=\"1\"/>");
    ASSERT_EQ(doc.LoadText("<New/>"), 1);
    platform::SetReplaceHook(&InterruptedSave::Stop);
    const int saved = doc.Save(target.c_str());
    platform::SetReplaceHook(nullptr);

    EXPECT_EQ(saved, 0);
    // The new content was written (and flushed) beside the target, not into it.
    EXPECT_NE(InterruptedSave::temp, target);
    EXPECT_EQ(std::filesystem::path(InterruptedSave::temp).parent_path(), std::filesystem::path(target).parent_path());
    EXPECT_NE(InterruptedSave::tempText.find("<New"), std::string::npos);
    EXPECT_EQ(InterruptedSave::targetText, "<Old keep=\"1\"/>");
    EXPECT_EQ(ReadFile(target), "<Old keep=\"1\"/>");
    EXPECT_FALSE(std::filesystem::exists(InterruptedSave::temp));

    // The same save, not interrupted, replaces the target.
    ASSERT_EQ(doc.Save(target.c_str()), 1);
    EXPECT_NE(ReadFile(target).find("<New"), std::string::npos);
}

TEST_F(XmlDocument, CopiesShareOneDocument) {
    LoadRoot("<R a=\"1\"/>");
    CXmlDocumentWrapper copy(doc);
    copy.Root().SetAttribute("a", "changed");
    EXPECT_EQ(doc.Root().AttributeValueAt(0), "changed");
    CXmlDocumentWrapper assigned;
    assigned = copy;
    EXPECT_EQ(assigned.Root().AttributeValueAt(0), "changed");
    EXPECT_EQ(doc.LoadText("<Other/>"), 1);
    EXPECT_EQ(assigned.Root().Name(), "Other");
}

TEST_F(XmlDocument, NodeCopiesAndMovesKeepTheirNode) {
    const CXmlNodeWrapper root = LoadRoot(kProfileLike);
    CXmlNodeWrapper a = root.ChildAt(0);
    CXmlNodeWrapper b = a;
    CXmlNodeWrapper c = std::move(a);
    EXPECT_EQ(b.Name(), "Software");
    EXPECT_EQ(c.Name(), "Software");
    b = root.ChildAt(1);
    c = std::move(b);
    EXPECT_EQ(c.Name(), "Device");
}

}  // namespace

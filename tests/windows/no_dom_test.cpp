// Runs with MSXML switched off (WINEDLLOVERRIDES=msxml3=d): the document
// cannot be created, every operation answers 0 or nothing, and the string
// table is still created and finds nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "profile_store/strings/xml_rw.h"
#include "profile_store/xml/xml_document.h"
#include "tests/test_support.h"

using test_support::ScopedCurrentDir;
using test_support::TempDir;
using test_support::WriteFile;

TEST(WithoutTheDom, DocumentOperationsAnswerZero) {
    CXmlDocumentWrapper doc;
    ASSERT_TRUE(doc.IsNull()) << "MSXML is still available: the test environment did not switch it off";
    TempDir dir;
    WriteFile(dir.file("a.xml"), "<R/>");
    EXPECT_EQ(doc.Load(dir.file("a.xml").c_str()), 0);
    EXPECT_EQ(doc.LoadText("<R/>"), 0);
    EXPECT_TRUE(doc.Root().IsNull());
    EXPECT_EQ(doc.Save(dir.file("b.xml").c_str()), 0);
    EXPECT_EQ(doc.Save(""), 0);
}

TEST(WithoutTheDom, TheStringTableExistsAndFindsNothing) {
    TempDir dir;
    WriteFile(dir.file("s.xml"), "<S><E K=\"Str_OK\">OK</E></S>");
    ScopedCurrentDir cwd(dir.path());
    std::unique_ptr<XmlRW> table(CreateXmlClassInstance("s.xml"));
    ASSERT_NE(table, nullptr);
    char out[8] = "keep";
    EXPECT_EQ(table->GetResourceString("Str_OK", out), 0);
    EXPECT_STREQ(out, "keep");
}

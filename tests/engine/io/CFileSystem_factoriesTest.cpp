// The file system as a factory of XML readers, writers and attribute stores.

#include <gtest/gtest.h>

#include <boost/intrusive_ptr.hpp>

#include "engine/io/CAttributes.h"
#include "engine/io/CFileSystem.h"
#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/IXMLReader.h"
#include "engine/io/IXMLWriter.h"
#include "tests/support/TempDir.h"

using namespace pravik;
using namespace pravik::io;

TEST(FileSystemFactories, ReadersWritersAndStores)
{
    test::TempDir dir;
    boost::intrusive_ptr<CFileSystem> fs(new CFileSystem());
    const std::string path = dir.file("store.xml");

    IAttributes* store = fs->createEmptyAttributes(nullptr);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->getReferenceCount(), 1);
    store->addString("title", L"caf\u00E9");
    store->push("g");
    store->addInt("n", 7);
    store->pop();

    IXMLWriter* writer = fs->createXMLWriter(path.c_str());
    ASSERT_NE(writer, nullptr);
    {
        CXMLAttributesWriter attributesWriter(writer, true, nullptr);
        EXPECT_TRUE(attributesWriter.write(store));
    }
    writer->drop();  // closes the file

    IXMLReader* reader = fs->createXMLReader(path.c_str());
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->getSourceFormat(), EXTF_UTF32_LE);
    IAttributes* back = fs->createEmptyAttributes(nullptr);
    {
        CXMLAttributesReader attributesReader(reader, false, nullptr);
        EXPECT_TRUE(attributesReader.read(back));
    }
    reader->drop();
    EXPECT_EQ(back->getStringW("title"), L"caf\u00E9");
    back->push("g");
    EXPECT_EQ(back->getInt("n"), 7);
    back->drop();
    store->drop();

    IXMLReaderUTF8* narrow = fs->createXMLReaderUTF8(path.c_str());
    ASSERT_NE(narrow, nullptr);
    ASSERT_TRUE(narrow->readToNextElement());
    EXPECT_STREQ(narrow->getNodeName(), "attributes");
    narrow->drop();
}

TEST(FileSystemFactories, MissingFilesGiveNothing)
{
    test::TempDir dir;
    boost::intrusive_ptr<CFileSystem> fs(new CFileSystem());
    const std::string missing = dir.file("missing.xml");
    EXPECT_EQ(fs->createXMLReader(missing.c_str()), nullptr);
    EXPECT_EQ(fs->createXMLReaderUTF8(missing.c_str()), nullptr);
    EXPECT_EQ(fs->createXMLReader(static_cast<IReadFile*>(nullptr)), nullptr);
    EXPECT_EQ(fs->createXMLReaderUTF8(static_cast<IReadFile*>(nullptr)), nullptr);
    EXPECT_EQ(fs->createXMLWriter(dir.file("no/such/folder/out.xml").c_str()), nullptr);
}

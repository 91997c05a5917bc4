#include "platform/hla/FedReader.h"
#include "platform/links/FomFiles.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using links::FomFiles;
using links::FomFormat;

const std::string kChatFed = std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed";

std::string read(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A directory of the test's own, with an XML module in it.
class FomFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tandrel-fomfiles-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        directory = pattern;
        xml = directory + "/Extra.xml";
        std::ofstream(xml) << "\xEF\xBB\xBF\n  <?xml version=\"1.0\"?><objectModel/>";
    }
    void TearDown() override { fs::remove_all(directory); }

    std::string directory;
    std::string xml;
    const hla::FederationDescription chat = hla::readFedFile(kChatFed);
};

}  // namespace

TEST_F(FomFilesTest, TellsTheFormatByTheFirstCharacterThatIsNotBlank) {
    EXPECT_EQ(links::fomFormatOf(kChatFed), FomFormat::Fed);
    EXPECT_EQ(links::fomFormatOf(xml), FomFormat::Xml);
    try {
        links::fomFormatOf(directory + "/Missing.fed");
        FAIL() << "a missing file was read";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "the FOM file " + directory +
                                             "/Missing.fed cannot be read: No such file or "
                                             "directory");
    }
}

TEST_F(FomFilesTest, A2010RtiGetsXmlModulesAsTheyAreAndFedFilesAsModulesWrittenForIt) {
    std::string written;
    {
        FomFiles files;
        const auto modules = files.xmlModules({kChatFed, xml}, chat);
        ASSERT_EQ(modules.size(), 2u);
        written = modules[0];
        EXPECT_EQ(fs::path(written).parent_path(), fs::path(files.directory()));
        EXPECT_EQ(fs::path(written).filename(), "Chat.xml");
        EXPECT_EQ(links::fomFormatOf(written), FomFormat::Xml);
        EXPECT_NE(read(written).find("<name>HLAinteractionRoot</name>"), std::string::npos);
        EXPECT_EQ(modules[1], xml);
        // The directory is the user's alone.
        EXPECT_EQ(fs::status(files.directory()).permissions() & fs::perms::all,
                  fs::perms::owner_all);
    }
    EXPECT_FALSE(fs::exists(written));
    EXPECT_FALSE(fs::exists(fs::path(written).parent_path()));
}

TEST_F(FomFilesTest, A13RtiGetsOneFedFileAsItIsAndXmlModulesAsAFedFileWrittenForIt) {
    {
        FomFiles files;
        EXPECT_EQ(files.fedFile({kChatFed}, chat), fs::path(kChatFed).lexically_normal().string());
        EXPECT_TRUE(files.directory().empty());
    }
    std::string written;
    {
        FomFiles files;
        written = files.fedFile({xml}, chat);
        EXPECT_EQ(fs::path(written).filename(), "Extra.fed");
        const auto back = hla::parseFed(read(written));
        EXPECT_TRUE(back.findInteractionClass("InteractionRoot.TSCommunication"));
        EXPECT_TRUE(back.findObjectClass("ObjectRoot.Participant"));
    }
    EXPECT_FALSE(fs::exists(written));
}

TEST_F(FomFilesTest, RelativePathsAreHandedOnAbsolute) {
    const fs::path before = fs::current_path();
    fs::current_path(directory);
    FomFiles files;
    const auto modules = files.xmlModules({"Extra.xml"}, chat);
    fs::current_path(before);
    EXPECT_EQ(modules, std::vector<std::string>{xml});
}

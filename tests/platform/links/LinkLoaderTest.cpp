// The loader's refusals, which need no RTI server: each says what is missing and how to point
// at it.

#include "platform/hla/FedReader.h"
#include "platform/links/LinkLoader.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

using links::kHla1516eKind;

links::LinkRequest chatRequest() {
    links::LinkRequest request;
    request.address = "rti://127.0.0.1:1";
    request.federation = "ChatRoom";
    request.federate = "Chat";
    request.description = hla::readFedFile(std::string(TANDREL_SOURCE_DATA_DIR) + "/Chat.fed");
    return request;
}

std::string refusal(const std::string& kind, const std::string& hint,
                    const std::vector<std::string>& directories = links::linkPluginDirectories()) {
    try {
        links::joinPlugin(kind, hint, chatRequest(), directories);
    } catch (const std::exception& e) {
        return e.what();
    }
    ADD_FAILURE() << "the link opened";
    return {};
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A directory of the test's own, removed with what it holds.
class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/tandrel-loader-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) path = pattern;
    }
    ~Scratch() {
        for (const std::string& file : files) ::unlink(file.c_str());
        ::rmdir(path.c_str());
    }
    std::string file(const std::string& name, const std::string& text) {
        files.push_back(path + "/" + name);
        std::ofstream(files.back()) << text;
        return files.back();
    }
    std::string path;
    std::vector<std::string> files;
};

class LinkLoader : public ::testing::Test {
protected:
    void SetUp() override {
        if (links::findLinkPlugin(kHla1516eKind).empty()) {
            GTEST_SKIP() << "this build has no plug-in of the IEEE 1516-2010 run-time";
        }
    }
};

}  // namespace

TEST(LinkLoaderRefusals, AKindThisProgramDoesNotKnow) {
    EXPECT_EQ(refusal("hla1516", ""),
              "\"hla1516\" is not a run-time link of this program: use hla13 or hla1516e");
}

TEST(LinkLoaderRefusals, APlugInThatIsNotThere) {
    Scratch empty;
    const std::string text = refusal(kHla1516eKind, "", {empty.path});
    EXPECT_EQ(text,
              "the IEEE 1516-2010 run-time is not part of this installation: there is no "
              "plug-in tandrel-link-hla1516e.so in " +
                  empty.path + "; build Tandrel with an RTI that pkg-config finds as hla-rti1516e");
}

TEST_F(LinkLoader, ALibraryHintThatIsNeitherADirectoryNorAFile) {
    const std::string text = refusal(kHla1516eKind, "/nonexistent/rti");
    EXPECT_TRUE(contains(text,
                         "CAO_HLA_RTI_LIBRARY=\"/nonexistent/rti\" is neither a directory "
                         "nor a file; set CAO_HLA_RTI_LIBRARY to the directory of the "
                         "RTI's libraries"))
        << text;
}

TEST_F(LinkLoader, ADirectoryWithoutTheRtisLibraries) {
    Scratch empty;
    const std::string text = refusal(kHla1516eKind, empty.path);
    EXPECT_TRUE(contains(text, "the IEEE 1516-2010 run-time cannot be used: the RTI's library " +
                                   empty.path + "/librti1516e.so could not be loaded ("))
        << text;
    EXPECT_TRUE(contains(text, "set CAO_HLA_RTI_LIBRARY to the directory of the RTI's libraries"))
        << text;
}

TEST_F(LinkLoader, ALibraryThatIsNoneOfTheRtis) {
    Scratch scratch;
    const std::string other = scratch.file("libother.so", "");
    const std::string text = refusal(kHla1516eKind, other);
    EXPECT_TRUE(contains(text, "names " + other +
                                   ", which is none of the RTI's libraries it needs "
                                   "(librti1516e.so, libfedtime1516e.so)"))
        << text;
}

TEST_F(LinkLoader, AFileThatIsNoLibrary) {
    Scratch scratch;
    const std::string fake = scratch.file("librti1516e.so", std::string(1024, 'x'));
    const std::string text = refusal(kHla1516eKind, fake);
    EXPECT_TRUE(contains(text, "the RTI's library " + fake + " could not be loaded (")) << text;
    EXPECT_TRUE(contains(text, "invalid ELF header")) << text;
}

// FOM modules written by another tool: those an installed RTI carries in its prefix, and the
// test modules of OpenRTI's source when it lies beside us.

#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FomModules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace hla;
namespace fs = std::filesystem;

namespace {

constexpr const char* kMimFile = "HLAstandardMIM.xml";

// The RTI's prefix: the test's choice, else the one the run-time links were built against.
fs::path rtiPrefix() {
    if (const char* env = std::getenv("TANDREL_TEST_RTI_PREFIX"); env && *env) return env;
    return TANDREL_RTI_PREFIX_AT_BUILD;
}

// Where the installed RTI keeps its MIM, the directory of its IEEE 1516-2010 modules.
std::optional<fs::path> rtiModuleDir() {
    const fs::path share = rtiPrefix() / "share";
    std::error_code error;
    if (rtiPrefix().empty() || !fs::is_directory(share, error)) return std::nullopt;
    for (fs::recursive_directory_iterator it(share, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file() && it->path().filename() == kMimFile) {
            return it->path().parent_path();
        }
    }
    return std::nullopt;
}

// OpenRTI's source, whose tests hold the modules its own tests merge.
fs::path openRtiSource() {
    if (const char* env = std::getenv("TANDREL_TEST_RTI_SOURCE"); env && *env) return env;
    return {};
}

#define REQUIRE_RTI_MODULES(dir)                                                      \
    const std::optional<fs::path> found##dir = rtiModuleDir();                        \
    if (!found##dir) {                                                                \
        GTEST_SKIP() << "no RTI installed with its " << kMimFile << " under "         \
                     << (rtiPrefix().empty() ? fs::path("(no prefix)") : rtiPrefix()) \
                     << "/share (set TANDREL_TEST_RTI_PREFIX to an RTI's prefix)";    \
    }                                                                                 \
    const fs::path dir = *found##dir;

#define REQUIRE_OPENRTI_SOURCE(dir)                                           \
    const fs::path dir = openRtiSource();                                     \
    if (dir.empty() || !fs::exists(dir / "tests" / "rti1516e")) {             \
        GTEST_SKIP() << "no OpenRTI source with its tests"                    \
                     << (dir.empty() ? std::string() : " at " + dir.string()) \
                     << " (set TANDREL_TEST_RTI_SOURCE to a checkout of it)"; \
    }

std::vector<fs::path> filesUnder(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<FederationDescription> modulesIn(const fs::path& dir,
                                             const std::vector<std::string>& names) {
    std::vector<FederationDescription> modules;
    for (const std::string& name : names) modules.push_back(readModuleFile((dir / name).string()));
    return modules;
}

}  // namespace

// IEEE's own MIM file, as OpenRTI ships it, restates ours: it adds no class, member or data
// type (ours states the HLAsyncPointName parameter of
// HLArequestSynchronizationPointStatus, which IEEE's file leaves out) and conflicts nowhere.
TEST(FomModulesFromAnRti, TheirMimMergesWithOurs) {
    REQUIRE_RTI_MODULES(modules);
    const FederationDescription ours = standardMim();
    FederationDescription merged = ours;
    mergeModules(merged, {readModuleFile((modules / kMimFile).string())});
    EXPECT_EQ(merged.objectClassCount(), ours.objectClassCount());
    EXPECT_EQ(merged.interactionClassCount(), ours.interactionClassCount());
    EXPECT_EQ(merged.dataTypes.size(), ours.dataTypes.size());
    for (std::uint32_t i = 0; i < ours.objectClassCount(); ++i) {
        const auto cls = static_cast<ObjectClassHandle>(i);
        EXPECT_EQ(merged.objectClass(cls).declared, ours.objectClass(cls).declared);
    }
}

// Every module the installed RTI carries reads.
TEST(FomModulesFromAnRti, ReadsEveryModuleItInstalls) {
    REQUIRE_RTI_MODULES(modules);
    const std::vector<fs::path> files = filesUnder(modules, ".xml");
    EXPECT_FALSE(files.empty());
    for (const fs::path& path : files) EXPECT_NO_THROW(readModuleFile(path.string())) << path;
}

TEST(FomModulesFromOpenRti, ReadsEveryModuleAndFedFileOfItsTests) {
    REQUIRE_OPENRTI_SOURCE(source);
    std::size_t read = 0;
    for (const char* dir : {"rti1516e", "rti1516"}) {
        for (const fs::path& path : filesUnder(source / "tests" / dir, ".xml")) {
            EXPECT_NO_THROW(readModuleFile(path.string())) << path;
            ++read;
        }
    }
    EXPECT_GE(read, 30u);
    for (const fs::path& path : filesUnder(source / "tests", ".fed")) {
        if (path.filename() == "fdd-2.fed") {
            // Deliberately without ObjectRoot and InteractionRoot, to test that OpenRTI puts
            // them in; the HLA 1.3 FED grammar requires them, and so do we.
            EXPECT_THROW(readModuleFile(path.string()), FedError) << path;
            continue;
        }
        // fdd-1.fed writes the roots "objectRoot" and "interactionRoot".
        const auto fed = readModuleFile(path.string());
        EXPECT_TRUE(fed.findObjectClass("ObjectRoot.ObjectClass1.ObjectClass2")) << path;
    }
}

// The sets OpenRTI's own tests merge; the 1516-2000 documents, which name the delete
// privilege twice, give it another order than the MIM or leave out what 2010 modules
// state, merge with the MIM as well.
TEST(FomModulesFromOpenRti, MergesTheSetsMeantToMerge) {
    REQUIRE_OPENRTI_SOURCE(source);
    const fs::path tests = source / "tests";
    for (const fs::path& path :
         {tests / "rti1516e" / "fddget" / "fdd-1.xml", tests / "rti1516e" / "fddget" / "fdd-2.xml",
          tests / "rti1516" / "fddget" / "fdd-1.xml", tests / "rti1516" / "fddget" / "fdd-2.xml"}) {
        SCOPED_TRACE(path.string());
        const auto fom = readFederationModules({path.string()});
        const auto root = fom.findObjectClass("HLAobjectRoot");
        EXPECT_EQ(fom.objectClass(*root).declared.size(), 1u);  // the MIM's privilege only
        if (path.parent_path().filename() == "fddget") {
            const auto two = fom.findObjectClass("HLAobjectRoot.ObjectClass1.ObjectClass2");
            ASSERT_TRUE(two);
            for (const char* name : {"HLAprivilegeToDeleteObject", "Attribute1", "Attribute2"}) {
                EXPECT_TRUE(fom.findAttribute(*two, name)) << name;
            }
            const auto interaction =
                fom.findInteractionClass("HLAinteractionRoot.InteractionClass1.InteractionClass2");
            ASSERT_TRUE(interaction);
            EXPECT_TRUE(fom.findParameter(*interaction, "Parameter1"));
        }
    }

    // The whole FDDs of its 1516-2000 tests, which OpenRTI reads without looking at their
    // data types, refer to types they never define: one attribute's type in the wrong letter
    // case, and an HLAsyncPointFederateList of the record HLAsyncPointFederate. They read
    // (above), but do not make a federation.
    for (const auto& [file, message] : std::vector<std::pair<fs::path, std::string>>{
             {tests / "rti1516" / "fdd.xml",
              "data type unsignedShort is not defined by any module; attribute beaconCode of "
              "object class ObjectRoot.Flight"},
             {tests / "rti1516" / "interaction" / "fdd.xml",
              "data type HLAsyncPointFederate is not defined by any module; data type "
              "HLAsyncPointFederateList"},
             {tests / "rti1516" / "objectinstance" / "fdd.xml", "data type HLAsyncPointFederate"},
             {tests / "rti1516" / "time" / "fdd.xml", "data type HLAsyncPointFederate"}}) {
        try {
            readFederationModules({file.string()});
            ADD_FAILURE() << file << " merged with a dangling data type reference";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
        // Without the dangling references they merge: the MIM's root stands.
        FederationDescription fom = standardMim();
        mergeModule(fom, readModuleFile(file.string()));
        EXPECT_EQ(fom.objectClass(*fom.findObjectClass("HLAobjectRoot")).declared.size(), 1u);
    }

    // OpenRTI's modules test: the modules that define classes, then the ones that only name
    // them (and dimensions and update rates, which are not kept).
    const fs::path dir = tests / "rti1516e" / "modules";
    for (const char* set : {"-1", "-2"}) {
        std::vector<std::string> names;
        for (const char* base : {"ObjectClass1", "ObjectClass2", "ObjectClass3",
                                 "InteractionClass1", "InteractionClass2", "InteractionClass3",
                                 "Dimension1", "Dimension2", "UpdateRate1", "UpdateRate2"}) {
            names.push_back(std::string(base) + set + ".xml");
        }
        for (const char* named :
             {"ObjectClass1.xml", "ObjectClass2.xml", "ObjectClass3.xml", "InteractionClass1.xml",
              "InteractionClass2.xml", "InteractionClass3.xml"}) {
            names.emplace_back(named);
        }
        FederationDescription fom = standardMim();
        ASSERT_NO_THROW(mergeModules(fom, modulesIn(dir, names))) << set;
        const auto two = fom.findObjectClass("HLAobjectRoot.ObjectClass1.ObjectClass2");
        ASSERT_TRUE(two);
        const std::string attribute = std::string(set) == "-1" ? "Attribute2" : "OtherAttribute2";
        EXPECT_TRUE(fom.findAttribute(*two, attribute)) << set;
    }
    // Named first and defined later, which OpenRTI refuses and the standard's merging allows.
    FederationDescription later = standardMim();
    EXPECT_NO_THROW(
        mergeModules(later, modulesIn(dir, {"ObjectClass1.xml", "ObjectClass1-1.xml",
                                            "InteractionClass2.xml", "InteractionClass2-1.xml"})));

    // The two definitions of one class conflict, in either order.
    for (const auto& [first, second] : std::vector<std::pair<std::string, std::string>>{
             {"ObjectClass1-1.xml", "ObjectClass1-2.xml"},
             {"InteractionClass2-2.xml", "InteractionClass2-1.xml"}}) {
        FederationDescription fom = standardMim();
        try {
            mergeModules(fom, modulesIn(dir, {first, second}));
            ADD_FAILURE() << first << " and " << second << " merged";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("is defined differently in \"" + (dir / first).string() +
                                   "\" and in \"" + (dir / second).string() + "\""),
                      std::string::npos)
                << message;
        }
    }
}

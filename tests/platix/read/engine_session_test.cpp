// The engine set up from --kb options: the list file's lines and types.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine_session.h"
#include "temp_dir.h"

using namespace platix;
namespace fs = std::filesystem;

TEST(EngineSessionList, OneLinePerBaseWithTheGivenOrEngineTypeAndAbsolutePaths) {
    testsupport::TempDir dir;
    // Missing bases are typed 0 by the engine; an explicit type is kept.
    EngineSession s({{dir.file("a.kbf"), -1}, {dir.file("d.kbf"), 1}, {"some/rel.kbf", 250}});
    ASSERT_NE(s.io(), nullptr) << s.error();
    EXPECT_EQ(s.list_text(), "[0] " + dir.file("a.kbf") + "\r\n[1] " + dir.file("d.kbf") + "\r\n[250] " +
                                 (fs::current_path() / "some/rel.kbf").string() + "\r\n");
}

TEST(EngineSessionList, NoBasesNoEngineAndAnOverlongPathIsRefused) {
    EngineSession none({});
    EXPECT_EQ(none.io(), nullptr);
    EXPECT_TRUE(none.error().empty());
    EngineSession s({{"/" + std::string(300, 'x') + ".kbf", 0}});
    EXPECT_EQ(s.io(), nullptr);
    EXPECT_NE(s.error().find("longer than 259"), std::string::npos);
}

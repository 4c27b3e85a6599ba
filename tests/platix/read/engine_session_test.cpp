// The engine set up from --kb options: the list file's lines and types, and what it refuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine_session.h"
#include "temp_dir.h"

using namespace platix;

TEST(EngineSessionList, OneLinePerBaseWithTheGivenOrEngineTypeAndAbsolutePathsAndTheRefusals) {
    testsupport::TempDir dir;
    // Missing bases are typed 0 by the engine; an explicit type is kept.
    EngineSession s({{dir.file("a.kbf"), -1}, {dir.file("d.kbf"), 1}, {"some/rel.kbf", 250}});
    ASSERT_NE(s.io(), nullptr) << s.error();
    EXPECT_EQ(s.list_text(), "[0] " + dir.file("a.kbf") + "\r\n[1] " + dir.file("d.kbf") + "\r\n[250] " +
                                 (std::filesystem::current_path() / "some/rel.kbf").string() + "\r\n");
    EngineSession none({});
    EXPECT_TRUE(none.io() == nullptr && none.error().empty());
    EngineSession overlong({{"/" + std::string(300, 'x') + ".kbf", 0}});
    EXPECT_EQ(overlong.io(), nullptr);
    EXPECT_NE(overlong.error().find("longer than 259"), std::string::npos);
}

// The URL protocol's mark taken away on its own; the rest of the shell
// registration is driven through the running program's menu.
#include "shell/modFileAssociation.h"
#include "tests/support/RegistryObstacle.h"

#include <gtest/gtest.h>

using namespace quorvel;

// Taking the mark away takes the key made for it alone, and no other.
TEST(FileAssociationTest, AKeyMadeOnlyForTheUrlMarkGoesWithIt) {
    for (const bool alone : {true, false}) {
        test::RemoveRegistration();
        ASSERT_TRUE(alone || CreateAssociation("Quorvel", "NFO", "C:\\Tools\\Quorvel", true));
        AddUrlProtocol("Quorvel");
        RemoveUrlProtocolMark("Quorvel");
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Quorvel", 0, KEY_READ, &key) == 0, !alone);
        if (key)
            ::RegCloseKey(key);
        EXPECT_EQ(test::ClassesRootText("Quorvel", "URL Protocol"), std::nullopt);
    }
    test::RemoveRegistration();
}

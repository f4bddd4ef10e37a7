// The descriptor and blob entry points as a 32-bit host sees them.
#include <string.h>

#include "plugin_version.h"
#include "tests/wine/host_harness.h"

#if !defined(_WIN64)
static std::string DescriptorString(int word) { return reinterpret_cast<const char*>(gTableWords[word]); }

void TestDescriptor() {
    CHECK_EQ(gTableWords[0], 1u);  // flags
    CHECK_EQ(DescriptorString(1), Sjis("YUV4MPEG2 出力"));
    CHECK_EQ(std::string(reinterpret_cast<const char*>(gTableWords[2]), 25),
             std::string("YUV4MPEG2 (*.y4m)\0*.y4m\0\0", 25));
    CHECK_EQ(DescriptorString(3), Sjis("YUV4MPEG2 出力 " PLUGIN_PRODUCT_VERSION_TEXT));
    CHECK(gTableWords[4] != 0);
    CHECK_EQ(gTableWords[5], 0u);  // no exit work
    for (int word = 6; word <= 9; ++word) CHECK(gTableWords[word] != 0);
    for (int word = 10; word < 26; ++word) CHECK_EQ(gTableWords[word], 0u);
    // Every entry point lies inside the module.
    MEMORY_BASIC_INFORMATION region;
    for (int word : {4, 6, 7, 8, 9}) {
        VirtualQuery(reinterpret_cast<void*>(gTableWords[word]), &region, sizeof region);
        CHECK(region.AllocationBase == gModule);
    }

    // Blob: reset, round trip, refusals.
    CHECK_EQ(Init()(), 1);
    CHECK(GetBlob() == std::vector<int32_t>(5, 0));
    const uint8_t example[20] = {1, 0, 0, 0, 3, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 2, 0, 0, 0};
    CHECK_EQ(ConfigSet()(const_cast<uint8_t*>(example), 20), 20);
    uint8_t fetched[24];
    memset(fetched, 0xEE, sizeof fetched);
    CHECK_EQ(ConfigGet()(fetched, 20), 20);
    CHECK(memcmp(fetched, example, 20) == 0);
    CHECK_EQ(fetched[20], 0xEE);
    uint8_t other[24] = {9, 9, 9, 9};
    CHECK_EQ(ConfigSet()(other, 19), 0);
    CHECK_EQ(ConfigSet()(other, 21), 0);
    CHECK_EQ(ConfigSet()(nullptr, 20), 0);
    CHECK_EQ(ConfigGet()(nullptr, 0), 20);
    memset(fetched, 0xEE, sizeof fetched);
    CHECK_EQ(ConfigGet()(fetched, 16), 20);
    CHECK_EQ(fetched[0], 0xEE);
    CHECK(GetBlob() == (std::vector<int32_t>{1, 3, 10, 11, 2}));
    CHECK_EQ(Init()(), 1);
    CHECK(GetBlob() == std::vector<int32_t>(5, 0));
}
#endif
